#!/usr/bin/env bash
# Stops the build tree's Wine servers, and its own display unless
# TB_KEEP_DISPLAY=1 (a restart of the servers alone, wine-up.sh next).
set -u
here=$(cd "$(dirname "$0")" && pwd)
: "${BUILD_DIR:?BUILD_DIR must name the build tree}"
. "$here/wine-env.sh"
pidfile="$WINEPREFIX/.keepalive.pid"
if [ -f "$pidfile" ]; then
  "$WINE" "$BUILD_DIR/bin/wine_keepalive.exe" stop </dev/null >/dev/null 2>&1 || true
  kill "$(cat "$pidfile")" 2>/dev/null || true
  rm -f "$pidfile"
fi
"$WINESERVER" -k </dev/null >/dev/null 2>&1 || true
"$WINESERVER" -w </dev/null >/dev/null 2>&1 || true
if [ "${TB_KEEP_DISPLAY:-}" != 1 ] && [ -f "$WINEPREFIX/.xvfb.pid" ]; then
  kill "$(cat "$WINEPREFIX/.xvfb.pid")" 2>/dev/null || true
  rm -f "$WINEPREFIX/.xvfb.pid" "$WINEPREFIX/.xvfb.display"
fi
exit 0
