#!/usr/bin/env bash
# Configures and builds Lumora Desktop into build/ (binaries in build/bin, libraries in build/lib).
# Usage: scripts/build.sh [--with-tests]
set -euo pipefail
cd "$(dirname "$0")/.."

tests=OFF
if [ "${1:-}" = "--with-tests" ]; then tests=ON; fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DLUMORA_BUILD_TESTS=$tests -DLUMORA_BUILD_BENCH=OFF >/dev/null
ninja -C build -j"$(nproc)"
