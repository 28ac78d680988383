#!/usr/bin/env bash
# Sets the machine up, builds everything, registers the components and the
# project types into the build tree's Wine prefix and starts the
# application on the virtual drives.
#
# With a display in DISPLAY the window opens there. Without one the program
# runs on the build tree's own virtual display, which is served on the
# loopback address through a VNC server and its browser client (Debian's
# x11vnc, websockify and novnc); the address to open is printed.
#   bash scripts/run.sh [project file]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
"$root/scripts/build.sh"
export BUILD_DIR="$root/build/win"
. "$root/scripts/wine-env.sh"
"$root/scripts/wine-up.sh"
. "$root/scripts/wine-env.sh"
bin="$BUILD_DIR/bin"
app="$bin/Tessaly.exe"
[ -f "$app" ] || { echo "run: $app was not built" >&2; exit 1; }

# Every component of the build registers itself (the build did it already;
# again here so that a prefix made afresh has them too).
components=()
for f in "$bin"/*.dll "$bin"/Vokmar.exe; do
  case "$(basename "$f")" in StandinProject.dll) continue ;; esac
  [ -f "$f" ] && components+=("$f")
done
"$root/scripts/wine-register.sh" "$BUILD_DIR" "${components[@]}"

# The project types the build declared (tb_project_type) are registered the
# installer's way: their keys afresh, with their open patterns.
name=$(basename "$(ls "$bin"/*.apptype | head -1)" .apptype)
"$WINE" reg delete "HKLM\\SOFTWARE\\Tavell software\\$name\\Projects" /f </dev/null >/dev/null 2>&1 || true
"$root/scripts/register-projects.sh" "$BUILD_DIR" "$name"
echo "run: $(grep -c . "$BUILD_DIR/project-types.list" || true) project type(s) registered for $name"

served=()
stop_served() {
  for pid in "${served[@]}"; do kill "$pid" 2>/dev/null || true; done
}
if [ "${TB_OWN_DISPLAY:-}" = 1 ]; then
  # No display of the caller's: serve the build tree's virtual one.
  for p in x11vnc websockify novnc; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing_vnc=1
  done
  if [ -n "${missing_vnc:-}" ]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q x11vnc websockify novnc >/dev/null
  fi
  vnc_port=${TB_VNC_PORT:-5900}
  web_port=${TB_WEB_PORT:-6080}
  x11vnc -display "$DISPLAY" -localhost -rfbport "$vnc_port" -forever -shared -nopw -quiet \
    </dev/null >"$BUILD_DIR/x11vnc.log" 2>&1 &
  served+=($!)
  websockify --web /usr/share/novnc "127.0.0.1:$web_port" "127.0.0.1:$vnc_port" \
    </dev/null >"$BUILD_DIR/websockify.log" 2>&1 &
  served+=($!)
  trap stop_served EXIT
  echo "run: the application's display $DISPLAY is served at 127.0.0.1:$web_port/vnc.html (VNC on 127.0.0.1:$vnc_port)"
  echo "run: open that address in a browser on this machine"
fi
echo "run: starting $app"
"$WINE" "$app" "$@"
