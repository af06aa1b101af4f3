#!/bin/sh
# Rebuilds Korvalo's artwork and icons and writes them into resources/artwork/
# and resources/icons/.
# Same sources, Qt, fonts (fonts-noto-core, fonts-dejavu-core) and ImageMagick
# give the same bytes. Usage: tools/artwork/make-artwork.sh [BUILD_DIR]
set -eu

root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-"$root/build-artwork"}
out="$root/resources/artwork"

cmake -S "$root" -B "$build" >/dev/null
cmake --build "$build" --target korvalo_artwork -j2

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT INT TERM

QT_QPA_PLATFORM=offscreen "$build/bin/korvalo_artwork" "$scratch"
drawn="$scratch/artwork"
mkdir -p "$out/toolbar"

# JPEG through ImageMagick rather than Qt: Qt always halves the colour
# resolution (4:2:0), which smears a lit button's colour over the edge of its
# picture and leaves a seam against the background. -strip keeps only pixels.
jpeg() {
    convert "$1" -strip -sampling-factor 1x1 -quality 95 "$2"
}
jpeg "$drawn/background.png" "$out/background.jpg"
jpeg "$drawn/splash.png" "$out/splash.jpg"
for picture in "$drawn"/toolbar/*.png; do
    name=$(basename "$picture" .png)
    jpeg "$picture" "$out/toolbar/$name.jpg"
done

# Qt writes no GIF. +dither keeps flat areas flat and the files small.
for name in message password tray-notice; do
    convert "$drawn/$name.png" -strip +dither -colors 256 "$out/$name.gif"
done

# The assistant's pictures are opaque or clear pixel by pixel already, so the
# GIF's one transparent index keeps them exactly.
mkdir -p "$out/assistant"
for picture in "$drawn"/assistant/*.png; do
    name=$(basename "$picture" .png)
    convert "$picture" -strip +dither -colors 255 "$out/assistant/$name.gif"
done

cp "$drawn/korvalo-icon.png" "$out/korvalo-icon.png"

# The icon theme is installed as drawn: PNG at each size and the SVG.
rm -rf "$root/resources/icons"
cp -r "$scratch/icons" "$root/resources/icons"

echo "artwork written to $out and $root/resources/icons"
