#!/usr/bin/env bash
# Draws the audio editor's icons with ImageMagick: the task-panel pane's
# disc (32 pixels), the 16-pixel command icons, the track row's note and
# the player's buttons. The .ico files are committed; run this again only
# to change them.
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

note=(-fill '#2040A0' -stroke '#2040A0' -strokewidth 1 -draw 'ellipse 5,12 3,2 0,360' -draw 'line 8,12 8,2' -draw 'line 8,2 13,4')
plus=(-stroke '#20A020' -strokewidth 2 -draw 'line 12,9 12,15' -draw 'line 9,12 15,12')
folder=(-fill '#F0C850' -stroke '#A07820' -strokewidth 1 -draw 'rectangle 1,4 14,13' -draw 'rectangle 1,2 6,4')

icon 32 pane.ico -fill '#C8CCD8' -stroke '#505868' -strokewidth 1 -draw 'circle 16,16 16,1' \
  -fill '#8890A8' -stroke none -draw 'circle 16,16 16,11' \
  -fill '#2040A0' -stroke '#2040A0' -draw 'ellipse 22,26 4,3 0,360' -draw 'line 26,26 26,14'
icon 16 add_folder.ico "${folder[@]}" "${plus[@]}"
icon 16 add_tracks.ico "${note[@]}" "${plus[@]}"
icon 16 rename_track.ico -fill '#FFFFFF' -stroke '#5060A0' -strokewidth 1 -draw 'rectangle 1,5 14,11' \
  -stroke '#000000' -draw 'line 4,7 4,9' -draw 'line 6,3 6,13'
icon 16 delete_tracks.ico -stroke '#D02020' -strokewidth 3 -draw 'line 3,3 12,12' -draw 'line 12,3 3,12'
icon 16 track.ico "${note[@]}"
icon 16 move_up.ico -fill '#2080C0' -stroke '#105080' -draw 'polygon 8,2 14,9 10,9 10,14 6,14 6,9 2,9'
icon 16 move_down.ico -fill '#2080C0' -stroke '#105080' -draw 'polygon 8,14 14,7 10,7 10,2 6,2 6,7 2,7'
icon 16 play.ico -fill '#20A020' -stroke '#106010' -draw 'polygon 4,2 13,8 4,14'
icon 16 pause.ico -fill '#404040' -stroke none -draw 'rectangle 4,3 6,13' -draw 'rectangle 10,3 12,13'
icon 16 stop.ico -fill '#C02020' -stroke '#801010' -draw 'rectangle 3,3 12,12'
icon 16 previous.ico -fill '#404040' -stroke none -draw 'rectangle 2,3 4,13' -draw 'polygon 14,3 5,8 14,13'
icon 16 next.ico -fill '#404040' -stroke none -draw 'polygon 2,3 11,8 2,13' -draw 'rectangle 12,3 14,13'
