#!/usr/bin/env bash
# Builds the disc benchmark (Release) in build/bench-disc and runs it on trees
# and images it creates once in the work folder (default:
# build/bench-disc/work, 6 GB; the runs need 9 GB more). A second argument
# "images" runs only the raw image burns and grabs.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$root/build/bench-disc"
work="${1:-$build/work}"
cmake -S "$root/bench/disc" -B "$build" -DCMAKE_BUILD_TYPE=Release </dev/null >/dev/null
cmake --build "$build" --parallel "$(nproc)" </dev/null >/dev/null
mkdir -p "$work"
"$build/disc_bench" "$work" ${2:+"$2"} </dev/null
