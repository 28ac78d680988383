#!/usr/bin/env bash
# Stops the build tree's Wine servers, and its own display unless
# TB_KEEP_DISPLAY=1 (a restart of the servers alone, wine-up.sh next).
set -u
here=$(cd "$(dirname "$0")" && pwd)
: "${BUILD_DIR:?BUILD_DIR must name the build tree}"
. "$here/wine-env.sh"
pidfile="$WINEPREFIX/.keepalive.pid"
if [ -f "$pidfile" ]; then
  timeout 20 "$WINE" "$BUILD_DIR/bin/wine_keepalive.exe" stop </dev/null >/dev/null 2>&1 || true
  kill "$(cat "$pidfile")" 2>/dev/null || true
  rm -f "$pidfile"
fi
"$WINESERVER" -k </dev/null >/dev/null 2>&1 || true
# A wedged server does not end on -k: after a while its processes (and any
# server the loader started beside it for this prefix) are killed.
if ! timeout 30 "$WINESERVER" -w </dev/null >/dev/null 2>&1; then
  for pid in $(pgrep -f 'wineserver|\.exe' || true); do
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
      kill -9 "$pid" 2>/dev/null || true
    fi
  done
fi
if [ "${TB_KEEP_DISPLAY:-}" != 1 ] && [ -f "$WINEPREFIX/.xvfb.pid" ]; then
  kill "$(cat "$WINEPREFIX/.xvfb.pid")" 2>/dev/null || true
  rm -f "$WINEPREFIX/.xvfb.pid" "$WINEPREFIX/.xvfb.display"
fi
exit 0
