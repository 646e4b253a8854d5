#!/usr/bin/env bash
# Writes the seed inputs of fuzz_stream into the folder given (default: seeds/
# beside this script): short lame files of each MPEG version, CBR and VBR,
# trimmed to a few frames so that the fuzzer mutates headers, not audio.
set -euo pipefail
out=${1:-$(dirname "$0")/seeds}
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for spec in "44100 2 -V2 v1" "48000 1 -b64 c1" "22050 2 -V5 v2" "8000 1 -b16 c25"; do
  set -- $spec
  sox -R -r "$1" -c "$2" -n -b 16 "$tmp/in.wav" synth 0.2 sine 440 vol 0.5
  lame --quiet "$3" --add-id3v2 --tt t "$tmp/in.wav" "$tmp/out.mp3"
  head -c 3000 "$tmp/out.mp3" >"$out/$4.mp3"
done
