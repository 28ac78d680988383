#!/usr/bin/env bash
# Boots the build tree's Wine prefix and keeps its servers running, detached
# from the caller's output (a test runner would otherwise wait on the pipe).
# Quick when the prefix is already up.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
: "${BUILD_DIR:?BUILD_DIR must name the build tree}"
. "$here/wine-env.sh"
keepalive="$BUILD_DIR/bin/wine_keepalive.exe"
pidfile="$WINEPREFIX/.keepalive.pid"
# One boot at a time: test programs started in parallel each come here.
mkdir -p "$WINEPREFIX"
exec 9>"$WINEPREFIX/.up.lock"
flock 9

# The virtual display comes up before Wine's desktop, which binds to it.
# Xvfb picks a free display itself: a socket left behind by a killed server
# must not pass for a live one.
if [ "${TB_OWN_DISPLAY:-}" = 1 ] && ! { [ -f "$WINEPREFIX/.xvfb.pid" ] && kill -0 "$(cat "$WINEPREFIX/.xvfb.pid")" 2>/dev/null; }; then
  mkdir -p "$WINEPREFIX"
  rm -f "$WINEPREFIX/.xvfb.display"
  # A display already bound to this prefix's Wine servers would go with the old one.
  "$WINESERVER" -k 9>&- </dev/null >/dev/null 2>&1 || true
  rm -f "$pidfile"
  setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp \
    3>"$WINEPREFIX/.xvfb.display" 9>&- </dev/null >/dev/null 2>&1 &
  echo $! > "$WINEPREFIX/.xvfb.pid"
  for _ in $(seq 100); do [ -s "$WINEPREFIX/.xvfb.display" ] && break; sleep 0.1; done
  . "$here/wine-env.sh"
fi
if [ -f "$pidfile" ] && kill -0 "$(cat "$pidfile")" 2>/dev/null; then exit 0; fi

mkdir -p "$WINEPREFIX"
# A first boot cut short leaves a prefix that starts no program ("could not
# load kernel32.dll"): boot it afresh rather than keep it for ever.
if [ -f "$WINEPREFIX/system.reg" ] && [ ! -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ]; then
  "$WINESERVER" -k 9>&- </dev/null >/dev/null 2>&1 || true
  "$WINESERVER" -w 9>&- </dev/null >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX/drive_c" "$WINEPREFIX/dosdevices" "$WINEPREFIX"/*.reg "$WINEPREFIX/.update-timestamp"
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$WINE" wineboot -i 9>&- </dev/null >/dev/null 2>&1 || true
  # Leaving the first-boot server running gives a second services.exe.
  "$WINESERVER" -k 9>&- </dev/null >/dev/null 2>&1 || true
  "$WINESERVER" -w 9>&- </dev/null >/dev/null 2>&1 || true
  # No window manager runs: windows are not decorated (screenshots show the
  # client) and not managed (else showing or hiding one waits 2 s for a
  # manager that never answers).
  "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f 9>&- </dev/null >/dev/null 2>&1 || true
  "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f 9>&- </dev/null >/dev/null 2>&1 || true
fi
# This Wine does not look for its own TrueType fonts where fonts-wine puts
# them; Marlett (the caption buttons' glyphs, "0 1 r" without it) joins the
# prefix's Fonts folder, which it does read. The others stay out, so that
# dialogs keep the text metrics the tests know.
fonts="$WINEPREFIX/drive_c/windows/Fonts"
if [ -f /usr/share/wine/fonts/marlett.ttf ] && [ -d "$fonts" ] && [ ! -f "$fonts/marlett.ttf" ]; then
  cp /usr/share/wine/fonts/marlett.ttf "$fonts/" || true
fi
"$WINESERVER" -p 9>&- </dev/null >/dev/null 2>&1 || true
"$WINE" wineboot 9>&- </dev/null >/dev/null 2>&1 || true
# Wine's desktop process ends a second after its last user; a tiny program
# holding a window keeps it alive across the tests.
if [ -f "$keepalive" ]; then
  setsid "$WINE" "$keepalive" 9>&- </dev/null >/dev/null 2>&1 &
  echo $! > "$pidfile"
fi
exit 0
