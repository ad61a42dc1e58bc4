#!/usr/bin/env bash
# Installs what is missing, builds with the test suites, and runs every test: the GoogleTest
# suites through CTest, then the browser end-to-end tests of the bridge in headless Chromium.
set -uo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --with-tests || exit 1
scripts/build.sh --with-tests || exit 1

log_dir=$(mktemp -d)
trap 'rm -rf "$log_dir"' EXIT

ctest --test-dir build --output-on-failure -j"$(nproc)" --timeout 300 2>&1 | tee "$log_dir/ctest.log"
ctest_status=${PIPESTATUS[0]}

LUMORA_BUILD_DIR="$PWD/build" scripts/e2e.sh 2>&1 | tee "$log_dir/e2e.log"
e2e_status=${PIPESTATUS[0]}

# One closing line over both runners.
unit_total=$(sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' "$log_dir/ctest.log" | tail -1)
unit_failed=$(sed -n 's/.*, \([0-9]*\) tests failed out of.*/\1/p' "$log_dir/ctest.log" | tail -1)
e2e_passed=$(sed -n 's/^# pass \([0-9]*\)$/\1/p' "$log_dir/e2e.log" | tail -1)
e2e_failed=$(sed -n 's/^# fail \([0-9]*\)$/\1/p' "$log_dir/e2e.log" | tail -1)
passed=$(( ${unit_total:-0} - ${unit_failed:-0} + ${e2e_passed:-0} ))
failed=$(( ${unit_failed:-0} + ${e2e_failed:-0} ))
if [ "$ctest_status" -ne 0 ] && [ "$failed" -eq 0 ]; then failed=1; fi
if [ "$e2e_status" -ne 0 ] && [ "$failed" -eq 0 ]; then failed=1; fi
echo
echo "tests: $passed passed, $failed failed"
[ "$ctest_status" -eq 0 ] && [ "$e2e_status" -eq 0 ]
