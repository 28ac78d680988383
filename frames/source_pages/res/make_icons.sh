#!/usr/bin/env bash
# Draws the source pages' task-panel icons with ImageMagick, each at 32 and
# 16 pixels in one file: the image file (a sheet with a disc), the disc to
# copy (two discs) and the grab (a disc with an arrow). The .ico files are
# committed; run this again only to change them.
set -euo pipefail
cd "$(dirname "$0")"

icon() {  # icon <out.ico> <drawing for a 32-pixel canvas...>
  local out=$1
  shift
  convert -size 32x32 xc:none "$@" png32:/tmp/pelgrave-32.png
  convert /tmp/pelgrave-32.png -resize 16x16 png32:/tmp/pelgrave-16.png
  convert /tmp/pelgrave-32.png /tmp/pelgrave-16.png "$out"
  rm -f /tmp/pelgrave-32.png /tmp/pelgrave-16.png
}
disc='-fill #C8CCD8 -stroke #505868 -strokewidth 1'

icon image_pane.ico -fill '#FFFFFF' -stroke '#505868' -draw 'rectangle 6,2 26,29' \
  $disc -draw 'circle 16,17 16,8' -fill '#8890A8' -stroke none -draw 'circle 16,17 16,14'
icon copy_pane.ico $disc -draw 'circle 11,11 11,1' $disc -draw 'circle 20,20 20,10' \
  -fill '#8890A8' -stroke none -draw 'circle 20,20 20,17'
icon grab_pane.ico $disc -draw 'circle 14,14 14,2' -fill '#8890A8' -stroke none -draw 'circle 14,14 14,11' \
  -fill '#20A040' -draw 'polygon 20,20 31,20 25,31'
