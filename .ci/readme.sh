#!/usr/bin/env bash
# Runs the README as a new user would: every ```sh block, in the order of the
# file, each from the repository's folder, stopping at the first command that
# fails. A README whose commands do not work is a defect.
#
# The user is a scratch home folder with no display (the commands meet a
# headless machine, as CI is). Two stand-ins answer for the person at the
# keyboard: `sudo` runs the command directly when we are root and apt says
# yes by itself; `korvalo` shows its window offscreen and ends instead of
# waiting for someone to close it. The benchmarks time the smallest
# directories only, in the scratch folder; the fuzz harnesses run a few
# seconds each and the reliability suite kills its writer 50 times.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
readme="$root/README.md"

# Blocks that CI runs as a step of its own.
run_elsewhere=(
  "bash scripts/test.sh" # .ci/run's first step
)

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/home" "$scratch/blocks" "$scratch/runtime"
chmod 700 "$scratch/runtime"
printf 'APT::Get::Assume-Yes "true";\n' >"$scratch/apt.conf"

cat >"$scratch/prelude.sh" <<'EOF'
sudo() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else command sudo "$@"; fi
}
korvalo() {
  QT_QPA_PLATFORM=offscreen KORVALO_EXIT_WHEN_SHOWN=1 command korvalo "$@"
}
set -e
EOF

# Splits the README into one script per block, named after its first line.
# A block inside a list item is indented with its fence.
awk -v dir="$scratch/blocks" '
  /^[ \t]*```sh[ \t]*$/ {
    inside = 1; match($0, /^[ \t]*/); indent = RLENGTH
    file = sprintf("%s/%05d.sh", dir, NR + 1); next
  }
  inside && /^[ \t]*```[ \t]*$/ { inside = 0; close(file); next }
  inside { print substr($0, indent + 1) > file }
' "$readme"

blocks=("$scratch"/blocks/*.sh)
[ -e "${blocks[0]}" ] || { echo "README.md has no sh blocks" >&2; exit 1; }

for block in "${blocks[@]}"; do
  line=$((10#$(basename "$block" .sh)))
  text=$(cat "$block")
  skip=
  for elsewhere in "${run_elsewhere[@]}"; do
    [ "$text" = "$elsewhere" ] && skip=1
  done
  if [ -n "$skip" ]; then
    echo "README.md:$line: run by CI itself: $text"
    continue
  fi
  echo "README.md:$line: $(head -n 1 "$block")"
  started=$(date +%s)
  if ! (cd "$root" &&
    env -u DISPLAY -u WAYLAND_DISPLAY -u KORVALO_HOME -u XDG_DATA_HOME -u XDG_CONFIG_HOME \
      -u QT_QPA_PLATFORM HOME="$scratch/home" XDG_RUNTIME_DIR="$scratch/runtime" \
      APT_CONFIG="$scratch/apt.conf" DEBIAN_FRONTEND=noninteractive \
      KORVALO_BENCH_SIZES=10000 KORVALO_BENCH_DIR="$scratch/bench" \
      KORVALO_FUZZ_SECONDS=5 KORVALO_RELIABILITY_KILLS=50 \
      timeout 1200 bash -c 'source "$1"; source "$2"' _ "$scratch/prelude.sh" "$block") \
    >"$scratch/out.log" 2>&1; then
    tail -n 40 "$scratch/out.log" >&2
    echo "README.md:$line: this block fails" >&2
    exit 1
  fi
  echo "  ok, $(($(date +%s) - started)) s"
done
echo "Every command of the README ran."
