#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (library code instrumented, AddressSanitizer on) in
# build-fuzz/ and runs one target, or all of them, for a number of seconds each.
#   scripts/fuzz.sh                      every target, 60 seconds each
#   scripts/fuzz.sh xml_load_fuzz 300    one target for five minutes
# The corpus each target grows is kept in build-fuzz/corpus/<target>; a crashing input is
# written to build-fuzz/crashes/. A target is one file, fuzz/<lib>/<name>_fuzz.cpp; an optional
# dictionary sits beside it as <name>_fuzz.dict. Not part of the test run.
set -euo pipefail
cd "$(dirname "$0")/.."

target="${1:-all}"
seconds="${2:-60}"

mapfile -t sources < <(ls fuzz/*/*_fuzz.cpp 2>/dev/null | sort)
if [ "${#sources[@]}" -eq 0 ]; then
  echo "No fuzz targets found under fuzz/" >&2
  exit 1
fi
names=()
for source in "${sources[@]}"; do names+=("$(basename "$source" .cpp)"); done

if [ "$target" != "all" ]; then
  found=""
  for name in "${names[@]}"; do [ "$name" = "$target" ] && found=1; done
  if [ -z "$found" ]; then
    echo "Unknown fuzz target '$target'. Targets: ${names[*]}" >&2
    exit 1
  fi
  names=("$target")
fi

cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address -fno-omit-frame-pointer" \
  -DLUMORA_BUILD_FUZZ=ON -DLUMORA_BUILD_TESTS=OFF -DLUMORA_BUILD_BENCH=OFF >/dev/null
ninja -C build-fuzz "${names[@]}"

mkdir -p build-fuzz/crashes
status=0
for name in "${names[@]}"; do
  corpus="build-fuzz/corpus/$name"
  mkdir -p "$corpus"
  args=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -artifact_prefix="build-fuzz/crashes/$name-")
  dict="$(ls fuzz/*/"$name".dict 2>/dev/null | head -n1 || true)"
  if [ -n "$dict" ]; then args+=(-dict="$dict"); fi
  echo "== $name for ${seconds}s"
  if ! "build-fuzz/fuzz/$name" "${args[@]}" "$corpus"; then
    echo "== $name found a failing input (see build-fuzz/crashes/)" >&2
    status=1
  fi
done
exit $status
