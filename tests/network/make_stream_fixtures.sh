#!/usr/bin/env bash
# Fixtures of the streaming tests, made at build time on the host:
#   stream.mp3  6 s, 128 kbit/s CBR, no Xing/Info frame: what a station
#               sends, every byte an audio frame
#   tls.pem     a self-signed certificate and its key for the TLS server
set -euo pipefail
out=$1
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
sox -R -r 44100 -c 2 -n -b 16 "$tmp/in.wav" synth 6 sine 300-3000 synth 6 pinknoise mix vol 0.5
lame --quiet -t -b 128 "$tmp/in.wav" "$out/stream.mp3"
openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -subj "/CN=127.0.0.1" \
  -keyout "$tmp/key.pem" -out "$tmp/cert.pem" 2>/dev/null
cat "$tmp/cert.pem" "$tmp/key.pem" > "$out/tls.pem"
