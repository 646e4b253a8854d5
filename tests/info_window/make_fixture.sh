#!/usr/bin/env bash
# One second of a 440 Hz tone as an MP3 without any tag, for the MP3
# information window's tests (which add the tags they need around it).
set -euo pipefail
out=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$(dirname "$out")"
sox -R -r 44100 -c 2 -n -b 16 "$tmp/t.wav" synth 1 sine 440 vol 0.5
lame --quiet -b 128 "$tmp/t.wav" "$out"
