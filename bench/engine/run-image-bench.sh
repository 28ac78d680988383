#!/usr/bin/env bash
# Builds the Windows tree and times, through the engine under Wine from a
# client, a raw image burn and a grab of a full CD (drive F) and of a 4 GiB
# DVD (drive E), each against a plain copy (cat) of the same bytes from the
# same source under the same conditions: the image (cached) for the burn;
# for the grab the disc's file just after its burn, and cached, each side
# after a sync of its own. Best of three runs and the first, with the
# machine's load:
#   bench/engine/run-image-bench.sh [CD sectors] [DVD MiB]
# (default 359848 and 4096; images made once in build/bench-images).
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
sectors=${1:-359848} mib=${2:-4096}
bash "$root/scripts/build.sh" >/dev/null
export BUILD_DIR="$root/build/win"
cmake --build "$BUILD_DIR" --target engine_image_bench >/dev/null
work="$root/build/bench-images"
mkdir -p "$work"
drives="$BUILD_DIR/wineprefix/drive_c/users/$(whoami)/AppData/Roaming/Tavell Software/Vokmar"
win() { "$root/scripts/wine-exec.sh" "$@" </dev/null; }
tool() { win "$BUILD_DIR/bin/disc_tool.exe" "C:\\users\\$(whoami)\\AppData\\Roaming\\Tavell Software\\Vokmar" "$@" >/dev/null; }
client() { win "$BUILD_DIR/bin/engine_image_bench.exe" "$@"; }
# copy <source>: seconds of a plain copy into the work folder.
copy() {
  local t0 t1
  t0=$(date +%s.%N); cat "$1" > "$work/copy.out"; t1=$(date +%s.%N)
  rm -f "$work/copy.out"
  awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }'
}

# The images: a full CD of raw Mode 1 sectors with its CUE sheet, and an
# ISO file of random bytes.
cd_image="$work/cd-$sectors"
if [ ! -f "$cd_image.cue" ]; then
  python3 - "$cd_image.bin" "$sectors" <<'PY'
import os, sys
sync = b"\0" + b"\xff" * 10 + b"\0"
with open(sys.argv[1], "wb") as out:
    for lba in range(int(sys.argv[2])):
        out.write(sync + b"\0\0\0\1" + os.urandom(2048) + bytes(288))
PY
  printf 'FILE "%s" BINARY\n  TRACK 01 MODE1/2352\n    INDEX 01 00:00:00\n' "$(basename "$cd_image.bin")" > "$cd_image.cue"
fi
dvd_image="$work/dvd-$mib.iso"
[ -f "$dvd_image" ] || head -c "$((mib << 20))" /dev/urandom > "$dvd_image"

# stats <name> <values...>: "best first" of the values.
stats() { shift; printf '%s\n' "$@" | sort -g | head -1 | tr '\n' ' '; echo "$1"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

echo "load: $(uptime)"
printf '%-22s %8s %8s %6s   %s\n' "" job copy ratio "(first runs: job, copy, ratio; whole job with its start)"
for kind in cd dvd; do
  if [ $kind = cd ]; then letter=F type=2 image="$cd_image.cue" bytes="$cd_image.bin" disc="$drives/VirtualDrives/drive1.raw"
  else letter=E type=8 image="$dvd_image" bytes="$dvd_image" disc="$drives/VirtualDrives/drive0.img"; fi
  burn=() whole=() image_copy=() fresh=() fresh_copy=() cached=() cached_copy=()
  for round in 1 2 3; do
    tool insert $letter $type
    sync
    read -r b w < <(client burn $letter "Z:$image")
    burn+=("$b") whole+=("$w")
    # The disc's file just written: the grab and a copy of it, in turn first.
    rm -f "$work/grab".*
    if [ $round = 2 ]; then fresh_copy+=("$(copy "$disc")"); fi
    read -r g _ < <(client grab $letter "Z:$work/grab")
    fresh+=("$g")
    if [ $round != 2 ]; then fresh_copy+=("$(copy "$disc")"); fi
    # Cached: each side after a sync, in turn first as above (the writes of
    # the one before are still going to the disk when the next begins).
    rm -f "$work/grab".*
    sync
    if [ $round != 2 ]; then cached_copy+=("$(copy "$disc")"); sync; fi
    read -r g _ < <(client grab $letter "Z:$work/grab")
    cached+=("$g")
    rm -f "$work/grab".*
    if [ $round = 2 ]; then sync; cached_copy+=("$(copy "$disc")"); fi
    image_copy+=("$(copy "$bytes")")
  done
  tool insert $letter $type  # the blank disc the engine's tests expect
  for row in "burn:burn:image_copy" "grab, just written:fresh:fresh_copy" "grab, cached:cached:cached_copy"; do
    IFS=: read -r what jobs copies <<<"$row"
    eval "j=(\"\${$jobs[@]}\") c=(\"\${$copies[@]}\")"
    read -r jb jf < <(stats x "${j[@]}")
    read -r cb cf < <(stats x "${c[@]}")
    extra=""
    [ "$jobs" = burn ] && extra="; whole $(stats x "${whole[@]}" | cut -d' ' -f1) s"
    printf '%-22s %7.2fs %7.2fs %6s   (%.2fs, %.2fs, %s%s)\n' "$kind $what" "$jb" "$cb" "$(ratio "$jb" "$cb")" \
      "$jf" "$cf" "$(ratio "$jf" "$cf")" "$extra"
  done
done
echo "load: $(uptime)"
