#!/usr/bin/env bash
# Configures and builds the Windows tree in build/win, with its Wine prefix
# booted first (the build registers the components into it).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR="$root/build/win"
arch=$("$root/scripts/target-arch.sh")
# A tree configured for the other target starts afresh.
if [ -f "$BUILD_DIR/CMakeCache.txt" ] && ! grep -q "^MINGW_ARCH:STRING=$arch\$" "$BUILD_DIR/CMakeCache.txt"; then
  BUILD_DIR="$BUILD_DIR" "$root/scripts/wine-down.sh"
  rm -rf "$BUILD_DIR"
fi
cmake -S "$root" -B "$BUILD_DIR" -G Ninja -DMINGW_ARCH="$arch" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw32.cmake" >/dev/null
cmake --build "$BUILD_DIR" --target wine_keepalive >/dev/null
"$root/scripts/wine-up.sh"
cmake --build "$BUILD_DIR" -j"$(nproc)"
