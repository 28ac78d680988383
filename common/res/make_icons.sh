#!/usr/bin/env bash
# Draws the message box's four icons (question, information, warning,
# error) with ImageMagick, in 32 and 16 pixel sizes. The .ico files are
# committed; run this again only to change them.
set -euo pipefail
cd "$(dirname "$0")"
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf

# draw <name> <circle|triangle> <fill colour> <glyph> <glyph colour>
draw() {
  local name=$1 shape=$2 fill=$3 glyph=$4 ink=$5
  local sizes=()
  for s in 32 16; do
    case $shape in
      circle) outline="circle $((s/2)),$((s/2)) $((s/2)),1" ;;
      triangle) outline="polygon $((s/2)),1 $((s-1)),$((s-2)) 0,$((s-2))" ;;
    esac
    convert -size ${s}x${s} xc:none -fill "$fill" -stroke '#303030' -strokewidth 1 -draw "$outline" \
      -font "$font" -pointsize $((s*2/3)) -fill "$ink" -stroke none -gravity center \
      -annotate +0+$([ $shape = triangle ] && echo $((s/10)) || echo 0) "$glyph" "png32:/tmp/icon-$name-$s.png"
    sizes+=("/tmp/icon-$name-$s.png")
  done
  convert "${sizes[@]}" "$name.ico"
  rm -f "${sizes[@]}"
}

draw question circle '#2F6FD0' '?' white
draw information circle '#2F6FD0' 'i' white
draw warning triangle '#F2C200' '!' black
draw error circle '#D02020' 'X' white
