# Sourced: the environment of every Wine run of a build tree.
# Expects BUILD_DIR (the Windows build tree); the prefix lives inside it.
: "${BUILD_DIR:?BUILD_DIR must name the build tree}"
export WINE=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver64
export WINELOADER=$WINE
export WINEPREFIX="$BUILD_DIR/wineprefix"
export WINEARCH=win64
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
