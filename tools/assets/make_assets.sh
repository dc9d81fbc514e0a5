#!/usr/bin/env bash
# Builds the asset generator and rewrites the default scene's files in
# assets/ (laid out as the viewer's working directory) and the contact sheet
# docs/assets.png. The output depends only on fixed seeds, so running it again
# reproduces the committed files.
#
# Needs: cmake, ninja, g++, libfreetype-dev, fonts-dejavu-core, cjpeg
# (libjpeg-turbo-progs) and ImageMagick.
set -euo pipefail

root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$root/build/assets-generator"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

cmake -S "$root" -B "$build" -G Ninja -DVIEWER_TESTS=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target make_assets -j2 >/dev/null

mkdir -p "$root/assets/cubemap" "$root/docs"
"$build/tools/assets/make_assets" "$root/assets" "$scratch" "$root/app/win32/bump_viewer.ico"

# Baseline JPEG, full-resolution chroma (4:4:4) so no face borrows colour from
# its neighbour in the cross, optimised Huffman tables.
cjpeg -quality 90 -sample 1x1 -optimize -outfile "$root/assets/cubemap/gracecubemap.jpg" \
    "$scratch/gracecubemap.ppm"

# Contact sheet: what the default scene is made of, and a software preview of
# how the viewer first shows it.
labelled() {  # labelled INPUT OUTPUT FILTER GEOMETRY LABEL
    montage -font DejaVu-Sans -pointsize 15 -background '#202428' -fill '#e8e8e8' \
        -label "$5" "$1" -filter "$3" -geometry "$4+10+8" "$2"
}
labelled "$scratch/preview_bump0.5.ppm" "$scratch/a.png" Lanczos 512x384 \
    'Default view (software preview, bump scale 0.5)'
labelled "$scratch/gracecubemap.ppm" "$scratch/b.png" Lanczos 288x384 \
    'cubemap/gracecubemap.jpg'
labelled "$scratch/gracediffusecubemap.ppm" "$scratch/c.png" Point 288x384 \
    'cubemap/gracediffusecubemap.tga'
labelled "$scratch/quarzilbase.ppm" "$scratch/d.png" Lanczos 448x224 'quarzilbase.tga'
labelled "$scratch/quarzilbump.pgm" "$scratch/e.png" Lanczos 448x224 'quarzilbump.tga (heights)'
labelled "$scratch/font.pgm" "$scratch/f.png" Point 256x256 'font.tga'
convert -background '#202428' \
    \( "$scratch/a.png" "$scratch/b.png" "$scratch/c.png" -gravity south +append \) \
    \( "$scratch/d.png" "$scratch/e.png" "$scratch/f.png" -gravity south +append \) \
    -gravity center -append -alpha off -depth 8 -bordercolor '#202428' -border 6 -strip \
    -define png:exclude-chunks=date,time "$root/docs/assets.png"

ls -l "$root/assets" "$root/assets/cubemap" "$root/docs/assets.png"
