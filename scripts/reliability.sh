#!/usr/bin/env bash
# The fault suites, a few minutes long and therefore not part of test.sh:
#   - a writer killed KILLS times (1000 by default) at random moments, with a
#     fixed SEED and a log of the operations it meant to do, so that every
#     file is checked to be exactly the generation before or after the
#     operation in flight;
#   - every operation on a nearly full disk (a small tmpfs), page by page and
#     inode by inode;
#   - every write, fsync, rename, read and open of every operation failing,
#     coming back short or killing the writer, one at a time (an LD_PRELOAD
#     shim);
#   - two writers at once.
# One line per suite with its counts; exits non-zero on any torn file, lost
# record or failure reported as success.
#
#   bash scripts/reliability.sh [KILLS] [SEED]
#
# KORVALO_RELIABILITY_KILLS sets the default KILLS (the README check uses few).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-reliability"
started=$(date +%s)

"$root/scripts/install-deps.sh"
export QT_QPA_PLATFORM=offscreen
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target korvalo_reliability >/dev/null
driver="$build/bin/korvalo_reliability"

# Mounting the small disk needs root, or a namespace of one's own.
as_root=()
if [ "$(id -u)" -ne 0 ]; then
  as_root=(unshare --map-root-user --mount)
fi

status=0
"$driver" kills "${1:-${KORVALO_RELIABILITY_KILLS:-1000}}" "${2:-20240611}" || status=1
"${as_root[@]}" "$driver" fulldisk || status=1
"$driver" syscalls "$build/lib/libkorvalo_fault_shim.so" || status=1
"$driver" writers 2 || status=1
echo "reliability: $(( $(date +%s) - started )) s in all"
exit "$status"
