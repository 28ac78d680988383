#!/usr/bin/env bash
# wine-register.sh BUILD_DIR COMPONENT...: registers components into the
# build tree's Wine prefix (regsvr32 for DLLs, /RegServer for programs).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
export BUILD_DIR=$1; shift
. "$here/wine-env.sh"
"$here/wine-up.sh"
. "$here/wine-env.sh"
log="$BUILD_DIR/register.log"
for component in "$@"; do
  case "$component" in
    *.exe) "$WINE" "$component" /RegServer </dev/null >>"$log" 2>&1 ;;
    *)     "$WINE" regsvr32 /s "$component" </dev/null >>"$log" 2>&1 ;;
  esac || { echo "registering $component failed (see $log)" >&2; exit 1; }
done
