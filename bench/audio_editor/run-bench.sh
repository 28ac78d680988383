#!/usr/bin/env bash
# Builds the Windows tree, makes a folder of 99 tracks of three minutes
# (WAV of mono 22 kHz sound, MP3 and Ogg Vorbis, 33 of each) with Debian's
# sox, lame and oggenc, and runs the audio editor benchmark under Wine:
#   bench/audio_editor/run-bench.sh [work folder]
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
work="${1:-$(mktemp -d)}"
bash "$root/scripts/build.sh" >/dev/null
export BUILD_DIR="$root/build/win"
mkdir -p "$work/tracks"
if [ ! -f "$work/tracks/t98.ogg" ]; then
  sox -q -n -r 22050 -c 1 -b 16 "$work/source.wav" synth 180 sine 220-660
  lame --quiet -b 128 "$work/source.wav" "$work/source.mp3"
  oggenc --quiet -q 2 -o "$work/source.ogg" "$work/source.wav"
  for i in $(seq 0 98); do
    case $((i % 3)) in 0) ext=wav ;; 1) ext=mp3 ;; 2) ext=ogg ;; esac
    cp "$work/source.$ext" "$work/tracks/t$(printf %02d "$i").$ext"
  done
fi
"$root/scripts/wine-exec.sh" "$BUILD_DIR/bin/audio_editor_bench.exe" "Z:$(echo "$work/tracks" | tr / '\\')" </dev/null
