#!/usr/bin/env bash
# Installs what is missing, builds, and starts the bridge with the demo CRM page on the embedded
# defaults. Extra arguments go to `lumora serve` (e.g. --port 9000 --allow-origin https://crm.example.com).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/build.sh
exec build/bin/lumora serve "$@"
