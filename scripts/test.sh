#!/usr/bin/env bash
# Sets the machine up, builds everything and runs every test suite.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"

status=0
# The disc layer's own suite, built natively for Linux with sanitizers.
if [ -x "$root/scripts/test-native.sh" ]; then
  "$root/scripts/test-native.sh" || status=1
fi

"$root/scripts/build.sh"
export BUILD_DIR="$root/build/win"
ctest --test-dir "$BUILD_DIR" --output-on-failure -j"$(nproc)" || status=1
"$root/scripts/wine-down.sh"
exit $status
