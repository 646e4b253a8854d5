#!/usr/bin/env bash
# Fixtures of the module's Wine test, made at build time on the host:
#   cbr_notoc.mp3  3 s, 128 kbit/s, no Xing/Info frame (no table of contents)
#   vbr.mp3        3 s, lame -V 2, with LAME header and ID3v2 tags
#   noframe.mp3    text only: no MPEG frame
set -euo pipefail
out=$1
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
sox -R -r 44100 -c 2 -n -b 16 "$tmp/in.wav" synth 3 sine 200-5000 synth 3 whitenoise mix vol 0.5
lame --quiet -t -b 128 "$tmp/in.wav" "$out/cbr_notoc.mp3"
lame --quiet -V 2 --add-id3v2 --tt "Title" --ta "Artist" --tl "Album" "$tmp/in.wav" "$out/vbr.mp3"
printf 'This file holds no MPEG audio frame at all.\n%.0s' $(seq 1 200) > "$out/noframe.mp3"
