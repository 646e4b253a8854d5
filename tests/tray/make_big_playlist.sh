#!/usr/bin/env bash
# 10000 tracks for the track-tree tests: 100 album folders of 100 files
# under 7 artist folders. The first track is a real 12-second MP3 (the
# tests play it on repeat); the others are 1-byte stand-ins, since a
# playlist keeps only files that exist and are not empty.
set -euo pipefail
out=$1
real=$2
rm -rf "$out"
for album in $(seq 0 99); do
  dir="$out/Artist$((album % 7))/Album$album"
  mkdir -p "$dir"
  for t in $(seq 0 99); do printf 'x' > "$dir/t$t.mp3"; done
done
cp "$real" "$out/Artist0/Album0/t0.mp3"
