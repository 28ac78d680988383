#!/usr/bin/env bash
# Draws the data project's icon (a disc with a folder on it) with
# ImageMagick in 48, 32 and 16 pixel sizes. The .ico file is committed; run
# this again only to change it.
set -euo pipefail
cd "$(dirname "$0")"
sizes=()
for s in 48 32 16; do
  r=$((s/2)); hole=$((s/10 + 1))
  convert -size ${s}x${s} xc:none \
    -fill '#C8D4E0' -stroke '#506070' -strokewidth 1 -draw "circle $r,$r $r,1" \
    -fill '#E8EEF4' -stroke none -draw "circle $r,$r $r,$((s/5))" \
    -fill white -stroke '#506070' -draw "circle $r,$r $r,$((r - hole))" \
    -fill '#F2C200' -stroke '#906000' -draw "rectangle $((s/2)),$((s*5/8)) $((s-2)),$((s-2))" \
    -draw "rectangle $((s/2)),$((s*9/16)) $((s*3/4)),$((s*5/8))" \
    "png32:/tmp/icon-data-$s.png"
  sizes+=("/tmp/icon-data-$s.png")
done
convert "${sizes[@]}" data_project.ico
rm -f "${sizes[@]}"
