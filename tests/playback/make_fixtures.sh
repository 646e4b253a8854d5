#!/usr/bin/env bash
# Two album folders of short MP3 tracks for the playback tests, made at
# build time on the host (sox, lame): albums/album_a holds three tracks,
# albums/album_b two. Each track is one second of its own tone, so a recording tells the
# tracks apart.
set -euo pipefail
out=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
make_track() {  # folder name frequency
  mkdir -p "$out/albums/$1"
  sox -R -r 44100 -c 2 -n -b 16 "$tmp/t.wav" synth 1 sine "$3" vol 0.5
  lame --quiet -b 128 --tt "$2" --ta "Tester" --tl "$1" "$tmp/t.wav" "$out/albums/$1/$2.mp3"
}
make_track album_a a1 440
make_track album_a a2 550
make_track album_a a3 660
make_track album_b b1 770
make_track album_b b2 880
# Two longer tracks for the commands that act while a track plays (next,
# previous, seek).
mkdir -p "$out/long"
for spec in "l1 500" "l2 1000"; do
  set -- $spec
  sox -R -r 44100 -c 2 -n -b 16 "$tmp/t.wav" synth 12 sine "$2" vol 0.5
  lame --quiet -b 128 --tt "$1" "$tmp/t.wav" "$out/long/$1.mp3"
done
# One track for a seek from its first part into its second: ten 300 ms
# tones of 400, 450, ... 850 Hz (a ruler: which of them sound, and how long,
# tells which stretch of the first part was heard), then 9 s of 1200 Hz.
mkdir -p "$out/seek"
parts=()
for i in 0 1 2 3 4 5 6 7 8 9; do
  sox -R -r 44100 -c 2 -n -b 16 "$tmp/r$i.wav" synth 0.3 sine $((400 + 50 * i)) vol 0.5
  parts+=("$tmp/r$i.wav")
done
sox -R -r 44100 -c 2 -n -b 16 "$tmp/b.wav" synth 9 sine 1200 vol 0.5
sox "${parts[@]}" "$tmp/b.wav" "$tmp/t.wav"
lame --quiet -b 128 --tt ab "$tmp/t.wav" "$out/seek/ab.mp3"
# What a decoder makes of b1.mp3, for the level the recording must have
# (the encoder moves a sine's level by a fraction of a decibel).
mkdir -p "$out/reference"
lame --quiet --decode "$out/albums/album_b/b1.mp3" "$out/reference/b1.wav"
