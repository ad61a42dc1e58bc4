#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (library code instrumented, AddressSanitizer on) in
# build-fuzz/ and runs one target, or all of them, for a number of seconds each.
#   scripts/fuzz.sh                      every target, 60 seconds each
#   scripts/fuzz.sh xml_load_fuzz 300    one target for five minutes
# The corpus each target grows is kept in build-fuzz/corpus/<target>; a crashing input is
# written to build-fuzz/crashes/, each target's output to build-fuzz/logs/<target>.log. A line
# per target closes the run: executions, coverage (edges and features), corpus size, result. A target is one file, fuzz/<lib>/<name>_fuzz.cpp; an optional
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

mkdir -p build-fuzz/crashes build-fuzz/logs
status=0
summary=()
for name in "${names[@]}"; do
  corpus="build-fuzz/corpus/$name"
  mkdir -p "$corpus"
  args=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -artifact_prefix="build-fuzz/crashes/$name-")
  dict="$(ls fuzz/*/"$name".dict 2>/dev/null | head -n1 || true)"
  if [ -n "$dict" ]; then args+=(-dict="$dict"); fi
  echo "== $name for ${seconds}s"
  log="build-fuzz/logs/$name.log"
  result="nothing found"
  set +e
  "build-fuzz/fuzz/$name" "${args[@]}" -print_final_stats=1 "$corpus" 2>&1 | tee "$log" |
    grep -E '^(#[0-9]+[[:space:]]+(INITED|DONE)|==[0-9]+==ERROR|SUMMARY)'
  fuzz_status="${PIPESTATUS[0]}"
  set -e
  if [ "$fuzz_status" -ne 0 ]; then
    echo "== $name found a failing input (see build-fuzz/crashes/)" >&2
    result="FAILING INPUT"
    status=1
  fi
  executions="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n1)"
  last="$(grep -E '^#[0-9]+[[:space:]]' "$log" | tail -n1 || true)"
  coverage="$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")"
  features="$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")"
  corpus_size="$(sed -n 's/.* corp: \([0-9]*\).*/\1/p' <<<"$last")"
  summary+=("$(printf '%-22s %12s executions  cov %6s  ft %7s  corpus %6s  %s' "$name" "${executions:-?}" \
    "${coverage:-?}" "${features:-?}" "${corpus_size:-?}" "$result")")
done
echo "== summary (${seconds}s per target)"
printf '%s\n' "${summary[@]}"
exit $status
