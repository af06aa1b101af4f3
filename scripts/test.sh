#!/usr/bin/env bash
# Builds Korvalo with warnings as errors and runs every test, then builds the
# HTTP component's tests under ThreadSanitizer and runs them, then builds
# everything again under AddressSanitizer and UndefinedBehaviorSanitizer and
# runs every test once more.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

"$root/scripts/install-deps.sh"

export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 700 "$XDG_RUNTIME_DIR"

run_suite() {
  local dir=$1; shift
  cmake -S "$root" -B "$dir" -DKORVALO_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j"$jobs"
  ctest --test-dir "$dir" --output-on-failure -j"$jobs" --timeout 600
}

echo "== Tests =="
run_suite "$root/build-test" -DCMAKE_BUILD_TYPE=Debug

# Only the HTTP component runs threads of its own, so only its tests are
# built for ThreadSanitizer (from their sources alone: about a minute).
echo "== HTTP component under ThreadSanitizer =="
cmake -S "$root" -B "$root/build-tsan" -DKORVALO_WERROR=ON -DCMAKE_BUILD_TYPE=Debug \
  -DKORVALO_TSAN=ON >/dev/null
cmake --build "$root/build-tsan" -j"$jobs" --target korvalo_http_tsan_tests
TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1" \
  "$root/build-tsan/bin/korvalo_http_tsan_tests"

echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer =="
# GCC 12's leak checker guesses where a library's thread-local block begins
# from the heap address glibc got for it; one that lands 16 bytes past a page
# boundary (libjpeg's, now and then) makes it read a wrong range and crash at
# exit. Without following __tls_get_addr it scans what it can be sure of.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:intercept_tls_get_addr=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
run_suite "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DKORVALO_SANITIZE=ON
