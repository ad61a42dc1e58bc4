#!/usr/bin/env bash
# Builds every benchmark in Release and runs each one, printing its results. Benchmarks are
# never part of the test run; extra arguments go to each benchmark binary
# (e.g. --benchmark_filter=lateBound --benchmark_repetitions=5).
# Usage: bench/run.sh [benchmark options...]
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DLUMORA_BUILD_TESTS=OFF -DLUMORA_BUILD_BENCH=ON >/dev/null
ninja -C "$build" -j"$(nproc)" lumora_benchmarks
# The letters and letter campaign benchmarks' peer runs on Node.js with its own pinned packages.
(cd bench/letters && npm ci --no-audit --no-fund --silent)

status=0
for binary in "$build"/bench/*; do
  [ -f "$binary" ] && [ -x "$binary" ] || continue
  echo "== $(basename "$binary")"
  "$binary" "$@" || status=$?
  echo
done
exit $status
