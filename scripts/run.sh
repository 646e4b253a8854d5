#!/usr/bin/env bash
# Starts zul.exe under Wine in the foreground: make run [ARGS="..."]
# The 32-bit build where this host runs 32-bit code, the 64-bit build where it
# runs 64-bit code only (ZUL_ARCH=win32|win64 chooses). A second
# "make run ARGS=-x" ends it.
# Uses its own Wine prefix, so a test run never touches a running player.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/wine-arch.sh"
arch=${ZUL_ARCH:-$(zul_default_arch)}
zul_wine_arch "$arch"
if [ "$arch" = win32 ]; then
  echo "make run: the 32-bit build ($ZUL_WIN_BUILD/bin/zul.exe), for 32-bit plug-ins" >&2
elif zul_can_run_win32; then
  echo "make run: the 64-bit build ($ZUL_WIN_BUILD/bin/zul.exe), for 64-bit plug-ins" >&2
else
  echo "make run: the 64-bit build ($ZUL_WIN_BUILD/bin/zul.exe): this host runs 64-bit code only" >&2
fi
export WINEPREFIX=$root/build/wineprefix-run-$arch
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
  "$ZUL_WINE" wineboot -i >/dev/null 2>&1 </dev/null
  "$WINESERVER" -w
  touch "$WINEPREFIX/.zul-ready"
fi
# A file or folder given by its Linux path is handed over by its Wine path.
args=()
for a in "$@"; do
  if [ -e "$a" ]; then args+=("$("$ZUL_WINE" winepath -w "$(realpath "$a")" 2>/dev/null)"); else args+=("$a"); fi
done
exec "$ZUL_WINE" "$ZUL_WIN_BUILD/bin/zul.exe" "${args[@]}"
