#!/usr/bin/env bash
# Runs a test program that kills a local server of the engine, then restarts
# the build tree's Wine servers (its display kept): the dead server's
# registrations would fail every later activation. One CTest entry, so that
# no other suite runs between the two.
# Usage: run_then_restart_wine.sh BUILD_DIR PROGRAM [ARGS...]
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
export BUILD_DIR=$1
shift
"$root/scripts/wine-exec.sh" "$@"
status=$?
TB_KEEP_DISPLAY=1 "$root/scripts/wine-down.sh"
"$root/scripts/wine-up.sh" || status=1
exit $status
