#!/usr/bin/env bash
# Takes the README's picture of the main window with banners: it starts
# korvalo-server on a free port of 127.0.0.1 with five made-up banners (the
# first one animated), starts Korvalo under a virtual display pointed at it,
# waits for the banners and the user count and saves the window as
# docs/screenshots/banners.png. Run by hand after a change to the banners;
# the picture is committed. Usage: tools/screenshots/take-banner-screenshot.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-"$root/build"}
out="$root/docs/screenshots/banners.png"

"$root/scripts/install-deps.sh"
command -v xdotool >/dev/null || {
    echo "take-banner-screenshot.sh needs xdotool (apt-get install xdotool)" >&2
    exit 1
}
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DKORVALO_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target korvalo korvalo-server directory_files

scratch=$(mktemp -d)
server=
cleanup() {
    [ -n "$server" ] && kill "$server" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT INT TERM
export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/home/.config"
export XDG_DATA_HOME="$scratch/home/.local/share" XDG_CACHE_HOME="$scratch/home/.cache"
export XDG_RUNTIME_DIR="$scratch/runtime" KORVALO_HOME="$scratch/directory"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$KORVALO_HOME"
chmod 700 "$XDG_RUNTIME_DIR"
cp "$build/bin/weburl.kvl" "$build/bin/cate.dat" "$KORVALO_HOME/"

# The maker's data: five banners of 100 by 50 pixels.
data="$scratch/server"
mkdir -p "$data/banners"
banner() { # ID FROM TO TEXT...
    local id=$1 from=$2 to=$3
    shift 3
    local frames=()
    for text in "$@"; do
        frames+=(\( -size 100x50 "gradient:$from-$to" -font DejaVu-Sans-Bold -pointsize 13
            -fill white -gravity center -annotate 0 "$text" \))
    done
    convert -delay 90 -loop 0 "${frames[@]}" "$data/banners/$id.gif"
    echo "https://$id.example/" >"$data/banners/$id.url"
    echo "$id" >>"$data/banners.txt"
}
banner nile-books '#1565c0' '#0d2f6b' 'Nile Books' 'New titles'
banner cedar-travel '#2e7d32' '#174a1a' 'Cedar Travel'
banner oasis-tech '#ef6c00' '#8a3a00' 'Oasis Tech'
banner atlas-radio '#6a1b9a' '#35094f' 'Atlas Radio'
banner dune-games '#c62828' '#6b1010' 'Dune Games'

"$build/bin/korvalo-server" --listen 127.0.0.1:0 --data "$data" >"$scratch/server.log" &
server=$!
for _ in $(seq 1 50); do
    port=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$scratch/server.log")
    [ -n "$port" ] && break
    sleep 0.1
done
[ -n "${port:-}" ] || { echo "korvalo-server did not start" >&2; exit 1; }
export KORVALO_SERVER="http://127.0.0.1:$port"
# Installations that came before this one.
for _ in $(seq 1 1286); do
    printf 'url = "%s/2/usercount/"\noutput = /dev/null\n' "$KORVALO_SERVER"
done | curl -s --parallel --config -

shoot() {
    xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
        set -euo pipefail
        "$1" & app=$!
        trap "kill $app 2>/dev/null || true" EXIT
        for _ in $(seq 1 100); do
            window=$(xdotool search --onlyvisible --name "^Korvalo\$" 2>/dev/null | head -n 1 || true)
            [ -n "$window" ] && break
            sleep 0.2
        done
        [ -n "$window" ] || { echo "the main window did not show" >&2; exit 1; }
        # Online after a second, then the list, the pictures and the count.
        sleep 4
        xdotool mousemove --window "$window" 400 530
        sleep 0.5
        import -window "$window" "$2"
    ' _ "$build/bin/korvalo" "$out"
}

# Korvalo is online when this machine's host name has an address other than
# 127.0.0.1. A container often has none: lend it a documentation address in
# a mount namespace of its own (as root).
if getent ahostsv4 "$(hostname)" | tail -n 1 | grep -q '^127\.0\.0\.1 '; then
    [ "$(id -u)" -eq 0 ] || {
        echo "$(hostname) has no address but 127.0.0.1; Korvalo would stay offline" >&2
        exit 1
    }
    { grep -v -w "$(hostname)" /etc/hosts; echo "192.0.2.10 $(hostname)"; } >"$scratch/hosts"
    export -f shoot
    export build out
    unshare -m bash -c 'mount --bind "$1" /etc/hosts && shoot' _ "$scratch/hosts"
else
    shoot
fi
echo "screenshot written to $out"
