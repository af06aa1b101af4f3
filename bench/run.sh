#!/usr/bin/env bash
# Builds the benchmark suite in Release and runs it: synthetic directories of
# 10 000, 100 000 and 1 000 000 sites (generated once under $KORVALO_BENCH_DIR,
# default /tmp/korvalo-bench, about 400 MB), then prints one table.
#
#   KORVALO_BENCH_SIZES=10000,100000   other sizes
#   KORVALO_BENCH_REPETITIONS=9        more repetitions (default 5)
#   extra arguments go to korvalo_bench, e.g. --benchmark_filter=Append --no-peak
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-bench"

"$root/scripts/install-deps.sh"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DKORVALO_BENCH=ON -DKORVALO_TESTS=OFF \
  >/dev/null
cmake --build "$build" -j"$(nproc)" --target korvalo_bench >/dev/null

export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 700 "$XDG_RUNTIME_DIR"

# The raw figures of every repetition go to bench-results.json beside the build.
exec "$build/bin/korvalo_bench" \
  --benchmark_repetitions="${KORVALO_BENCH_REPETITIONS:-5}" \
  --benchmark_report_aggregates_only=true \
  --benchmark_min_time=0.2 \
  --benchmark_out="$build/bench-results.json" --benchmark_out_format=json \
  "$@"
