#!/usr/bin/env bash
# Cold start of the installed zul.exe against the build tree's, side by side:
# the installer of this build (scripts/dist.sh) runs silently into a fresh
# prefix, then a probe starts both programs in turn. Also prints the sizes
# of the downloads. Run inside scripts/test-env.sh (make bench does).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
arch=$(basename "$ZUL_WIN_BUILD")
version=$(head -n1 "$root/VERSION")
work=$(mktemp -d /tmp/zul-installed-startup.XXXXXX)
trap 'WINEPREFIX=$work/prefix "$WINESERVER" -k 2>/dev/null; rm -rf "$work"' EXIT
"$root/scripts/dist.sh" -o "$work/dist" "$arch" >"$work/dist.log"
setup=$work/dist/zul-$version-$arch-setup.exe
echo "installer $(stat -c %s "$setup") bytes (target: at most 3145728)," \
  "stripped zul.exe $(stat -c %s "$work/dist/stage-$arch/zul.exe") bytes ($arch)"
export WINEPREFIX=$work/prefix
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}winemenubuilder.exe=d"
"$ZUL_WINE" wineboot -i >/dev/null 2>&1 </dev/null
"$ZUL_WINE" "$setup" /S </dev/null
"$WINESERVER" -w
# The build tree's program, in a folder of its own so that its settings
# file does not land in the build tree.
mkdir -p "$work/tree"
cp "$ZUL_WIN_BUILD/bin/zul.exe" "$work/tree/"
"$ZUL_WINE" "$ZUL_WIN_BUILD/bin/startup_compare_probe.exe" 'C:\Program Files\ZUL\zul.exe' \
  "Z:$(tr / '\\' <<<"$work/tree/zul.exe")"
