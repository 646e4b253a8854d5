#!/usr/bin/env bash
# Starts zul.exe under Wine in the foreground: make run [ARGS="..."]
# A second "make run ARGS=-x" (or wine build/win32/bin/zul.exe -x) ends it.
# Uses its own Wine prefix, so a test run never touches a running player.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=$root/build/wineprefix-run
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ -z "${DISPLAY:-}" ]; then
  # No screen: a virtual one, left running for the next "make run".
  export DISPLAY=:99
  if [ ! -e /tmp/.X11-unix/X99 ]; then
    nohup Xvfb :99 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    for _ in $(seq 1 100); do [ -e /tmp/.X11-unix/X99 ] && break; sleep 0.05; done
  fi
fi
if [ ! -f "$WINEPREFIX/.zul-ready" ]; then
  wineboot -i >/dev/null 2>&1 </dev/null
  wineserver -w
  touch "$WINEPREFIX/.zul-ready"
fi
# A file or folder given by its Linux path is handed over by its Wine path.
args=()
for a in "$@"; do
  if [ -e "$a" ]; then args+=("$(winepath -w "$(realpath "$a")" 2>/dev/null)"); else args+=("$a"); fi
done
exec wine "$root/build/win32/bin/zul.exe" "${args[@]}"
