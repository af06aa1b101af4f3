#!/usr/bin/env bash
# Builds Korvalo with warnings as errors and runs every test, then builds it
# again under AddressSanitizer and UndefinedBehaviorSanitizer and runs every
# test once more.
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

echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer =="
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
run_suite "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DKORVALO_SANITIZE=ON
