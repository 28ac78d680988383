#!/usr/bin/env bash
# Builds the Windows tree and runs the data model benchmark under Wine:
#   bench/data_model/run-bench.sh [entries...] [--inproc-ps]
# (default 2000 and 20000 entries; sources in the prefix's temporary folder).
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
bash "$root/scripts/build.sh" >/dev/null
export BUILD_DIR="$root/build/win"
"$root/scripts/wine-exec.sh" "$BUILD_DIR/bin/data_model_bench.exe" "$@" </dev/null
