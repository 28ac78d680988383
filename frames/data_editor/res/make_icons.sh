#!/usr/bin/env bash
# Draws the data editor's icons with ImageMagick: the task-panel pane's disc
# (32 pixels) and the 16-pixel command icons of the toolbar and the task
# panel. The .ico files are committed; run this again only to change them.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

icon() {  # icon <size> <out.ico> <drawing arguments...>
  local s=$1 out=$2
  shift 2
  convert -size ${s}x${s} xc:none "$@" "png32:$tmp/icon.png"
  convert "$tmp/icon.png" "$out"
}

folder=(-fill '#F0C850' -stroke '#A07820' -strokewidth 1 -draw 'rectangle 1,4 14,13' -draw 'rectangle 1,2 6,4')
sheet=(-fill '#FFFFFF' -stroke '#5060A0' -strokewidth 1 -draw 'rectangle 3,1 12,14')
plus=(-stroke '#20A020' -strokewidth 2 -draw 'line 11,8 11,14' -draw 'line 8,11 14,11')

icon 32 pane.ico -fill '#C8CCD8' -stroke '#505868' -strokewidth 1 -draw 'circle 16,16 16,1' \
  -fill '#8890A8' -stroke none -draw 'circle 16,16 16,11' -fill '#F0C850' -stroke '#A07820' -draw 'rectangle 18,20 30,29'
icon 16 create_folder.ico "${folder[@]}" -stroke '#FFFFFF' -strokewidth 2 -draw 'line 8,6 8,12' -draw 'line 5,9 11,9'
icon 16 add_files.ico "${sheet[@]}" "${plus[@]}"
icon 16 add_folder.ico "${folder[@]}" "${plus[@]}"
icon 16 rename.ico -fill '#FFFFFF' -stroke '#5060A0' -strokewidth 1 -draw 'rectangle 1,5 14,11' \
  -stroke '#000000' -draw 'line 4,7 4,9' -draw 'line 6,3 6,13'
icon 16 delete.ico -stroke '#D02020' -strokewidth 3 -draw 'line 3,3 12,12' -draw 'line 12,3 3,12'
icon 16 sort_on.ico -stroke '#2040A0' -strokewidth 2 -draw 'line 4,2 4,13' -draw 'line 1,10 4,13' -draw 'line 7,10 4,13' \
  -stroke '#404040' -strokewidth 1 -draw 'line 9,3 14,3' -draw 'line 9,7 13,7' -draw 'line 9,11 11,11'
icon 16 sort_off.ico -stroke '#808080' -strokewidth 2 -draw 'line 4,2 4,13' \
  -stroke '#808080' -strokewidth 1 -draw 'line 9,3 14,3' -draw 'line 9,7 13,7' -draw 'line 9,11 11,11' \
  -stroke '#D02020' -strokewidth 2 -draw 'line 1,14 14,1'
icon 16 progress.ico -fill '#C8CCD8' -stroke '#505868' -strokewidth 1 -draw 'circle 8,8 8,1' \
  -fill '#20A020' -stroke none -draw 'circle 8,8 8,5'
