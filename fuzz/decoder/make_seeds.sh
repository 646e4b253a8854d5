#!/usr/bin/env bash
# Writes the seed inputs of fuzz_decoder into the folder given (default:
# seeds/ beside this script): a few frames of each MPEG version and layer
# lame and ffmpeg write, CBR and VBR (with its Xing/LAME frame), mono and
# stereo, cut to at most 2000 bytes so that the fuzzer works on headers and
# side information rather than on long runs of audio.
set -euo pipefail
out=${1:-$(dirname "$0")/seeds}
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for spec in "44100 2 -V2 l3_v1_vbr" "32000 1 -b48 l3_v1_mono" "22050 2 -V6 l3_v2_vbr" "11025 1 -b16 l3_v25_mono"; do
  set -- $spec
  sox -R -r "$1" -c "$2" -n -b 16 "$tmp/in.wav" synth 0.3 sine 440 vol 0.5
  lame --quiet "$3" "$tmp/in.wav" "$tmp/out.mp3"
  head -c 2000 "$tmp/out.mp3" >"$out/$4.mp3"
done
sox -R -r 48000 -c 2 -n -b 16 "$tmp/in.wav" synth 0.2 sine 440 vol 0.5
ffmpeg -v quiet -y -i "$tmp/in.wav" -c:a mp2 -b:a 128k -f mp2 "$tmp/out.mp2"
head -c 2000 "$tmp/out.mp2" >"$out/l2_v1.mp2"
