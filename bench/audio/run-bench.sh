#!/usr/bin/env bash
# Decodes an hour of MP3 and an hour of Ogg Vorbis to WAV with the audio
# layer (under Wine, Wine's start included) and with Debian's mpg123 and
# oggdec on the same files, best of three runs each:
#   bench/audio/run-bench.sh [minutes]   (default 60)
# The encoded sources are made once with lame and oggenc and kept in
# build/bench-audio; the decoded WAVs are removed after each run.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
minutes=${1:-60}
bash "$root/scripts/build.sh" >/dev/null
export BUILD_DIR="$root/build/win"
cmake --build "$BUILD_DIR" --target audio_bench >/dev/null
work="$root/build/bench-audio"
mkdir -p "$work"
src="$work/hour-$minutes"
if [ ! -f "$src.ogg" ]; then
  echo "making $minutes minutes of MP3 and Ogg (once)..."
  # Music-like content: a chord over quiet noise, so the encoders work.
  tone() { sox -q -n -r 44100 -c 2 -b 16 -t wav - synth $((minutes * 60)) sine 220 sine 330 pinknoise remix 1,3v0.2 2,3v0.2 vol 0.5; }
  tone | lame --quiet -b 192 - "$src.mp3"
  tone | oggenc --quiet -q 5 -o "$src.ogg" -
fi
# time_of <command...>: "<best> <first>", the wall-clock seconds of the
# fastest of three runs and of the first.
time_of() {
  local t0 t1 best= first=
  for _ in 1 2 3; do
    t0=$(date +%s.%N)
    "$@" >/dev/null
    t1=$(date +%s.%N)
    first=${first:-$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')}
    best=$(awk -v a="$t0" -v b="$t1" -v m="$best" 'BEGIN { t = b - a; print (m == "" || t < m) ? t : m }')
  done
  echo "$best $first"
}
out="$work/out.wav"
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
echo "load: $(uptime)"
printf '%-6s %12s %12s %8s   %s\n' format debian layer ratio "(first runs: debian, layer, ratio)"
for kind in mp3 ogg; do
  if [ $kind = mp3 ]; then debian=(mpg123 -q -w "$out" "$src.mp3"); else debian=(oggdec --quiet -o "$out" "$src.ogg"); fi
  read -r d d1 < <(time_of "${debian[@]}")
  ref_size=$(stat -c %s "$out")
  rm -f "$out"
  read -r l l1 < <(time_of "$root/scripts/wine-exec.sh" "$BUILD_DIR/bin/audio_bench.exe" "Z:$src.$kind" "Z:$out")
  size=$(stat -c %s "$out")
  rm -f "$out"
  [ "$size" = "$ref_size" ] || echo "warning: $kind: layer wrote $size bytes, Debian's decoder $ref_size"
  printf '%-6s %11.2fs %11.2fs %8s   (%.2fs, %.2fs, %s)\n' $kind "$d" "$l" "$(ratio "$l" "$d")" "$d1" "$l1" "$(ratio "$l1" "$d1")"
done
echo "load: $(uptime)"
