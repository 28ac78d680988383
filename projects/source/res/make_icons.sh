#!/usr/bin/env bash
# Draws the disc-copy project's icon (two discs) and the image-burn
# project's (a disc before a sheet) with ImageMagick in 48, 32 and 16 pixel
# sizes. The .ico files are committed; run this again only to change them.
set -euo pipefail
cd "$(dirname "$0")"
make() {  # make <out.ico> <kind>
  local sizes=()
  for s in 48 32 16; do
    local r=$((s/2)) q=$((s/3))
    local disc=(-fill '#C8D4E0' -stroke '#506070' -strokewidth 1)
    if [ "$2" = copy ]; then
      convert -size ${s}x${s} xc:none "${disc[@]}" -draw "circle $q,$q $q,1" \
        "${disc[@]}" -draw "circle $((s-q)),$((s-q)) $((s-q)),$((s-2*q+1))" \
        -fill white -draw "circle $((s-q)),$((s-q)) $((s-q)),$((s-q-s/10-1))" "png32:/tmp/icon-src-$s.png"
    else
      convert -size ${s}x${s} xc:none -fill white -stroke '#506070' -draw "rectangle $((s/2)),1 $((s-2)),$((s*3/4))" \
        "${disc[@]}" -draw "circle $((r-2)),$((r+2)) $((r-2)),$((s/6))" \
        -fill white -draw "circle $((r-2)),$((r+2)) $((r-2)),$((r+2-s/10-1))" "png32:/tmp/icon-src-$s.png"
    fi
    sizes+=("/tmp/icon-src-$s.png")
  done
  convert "${sizes[@]}" "$1"
  rm -f "${sizes[@]}"
}
make copy_project.ico copy
make image_project.ico image
