#!/usr/bin/env bash
# Checks an installed Korvalo tree the way a user meets it: PREFIX is made
# read-only and the programs run as a user who cannot write to it (as root,
# the user nobody: root ignores file permissions). The first start must work
# in that user's $XDG_DATA_HOME/korvalo/, seeded from the shipped directory,
# and leave the prefix untouched.
#
#   installed-tree.sh PREFIX              an installed tree (bin/, share/)
#   installed-tree.sh --install BUILD     installs BUILD into a scratch prefix first
set -euo pipefail

fail() {
    echo "installed tree: $*" >&2
    exit 1
}

scratch=$(mktemp -d)
cleanup() {
    chmod -R u+w "$scratch" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT
chmod 755 "$scratch"

if [ "${1:-}" = --install ]; then
    [ $# -eq 2 ] || fail "usage: installed-tree.sh --install BUILD"
    cmake --install "$2" --prefix "$scratch/prefix" >/dev/null
    prefix="$scratch/prefix"
    # The web server is built only by some configurations; when built, it is shipped.
    if [ -e "$2/bin/korvalo-server" ]; then
        for file in bin/korvalo-server share/man/man1/korvalo-server.1.gz; do
            [ -e "$prefix/$file" ] || fail "$file is missing"
        done
    fi
else
    [ $# -eq 1 ] || fail "usage: installed-tree.sh PREFIX"
    prefix=$(cd "$1" && pwd)
fi

# What a desktop looks for.
for file in bin/korvalo bin/kvl share/korvalo/weburl.kvl share/korvalo/cate.dat \
    share/applications/korvalo.desktop share/metainfo/korvalo.metainfo.xml \
    share/icons/hicolor/scalable/apps/korvalo.svg \
    share/man/man1/korvalo.1.gz share/man/man1/kvl.1.gz; do
    [ -e "$prefix/$file" ] || fail "$file is missing"
done
for size in 16 32 48 64 128 256; do
    icon="$prefix/share/icons/hicolor/${size}x${size}/apps/korvalo.png"
    [ "$(identify -format '%wx%h' "$icon" 2>/dev/null)" = "${size}x${size}" ] ||
        fail "the ${size}x${size} icon is missing or of another size"
done
desktop-file-validate "$prefix/share/applications/korvalo.desktop" ||
    fail "the desktop entry does not validate"
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/korvalo.metainfo.xml" \
    >"$scratch/appstream.log" 2>&1 || {
    cat "$scratch/appstream.log" >&2
    fail "the AppStream data does not validate"
}

# The user and their folders.
user_home="$scratch/home"
mkdir -p "$user_home/.local/share" "$user_home/.config" "$user_home/.cache" "$user_home/runtime"
chmod 700 "$user_home/runtime"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    chown -R nobody:nogroup "$user_home"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
# Sanitizer settings pass through, so a sanitizer build is checked the same way.
run_as_user() {
    "${as_user[@]}" env -i PATH=/usr/bin:/bin HOME="$user_home" \
        XDG_DATA_HOME="$user_home/.local/share" XDG_CONFIG_HOME="$user_home/.config" \
        XDG_CACHE_HOME="$user_home/.cache" XDG_RUNTIME_DIR="$user_home/runtime" \
        KORVALO_SERVER=http://127.0.0.1:1 \
        ASAN_OPTIONS="${ASAN_OPTIONS:-}" UBSAN_OPTIONS="${UBSAN_OPTIONS:-}" \
        LSAN_OPTIONS="${LSAN_OPTIONS:-}" "$@"
}

chmod -R a-w "$prefix"
touch "$scratch/before"
sleep 1 # file times have a granularity; anything the run writes is newer

# The first start: the main window shows, then the program ends.
shown=$(run_as_user QT_QPA_PLATFORM=offscreen KORVALO_EXIT_WHEN_SHOWN=1 \
    timeout 120 "$prefix/bin/korvalo" 2>"$scratch/korvalo.log") || {
    cat "$scratch/korvalo.log" >&2
    fail "korvalo did not start from $prefix"
}
[ "$shown" = shown ] || fail "korvalo ended without showing its window"

data="$user_home/.local/share/korvalo"
for name in weburl.kvl cate.dat; do
    cmp -s "$prefix/share/korvalo/$name" "$data/$name" ||
        fail "$name was not seeded into \$XDG_DATA_HOME/korvalo"
done
# Sites are appended in place, so the user's copy must be theirs to write.
run_as_user test -w "$data/weburl.kvl" -a -w "$data/cate.dat" ||
    fail "the seeded files are read-only for their user"
[ -d "$data/temp" ] || fail "the first start did not make its scratch folder in the data folder"
changed=$(find "$prefix" -newer "$scratch/before" | head -n 5)
[ -z "$changed" ] || fail "the run changed the installed tree: $changed"

# kvl reads the user's copy as it reads the shipped one.
shipped=$(run_as_user "$prefix/bin/kvl" sites "$prefix/share/korvalo/weburl.kvl" | wc -l)
seeded=$(run_as_user "$prefix/bin/kvl" sites "$data/weburl.kvl" | wc -l)
[ "$shipped" -gt 0 ] && [ "$shipped" = "$seeded" ] ||
    fail "kvl lists $seeded sites in the user's copy, $shipped in the shipped directory"

echo "installed tree at $prefix: works read-only, seeded $data"
