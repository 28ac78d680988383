#!/usr/bin/env bash
# Builds and runs the native Linux tests (disc layer under ASan and UBSan, plus
# the fuzz target when clang is installed) in build/native.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/native"

compilers=()
if command -v clang++ >/dev/null 2>&1 && command -v clang >/dev/null 2>&1; then
  compilers=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++)
fi
generator=()
command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root/tests/native" -B "$build" "${generator[@]}" "${compilers[@]}" \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo </dev/null >/dev/null
fi
if ! cmake --build "$build" --parallel "$(nproc)" </dev/null >"$build/build.log" 2>&1; then
  grep -E -A5 "error|Error" "$build/build.log" | head -60
  echo "test-native: build failed (full log: $build/build.log)"
  exit 1
fi
cd "$build"
ctest --output-on-failure --parallel "$(nproc)" </dev/null
