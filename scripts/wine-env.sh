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
# Windows need a display: the build tree's own virtual one unless one is given.
export TB_XVFB_DISPLAY=:97
export DISPLAY=${DISPLAY:-$TB_XVFB_DISPLAY}
