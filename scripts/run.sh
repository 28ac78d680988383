#!/usr/bin/env bash
# Sets the machine up, builds everything, registers the components and the
# project types into the build tree's Wine prefix and starts the
# application on the virtual drives.
#
# With a display in DISPLAY the window opens there. Without one the program
# runs on the build tree's own virtual display, which is served on the
# loopback address through a VNC server and its browser client (Debian's
# x11vnc, websockify and novnc); the address to open is printed last.
# A project file may be given as a Unix or a Windows path. When the program
# closes, the Wine server and the display this run started are stopped.
#   bash scripts/run.sh [project file]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR="$root/build/win"
mkdir -p "$root/build"
log="$root/build/run.log"

# One run at a time per build tree: a second one would print an address
# that the first one serves.
exec 8>"$root/build/.run.lock"
if ! flock -n 8; then
  echo "run: another run.sh is already serving this build tree ($(cat "$root/build/.run.owner" 2>/dev/null || echo "see it"))." >&2
  echo "run: close its program (or stop that run.sh) first." >&2
  exit 1
fi

# What was up before this run is left up at its end.
alive() { [ -f "$1" ] && kill -0 "$(cat "$1")" 2>/dev/null; }
prefix_was_up=0; display_was_up=0
alive "$BUILD_DIR/wineprefix/.keepalive.pid" && prefix_was_up=1
alive "$BUILD_DIR/wineprefix/.xvfb.pid" && display_was_up=1

step() { echo "run: $1 (log: $log)"; }
fail() {
  echo "run: $1 failed; the end of $log:" >&2
  tail -n 30 "$log" >&2
  exit 1
}
: >"$log"
step "checking the packages"
bash "$root/scripts/setup.sh" >>"$log" 2>&1 || fail "setting the machine up"
step "building (about a minute the first time)"
"$root/scripts/build.sh" >>"$log" 2>&1 || fail "the build"
. "$root/scripts/wine-env.sh"
"$root/scripts/wine-up.sh" >>"$log" 2>&1
. "$root/scripts/wine-env.sh"
bin="$BUILD_DIR/bin"
app="$bin/Tessaly.exe"
[ -f "$app" ] || { echo "run: $app was not built" >&2; exit 1; }

# Every component of the build registers itself (the build did it already;
# again here so that a prefix made afresh has them too).
step "registering the components and project types"
components=()
for f in "$bin"/*.dll "$bin"/Vokmar.exe; do
  case "$(basename "$f")" in StandinProject.dll) continue ;; esac
  [ -f "$f" ] && components+=("$f")
done
"$root/scripts/wine-register.sh" "$BUILD_DIR" "${components[@]}" >>"$log" 2>&1 || fail "registering the components"

# The project types the build declared (tb_project_type) are registered the
# installer's way: their keys afresh, with their open patterns.
name=$(basename "$(ls "$bin"/*.apptype | head -1)" .apptype)
"$WINE" reg delete "HKLM\\SOFTWARE\\Tavell software\\$name\\Projects" /f </dev/null >/dev/null 2>&1 || true
"$root/scripts/register-projects.sh" "$BUILD_DIR" "$name" >>"$log" 2>&1 || fail "registering the project types"
echo "run: $(grep -c . "$BUILD_DIR/project-types.list" || true) project type(s) registered for $name"

# A project file given as a Unix path becomes the Windows path the program
# takes (a leading '/' would read as a command-line switch).
unix_path() {
  [ -e "$1" ] && return 0
  case "$1" in /*/*) return 0 ;; /*) return 1 ;; */*) return 0 ;; *) return 1 ;; esac
}
args=()
for a in "$@"; do
  if unix_path "$a"; then
    a=$("$WINE" winepath -w "$(realpath -m -- "$a")" 2>/dev/null </dev/null) || true
  fi
  args+=("$a")
done

served=()
stop_all() {
  for pid in "${served[@]}"; do kill "$pid" 2>/dev/null || true; done
  local stopped=()
  if [ $prefix_was_up = 0 ] || { [ "${TB_OWN_DISPLAY:-}" = 1 ] && [ $display_was_up = 0 ]; }; then
    "$root/scripts/wine-down.sh" >/dev/null 2>&1 || true
    stopped+=("the Wine server")
    if [ "${TB_OWN_DISPLAY:-}" = 1 ]; then stopped+=("the display"); fi
  fi
  if [ ${#served[@]} -gt 0 ]; then stopped+=("the VNC server"); fi
  if [ ${#stopped[@]} -gt 0 ]; then
    local list
    list=$(printf '%s, ' "${stopped[@]}")
    echo "run: stopped ${list%, }"
  fi
  rm -f "$root/build/.run.owner"
}
trap stop_all EXIT
trap 'exit 130' INT TERM
address=""
if [ "${TB_OWN_DISPLAY:-}" = 1 ]; then
  # No display of the caller's: serve the build tree's virtual one.
  for p in x11vnc websockify novnc; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing_vnc=1
  done
  if [ -n "${missing_vnc:-}" ]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q x11vnc websockify novnc >>"$log" 2>&1
  fi
  vnc_port=${TB_VNC_PORT:-5900}
  web_port=${TB_WEB_PORT:-6080}
  x11vnc -display "$DISPLAY" -localhost -rfbport "$vnc_port" -forever -shared -nopw -quiet \
    </dev/null >"$BUILD_DIR/x11vnc.log" 2>&1 &
  served+=($!)
  websockify --web /usr/share/novnc "127.0.0.1:$web_port" "127.0.0.1:$vnc_port" \
    </dev/null >"$BUILD_DIR/websockify.log" 2>&1 &
  served+=($!)
  sleep 1
  for pid in "${served[@]}"; do
    if ! kill -0 "$pid" 2>/dev/null; then
      echo "run: the VNC server could not start: port $vnc_port or $web_port is taken (another run.sh?)." >&2
      echo "run: choose others with TB_VNC_PORT and TB_WEB_PORT; see $BUILD_DIR/x11vnc.log and websockify.log" >&2
      exit 1
    fi
  done
  address="http://127.0.0.1:$web_port/vnc.html"
fi
echo "${address:-display $DISPLAY}, pid $$" >"$root/build/.run.owner"

echo "run: starting $app ${args[*]:-}"
echo "run: by hand, the Wine server and the display stop with: BUILD_DIR=$BUILD_DIR bash $root/scripts/wine-down.sh"
"$WINE" "$app" "${args[@]}" </dev/null >>"$log" 2>&1 &
program=$!
if [ -n "$address" ]; then
  echo "run: the application's display $DISPLAY is served on this machine at"
  echo "run:   $address   (VNC on 127.0.0.1:$vnc_port)"
else
  echo "run: the window opens on display $DISPLAY"
fi
wait "$program" || true
