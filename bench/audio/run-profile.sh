#!/usr/bin/env bash
# Where the MP3 decode's time goes, in the same run (best of three and the
# first, wall-clock and CPU seconds): libmpg123 alone on the file held in
# memory, libmpg123 reading the file itself, and the audio layer's whole
# decode to 16-bit samples, all in one process under Wine
# (audio_mpeg_profile, which names the synth the library chose); then
# Debian's mpg123 decoding the same file to nothing (-s to /dev/null).
#   bench/audio/run-profile.sh [minutes]   (default 60; the MP3 of run-bench.sh)
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
minutes=${1:-60}
export BUILD_DIR="$root/build/win"
cmake --build "$BUILD_DIR" --target audio_mpeg_profile >/dev/null
src="$root/build/bench-audio/hour-$minutes.mp3"
[ -f "$src" ] || { echo "no $src: run bench/audio/run-bench.sh $minutes first" >&2; exit 1; }
echo "load: $(uptime)"
runs=""
for round in 1 2 3; do
  runs+="$("$root/scripts/wine-exec.sh" "$BUILD_DIR/bin/audio_mpeg_profile.exe" "Z:$src" </dev/null)"$'\n'
  runs+="$( { /usr/bin/time -f "debian %e s wall %U %S" mpg123 -q -s "$src" >/dev/null; } 2>&1)"$'\n'
done
# Rows: "<what> <wall> s wall <cpu> s cpu ..." and "debian <wall> s wall <user> <sys>".
awk '
  $1 == "synth:" { synth = $2; next }
  $1 == "debian" { $5 = $5 + $6; $6 = "" }
  $3 == "s" && $4 == "wall" {
    what = $1; wall = $2; cpu = $5
    if (!(what in first)) { order[++n] = what; first[what] = wall " " cpu }
    if (!(what in best) || wall < bestwall[what]) { best[what] = wall " " cpu; bestwall[what] = wall }
  }
  END {
    printf "%-9s %18s %18s\n", "", "best: wall cpu", "first: wall cpu"
    for (i = 1; i <= n; ++i) printf "%-9s %18s %18s\n", order[i], best[order[i]], first[order[i]]
    split(best["layer"], l, " "); split(best["bare"], b, " "); split(best["debian"], d, " ")
    printf "layer/bare %.2fx wall, %.2fx cpu; layer/debian %.2fx wall, %.2fx cpu; synth %s\n",
           l[1] / b[1], l[2] / b[2], l[1] / d[1], l[2] / d[2], synth
  }' <<<"$runs"
echo "load: $(uptime)"
