#!/usr/bin/env bash
# Changes and reads the virtual drives of the application that run.sh
# starts, from outside the program: disc_tool of the build tree on the data
# folder of the build tree's Wine prefix. Unix paths of images are turned
# into the program's own.
#   bash scripts/disc.sh list
#   bash scripts/disc.sh insert F 2            (a blank CD-R into F; 8 a DVD-RW)
#   bash scripts/disc.sh export E ~/disc.iso   (the disc in E as an ISO image)
#   bash scripts/disc.sh press F ~/data.iso    (a pressed disc with that image)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR="$root/build/win"
tool="$BUILD_DIR/bin/disc_tool.exe"
[ -f "$tool" ] || { echo "disc: $tool is not built: run scripts/run.sh first" >&2; exit 1; }
. "$root/scripts/wine-env.sh"
# The Wine server and display this call starts (none while run.sh serves)
# go again when it ends.
pidfile="$WINEPREFIX/.keepalive.pid"
if ! { [ -f "$pidfile" ] && kill -0 "$(cat "$pidfile")" 2>/dev/null; }; then
  trap '"$root/scripts/wine-down.sh" </dev/null >/dev/null 2>&1 || true' EXIT
fi
"$root/scripts/wine-up.sh" </dev/null >/dev/null 2>&1
. "$root/scripts/wine-env.sh"
app=$(basename "$(ls "$BUILD_DIR"/bin/*.apptype | head -1)" .apptype)
args=()
for a in "$@"; do
  case "$a" in
    /*|./*|../*|~*) args+=("$("$WINE" winepath -w "$(realpath -m -- "$a")" 2>/dev/null </dev/null)") ;;
    *) args+=("$a") ;;
  esac
done
"$WINE" "$tool" "C:\\ProgramData\\Tavell software\\$app" "${args[@]}"
