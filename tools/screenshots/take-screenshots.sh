#!/usr/bin/env bash
# Takes the README's pictures of the main window, one per panel, and of the
# splash, the assistant and the about window, under a virtual display: it
# starts Korvalo on a scratch copy of the shipped directory, clicks each
# toolbar button as a user would and saves the pictures into
# docs/screenshots/. Run by hand after a change to the windows; the pictures
# are committed. Usage: tools/screenshots/take-screenshots.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-"$root/build"}
out="$root/docs/screenshots"

"$root/scripts/install-deps.sh"
command -v xdotool >/dev/null || {
    echo "take-screenshots.sh needs xdotool (apt-get install xdotool)" >&2
    exit 1
}
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DKORVALO_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target korvalo kvl directory_files

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT INT TERM
export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/home/.config"
export XDG_DATA_HOME="$scratch/home/.local/share" XDG_RUNTIME_DIR="$scratch/runtime"
export KORVALO_HOME="$scratch/directory"
mkdir -p "$HOME/Favorites" "$XDG_RUNTIME_DIR" "$KORVALO_HOME"
chmod 700 "$XDG_RUNTIME_DIR"
cp "$build/bin/weburl.kvl" "$build/bin/cate.dat" "$KORVALO_HOME/"

# A few favourites, and two shortcuts in the browser's favourites folder.
"$build/bin/kvl" sites "$KORVALO_HOME/weburl.kvl" | sed -n '2,6p' |
    "$build/bin/kvl" make-sites - "$KORVALO_HOME/favorites.dat"
printf '[InternetShortcut]\r\nURL=https://www.debian.org/\r\n' >"$HOME/Favorites/Debian.url"
printf '[InternetShortcut]\r\nURL=https://www.wikipedia.org/\r\n' >"$HOME/Favorites/Wikipedia.url"

mkdir -p "$out"
# A plain desktop behind the windows, for the pictures of the whole screen.
convert -size 1024x768 gradient:"#6f8ea6"-"#34536b" "$scratch/desktop.png"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    set -euo pipefail
    out=$2
    # Mapped first, so without a window manager it stays under the others.
    display -backdrop -background "#34536b" -geometry +0+0 "$3" & desktop=$!
    sleep 1
    "$1" & app=$!
    trap "kill $app $desktop 2>/dev/null || true" EXIT
    for _ in $(seq 1 100); do
        window=$(xdotool search --onlyvisible --name "^Korvalo\$" 2>/dev/null | head -n 1 || true)
        [ -n "$window" ] && break
        sleep 0.2
    done
    [ -n "$window" ] || { echo "the main window did not show" >&2; exit 1; }
    # The splash sits centred over the window for its first four seconds.
    sleep 0.5
    import -window root -crop 404x202+310+283 +repage "$out/splash.png"
    sleep 4.5

    # The toolbar buttons, by the centres of their hot zones in the window.
    shot() { # NAME X Y
        xdotool mousemove --window "$window" "$2" "$3" click 1
        sleep 0.8
        # Away from the toolbar, so no button is lit and no hint floats.
        xdotool mousemove --window "$window" 400 530
        sleep 0.8
        import -window "$window" "$out/$1.png"
    }
    shot browse 752 36
    shot favorites 686 37
    shot browser-favorites 614 35
    shot add 529 34
    shot options 368 37
    shot search 453 36
    xdotool type --delay 80 "جامعة"
    xdotool key Return
    sleep 1
    xdotool mousemove --window "$window" 400 530
    sleep 0.5
    import -window "$window" "$out/search.png"

    # The assistant explaining the browse panel, over the window and the
    # corner of the screen it sits in.
    xdotool mousemove --window "$window" 219 36 click 1
    sleep 0.5
    xdotool mousemove --window "$window" 752 36 click 1
    sleep 0.8
    xdotool mousemove --window "$window" 400 530
    sleep 0.8
    import -window root -crop 908x654+116+114 +repage "$out/assistant.png"
    xdotool mousemove --window "$window" 219 36 click 1
    sleep 0.5
    # The about window is modal: the picture is taken while it is open.
    xdotool mousemove --window "$window" 152 35 click 1
    sleep 1
    import -window root -crop 404x202+310+283 +repage "$out/about.png"
' _ "$build/bin/korvalo" "$out" "$scratch/desktop.png"

echo "screenshots written to $out"
