#!/usr/bin/env bash
# Configures and builds the Windows tree in build/win, with its Wine prefix
# booted first (the build registers the components into it).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR="$root/build/win"
cmake -S "$root" -B "$BUILD_DIR" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw32.cmake" >/dev/null
cmake --build "$BUILD_DIR" --target wine_keepalive >/dev/null
"$root/scripts/wine-up.sh"
cmake --build "$BUILD_DIR" -j"$(nproc)"
