# Sourced: the environment of every Wine run of a build tree.
# Expects BUILD_DIR (the Windows build tree); the prefix lives inside it.
: "${BUILD_DIR:?BUILD_DIR must name the build tree}"
# A 32-bit build tree runs in a 32-bit prefix, a 64-bit one in a 64-bit prefix.
if grep -q '^MINGW_ARCH:STRING=i686' "$BUILD_DIR/CMakeCache.txt" 2>/dev/null; then
  export WINE=/usr/lib/wine/wine WINESERVER=/usr/lib/wine/wineserver32 WINEARCH=win32
else
  export WINE=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64 WINEARCH=win64
fi
export WINELOADER=$WINE
export WINEPREFIX="$BUILD_DIR/wineprefix"
export WINEDEBUG=-all
# No Mono or Gecko prompts; a crash ends the process instead of starting the debugger.
export WINEDLLOVERRIDES="mscoree=;mshtml=;winedbg.exe=d"
# Windows need a display: the one given, else the build tree's own virtual
# one, whose number wine-up.sh records when it starts it.
if [ -z "${DISPLAY:-}" ] || [ "${TB_OWN_DISPLAY:-}" = 1 ]; then
  export TB_OWN_DISPLAY=1
  if [ -s "$WINEPREFIX/.xvfb.display" ]; then
    export DISPLAY=":$(cat "$WINEPREFIX/.xvfb.display")"
  else
    unset DISPLAY
  fi
fi
