#!/usr/bin/env bash
# Browser end-to-end tests: headless Chromium drives the demo CRM page served by
# `lumora serve` from the build in build/ (or $LUMORA_BUILD_DIR). Installs the pinned
# playwright-core first (npm ci); the browser is Debian's chromium. playwright-core stays pinned at
# 1.61.1, the last release that runs on the Node.js 18 Debian 12 ships (later ones stop at start-up
# asking for Node.js 20, although the registry says they need 18).
set -euo pipefail
cd "$(dirname "$0")/../tests/e2e"

export LUMORA_BUILD_DIR="${LUMORA_BUILD_DIR:-$(cd ../.. && pwd)/build}"
if ! command -v npm >/dev/null; then
  echo "e2e: npm is missing (Debian package npm, or a nodejs that ships it)" >&2
  exit 1
fi
npm ci --no-audit --no-fund --loglevel=error
# Each file's tests run one after another, sharing one bridge and one browser.
# TAP output on every Node.js version: scripts/test.sh reads its "# pass" and "# fail" lines.
node --test --test-reporter=tap ./*.test.mjs
