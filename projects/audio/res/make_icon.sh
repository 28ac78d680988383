#!/usr/bin/env bash
# Draws the audio project's icon (a disc with a note on it) with ImageMagick
# in 48, 32 and 16 pixel sizes. The .ico file is committed; run this again
# only to change it.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
sizes=()
for s in 48 32 16; do
  r=$((s/2)); hole=$((s/10 + 1))
  convert -size ${s}x${s} xc:none \
    -fill '#C8D4E0' -stroke '#506070' -strokewidth 1 -draw "circle $r,$r $r,1" \
    -fill '#E8EEF4' -stroke none -draw "circle $r,$r $r,$((s/5))" \
    -fill white -stroke '#506070' -draw "circle $r,$r $r,$((r - hole))" \
    -fill '#2040A0' -stroke '#2040A0' -draw "ellipse $((s*5/8)),$((s*7/8)) $((s/8+1)),$((s/12+1)) 0,360" \
    -draw "line $((s*3/4)),$((s*7/8)) $((s*3/4)),$((s/2))" -draw "line $((s*3/4)),$((s/2)) $((s-2)),$((s*9/16))" \
    "png32:$tmp/icon-$s.png"
  sizes+=("$tmp/icon-$s.png")
done
convert "${sizes[@]}" audio_project.ico
