#!/usr/bin/env bash
# Builds the fuzz harnesses of fuzz/ with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs each for SECONDS (60 by default),
# starting from its seed corpus. Prints, per harness, the inputs run and the
# findings, which are saved under build-fuzz/findings/<Name>/. Exits non-zero
# when anything was found.
#
#   bash scripts/fuzz.sh [SECONDS]
#
# KORVALO_FUZZ_SECONDS sets the default (the README check uses a few seconds).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-${KORVALO_FUZZ_SECONDS:-60}}
build="$root/build-fuzz"

"$root/scripts/install-deps.sh" --fuzz

export QT_QPA_PLATFORM=offscreen
if command -v ccache >/dev/null && [ -z "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ]; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache
fi
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKORVALO_FUZZ=ON -DKORVALO_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target korvalo_fuzzers >/dev/null

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
total_findings=0
for seeds in "$root"/fuzz/corpus/*/; do
  name=$(basename "$seeds")
  corpus="$build/corpus/$name"     # grows from the seeds; the seeds stay as they are
  findings="$build/findings/$name"
  log="$build/logs/$name.log"
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  status=0
  "$build/bin/fuzz_$name" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$findings/" "$corpus" "$seeds" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  found=$(find "$findings" -type f | wc -l)
  if [ "$status" -ne 0 ] && [ "$found" -eq 0 ]; then
    found=1 # it stopped without saving its input; the log says why
  fi
  total_findings=$((total_findings + found))
  printf '%-18s %12s executions  %d findings  (%s)\n' "$name" "${runs:-?}" "$found" "$log"
done
[ "$total_findings" -eq 0 ]
