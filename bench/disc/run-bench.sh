#!/usr/bin/env bash
# Builds the disc benchmark (Release) in build/bench-disc and runs it on trees
# it creates once in the work folder (default: build/bench-disc/work, 1.3 GB).
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$root/build/bench-disc"
work="${1:-$build/work}"
cmake -S "$root/bench/disc" -B "$build" -DCMAKE_BUILD_TYPE=Release </dev/null >/dev/null
cmake --build "$build" --parallel "$(nproc)" </dev/null >/dev/null
mkdir -p "$work"
"$build/disc_bench" "$work" </dev/null
