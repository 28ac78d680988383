#!/usr/bin/env bash
# Runs a Windows program of the build tree under Wine (CTest's emulator).
# The build tree is the folder holding CMakeCache.txt above the program.
set -u
dir=$(cd "$(dirname "$1")" && pwd)
while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
BUILD_DIR=${BUILD_DIR:-$dir}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
"$here/wine-up.sh" >/dev/null 2>&1 </dev/null
. "$here/wine-env.sh"
# Sound goes to ALSA's file device, not to a card (see wine-alsa.conf).
export ALSA_CONFIG_PATH=${ALSA_CONFIG_PATH:-$here/wine-alsa.conf}
# The program's new-version check reaches no one: a closed loopback port.
export TB_VERSION_CHECK_HOST=${TB_VERSION_CHECK_HOST:-127.0.0.1:1}
exec "$WINE" "$@"
