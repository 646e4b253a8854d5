#!/usr/bin/env bash
# What zul.exe costs while it plays, pauses and waits (bench/wine_pieces):
# real-time playback and a full-speed decode against plain programs, and
# the paused and stopped states against an idle budget.
# Run inside scripts/test-env.sh (make bench does).
set -uo pipefail
media=$ZUL_WIN_BUILD/bin/bench_media
if [ ! -s "$media/long30.mp3" ]; then
  mkdir -p "$media"
  tmp=$(mktemp -d)
  # Music-like content: a sweep under pink noise, as the native decode bench.
  sox -R -r 44100 -c 2 -n -b 16 "$tmp/t.wav" synth 1800 sine 100-8000 synth 1800 pinknoise mix vol 0.45 2>/dev/null &&
    lame --quiet -b 160 "$tmp/t.wav" "$media/long30.mp3.part" && mv "$media/long30.mp3.part" "$media/long30.mp3"
  rm -rf "$tmp"
  [ -s "$media/long30.mp3" ] || { echo "cannot make the 30-minute file (sox, lame)"; exit 1; }
fi
# The wineserver of this prefix works in a server folder named after the
# prefix's device and inode (under /tmp/.wine-<uid> or /tmp/wine-*).
server=server-$(stat -c %D "$WINEPREFIX" | sed 's/^0*//')-$(printf %x "$(stat -c %i "$WINEPREFIX")")
ZUL_BENCH_WINESERVER_PID=
for p in /proc/[0-9]*; do
  case $(readlink "$p/cwd" 2>/dev/null) in */"$server") ;; *) continue ;; esac
  case $(cat "$p/comm" 2>/dev/null) in wineserver*) ZUL_BENCH_WINESERVER_PID=${p#/proc/} ;; esac
done
[ -n "$ZUL_BENCH_WINESERVER_PID" ] || { echo "no wineserver works in $server"; exit 1; }
export ZUL_BENCH_WINESERVER_PID
status=0
for mode in realtime fullspeed paused stopped; do
  "$ZUL_WINE" "$ZUL_WIN_BUILD/bin/efficiency_probe.exe" $mode || status=1
done
exit $status
