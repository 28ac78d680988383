#!/usr/bin/env bash
# Makes the audio layer's encoded fixtures with Debian's encoders, and the
# reference decodes of them with Debian's own decoders:
#   make-fixtures.sh <folder>
set -euo pipefail
out=$1
mkdir -p "$out"
cd "$out"
# One 30-byte ID3v1 field, zero padded.
field() { printf '%s' "$1"; head -c $((30 - ${#1})) /dev/zero; }
id3v1() {  # id3v1 <title>: the 128-byte tag
  printf 'TAG'; field "$1"; field "Tavell Tests"; field "Fixtures"; printf '2026'; field ""; printf '\x0c'
}

sox -q -n -r 44100 -c 2 -b 16 src_44k_stereo.wav synth 1.0 sine 440 sine 660
sox -q -n -r 22050 -c 1 -b 16 src_22k_mono.wav synth 1.0 sine 330
lame --quiet -b 128 --id3v1-only --tt "Tagged Title" src_44k_stereo.wav tagged.mp3
lame --quiet -m m -b 64 src_22k_mono.wav plain.mp3
lame --quiet -b 96 --id3v2-only --tt "Only In Version Two" src_44k_stereo.wav id3v2.mp3
twolame --quiet -b 192 src_44k_stereo.wav plain.mp2
cp plain.mp2 tagged.mp2
id3v1 "Second Title" >> tagged.mp2
oggenc --quiet -q 2 -o mono.ogg src_22k_mono.wav
oggenc --quiet -q 4 -o stereo.ogg src_44k_stereo.wav
# Parts of another shape one after the other: MP3 files joined, Ogg links
# chained.
lame --quiet -b 128 -t src_44k_stereo.wav part44.mp3
lame --quiet -m m -b 64 -t src_22k_mono.wav part22.mp3
cat part44.mp3 part22.mp3 > joined.mp3
cat stereo.ogg mono.ogg > chained.ogg
rm -f part44.mp3 part22.mp3
# Ten minutes of Ogg: a decode that lasts long enough to be stopped.
sox -q -n -r 44100 -c 2 -b 16 src_long.wav synth 600 sine 220-880 sine 330
oggenc --quiet -q 0 -o long.ogg src_long.wav
# What Debian's decoders make of them.
for f in tagged.mp3 plain.mp3 id3v2.mp3 plain.mp2 tagged.mp2; do mpg123 -q -w "$f.ref.wav" "$f"; done
for f in mono.ogg stereo.ogg; do oggdec --quiet -o "$f.ref.wav" "$f"; done
rm -f src_*.wav
touch .made
