#!/usr/bin/env bash
# Builds the Windows tree and runs the engine benchmark under Wine:
#   bench/engine/run-bench.sh [entries...] [--work <folder>]
# (default 2000 and 20000 entries, sources in the prefix's temporary folder).
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
bash "$root/scripts/build.sh" >/dev/null
export BUILD_DIR="$root/build/win"
"$root/scripts/wine-exec.sh" "$BUILD_DIR/bin/engine_bench.exe" "$@" </dev/null
