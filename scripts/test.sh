#!/usr/bin/env bash
# Installs what is missing, builds with the test suites, and runs every test: the GoogleTest
# suites and the browser end-to-end tests, all registered with CTest.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --with-tests
scripts/build.sh --with-tests
ctest --test-dir build --output-on-failure -j"$(nproc)" --timeout 300
