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
# What a decoder makes of b1.mp3, for the level the recording must have
# (the encoder moves a sine's level by a fraction of a decibel).
mkdir -p "$out/reference"
lame --quiet --decode "$out/albums/album_b/b1.mp3" "$out/reference/b1.wav"
