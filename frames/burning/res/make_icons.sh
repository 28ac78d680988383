#!/usr/bin/env bash
# Draws the burning frame's task-panel icons with ImageMagick: the pane's
# disc (32 pixels), the burn action's disc with a flame-coloured dot and the
# erase actions' disc with a white sweep (16 pixels). The .ico files are
# committed; run this again only to change them.
set -euo pipefail
cd "$(dirname "$0")"

disc() {  # disc <size> <out.ico> [more drawing arguments...]
  local s=$1 out=$2 c=$(($1/2))
  shift 2
  convert -size ${s}x${s} xc:none -fill '#C8CCD8' -stroke '#505868' -strokewidth 1 \
    -draw "circle $c,$c $c,1" -fill '#8890A8' -stroke none -draw "circle $c,$c $c,$((c-s/6))" \
    -fill none -stroke '#FFFFFF' -draw "circle $c,$c $c,$((c-s/10))" "$@" "png32:/tmp/drubeck-icon.png"
  convert /tmp/drubeck-icon.png "$out"
  rm -f /tmp/drubeck-icon.png
}

disc 32 burn_pane.ico
disc 16 burn_action.ico -fill '#E04010' -stroke none -draw 'circle 11,11 11,7'
disc 16 erase_action.ico -stroke '#FFFFFF' -strokewidth 2 -draw 'line 3,13 13,3'
