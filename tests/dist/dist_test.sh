#!/usr/bin/env bash
# What a Windows user downloads, built and used as the user would: the dist
# script makes the archive and the installer of this build; then, in a fresh
# Wine prefix of this test's own,
#   - the resources read back from zul.exe: one manifest, the version resource;
#   - the installer runs silently into Program Files; the installed zul.exe
#     plays a file (heard on the null sink) and "zul.exe -x" ends it;
#   - a second silent install keeps a changed zul.ini byte for byte;
#   - the silent uninstaller leaves only the user's zul.ini (and playlist)
#     behind, no registry key and no Start-menu entry;
#   - the portable archive, unpacked into a folder with a space and a
#     character above U+00FF in its path, plays a file and keeps its
#     settings beside zul.exe.
# Run inside scripts/test-env.sh (ZUL_WINE, WINESERVER, ZUL_WIN_BUILD, the
# PulseAudio sink); CTest runs it from the cross build.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
arch=$(basename "$ZUL_WIN_BUILD")
version=$(head -n1 "$root/VERSION")
sink=${ZUL_PULSE_SINK:-zul_sink}
work=$(mktemp -d /tmp/zul-dist-test.XXXXXX)
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

recorder=
cleanup() {
  [ -n "$recorder" ] && kill "$recorder" 2>/dev/null
  WINEPREFIX=$work/prefix "$WINESERVER" -k 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# --- the artefacts ---------------------------------------------------------
if ! "$root/scripts/dist.sh" -o "$work/dist" "$arch"; then
  echo "FAILED: scripts/dist.sh $arch"
  exit 1
fi
zip=$work/dist/zul-$version-$arch.zip
setup=$work/dist/zul-$version-$arch-setup.exe
source=$work/dist/zul-$version-source.tar.gz
for f in "$zip" "$setup" "$source"; do
  if [ -f "$f" ] && (cd "$work/dist" && sha256sum --quiet -c "$(basename "$f").sha256"); then
    pass "$(basename "$f") and its SHA-256 file"
  else
    fail "$(basename "$f") missing or its SHA-256 file does not match"
  fi
done
echo "installer $(stat -c %s "$setup") bytes (at most 3 MB wanted)"

expected=(zul.exe README.txt licenses/libmpg123.txt licenses/zlib.txt licenses/minizip.txt licenses/kissfft.txt
  licenses/gcc-runtime.txt licenses/mingw-w64.txt)
listing=$(unzip -Z1 "$zip")
for f in "${expected[@]}"; do
  grep -qx "$f" <<<"$listing" || fail "the archive lacks $f"
done
# Read whole, not piped into grep -q: an early exit of grep would fail the
# pipe (pipefail) on a long file.
license_text() { unzip -p "$zip" "licenses/$1.txt"; }
grep -q "GNU LESSER GENERAL PUBLIC LICENSE" <<<"$(license_text libmpg123)" ||
  fail "licenses/libmpg123.txt is not the LGPL"
grep -q "GCC RUNTIME LIBRARY EXCEPTION" <<<"$(license_text gcc-runtime)" ||
  fail "licenses/gcc-runtime.txt lacks the runtime library exception"
grep -q "winpthreads" <<<"$(license_text mingw-w64)" || fail "licenses/mingw-w64.txt lacks winpthreads"
grep -q "BSD-3-Clause\|Redistribution and use" <<<"$(license_text kissfft)" || fail "licenses/kissfft.txt is not KissFFT's licence"
grep -q "Condition of use and distribution are the same than zlib" <<<"$(license_text minizip)" ||
  fail "licenses/minizip.txt is not minizip's licence"
readme=$(unzip -p "$zip" README.txt)
grep -q "zul-$version-source.tar.gz" <<<"$readme" && grep -q "make deps" <<<"$readme" ||
  fail "README.txt does not say where the source is and how to relink libmpg123"
# The source archive must rebuild offline: the library sources are in it
# where scripts/build-deps.sh looks first.
src_listing=$(tar -tzf "$source")
for f in VERSION Makefile scripts/build-deps.sh dist/zul.nsi; do
  grep -qx "zul-$version-source/$f" <<<"$src_listing" || fail "the source archive lacks $f"
done
grep -q "^zul-$version-source/build/deps/src/download/mpg123/mpg123_.*\.orig\.tar\." <<<"$src_listing" ||
  fail "the source archive lacks libmpg123's source"

# --- the resources of the shipped zul.exe ----------------------------------
unzip -q "$zip" zul.exe -d "$work/shipped"
for exe in "$ZUL_WIN_BUILD/bin/zul.exe" "$work/shipped/zul.exe"; do
  python3 "$root/tests/dist/check_resources.py" "$exe" "$root/VERSION" || fail "resources of $exe"
done

# --- a fresh prefix --------------------------------------------------------
export WINEPREFIX=$work/prefix
# No menu entries or file associations in the desktop this runs on.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}winemenubuilder.exe=d"
"$ZUL_WINE" wineboot -i >"$work/wineboot.log" 2>&1 </dev/null
"$ZUL_WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
"$WINESERVER" -w
progdir=$WINEPREFIX/drive_c/Program\ Files/ZUL
startmenu=$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/ZUL.lnk
uninstall_key='Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\ZUL'

sox -q -n -r 44100 -c 2 -b 16 "$work/tone.wav" synth 30 sine 440 vol 0.5
lame --quiet -b 128 "$work/tone.wav" "$work/tone.mp3"
tone_win=Z:$(tr / '\\' <<<"$work/tone.mp3")

# True once the recording holds a sample louder than a quiet noise floor.
heard() {
  python3 - "$1" <<'EOF'
import array, sys
data = array.array("h", open(sys.argv[1], "rb").read()[: (1 << 24) & ~1])
sys.exit(0 if any(abs(s) > 1000 for s in data) else 1)
EOF
}

# Starts zul.exe with the tone, waits until it is heard on the sink, ends it
# with "zul.exe -x" from a second start and waits for the first to end.
plays_and_quits() { # unix path of zul.exe, label
  local exe=$1 label=$2 raw=$work/$2.raw pid i
  parec --device="$sink.monitor" --format=s16le --rate=44100 --channels=2 --raw "$raw" &
  recorder=$!
  "$ZUL_WINE" "$exe" "$tone_win" >"$work/$label.log" 2>&1 </dev/null &
  pid=$!
  for i in $(seq 1 600); do
    heard "$raw" && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill "$recorder" 2>/dev/null
  wait "$recorder" 2>/dev/null
  recorder=
  if heard "$raw"; then pass "$label: zul.exe plays"; else fail "$label: nothing heard from zul.exe"; fi
  "$ZUL_WINE" "$exe" -x >/dev/null 2>&1 </dev/null
  for i in $(seq 1 300); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    fail "$label: zul.exe -x did not end the running zul.exe"
    kill "$pid" 2>/dev/null
  else
    pass "$label: zul.exe -x ended it"
  fi
  wait "$pid" 2>/dev/null
}

registry_has_zul() {
  grep -qi "^\[$uninstall_key\]" "$WINEPREFIX/system.reg" ||
    grep -qi '^\[Software\\\\ZUL\]' "$WINEPREFIX/system.reg" "$WINEPREFIX/user.reg" ||
    grep -qi '^\[Software\\\\Wow6432Node\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\ZUL\]' "$WINEPREFIX/system.reg"
}

# --- install, play, reinstall, uninstall -----------------------------------
"$ZUL_WINE" "$setup" /S >"$work/setup.log" 2>&1 </dev/null
"$WINESERVER" -w  # the registry is written out when the server ends
if [ -f "$progdir/zul.exe" ] && [ -f "$progdir/uninstall.exe" ] && [ -f "$startmenu" ] &&
  grep -qi "^\[$uninstall_key\]" "$WINEPREFIX/system.reg" &&
  grep -A12 -i "^\[$uninstall_key\]" "$WINEPREFIX/system.reg" | grep -q "\"DisplayVersion\"=\"$version\""; then
  pass "silent install: Program Files, Start menu, Add/Remove Programs entry of version $version"
else
  fail "silent install: zul.exe, uninstall.exe, the Start-menu entry or the uninstall key missing"
  ls -la "$progdir" 2>&1
fi
cmp -s "$progdir/zul.exe" "$work/shipped/zul.exe" || fail "the installed zul.exe is not the archive's"

plays_and_quits "$progdir/zul.exe" installed
"$WINESERVER" -w
[ -f "$progdir/zul.ini" ] || fail "the installed zul.exe wrote no zul.ini beside itself"
printf '[Test]\r\nchanged=by the user \xc3\xa9\r\n' >>"$progdir/zul.ini"
before=$(sha256sum <"$progdir/zul.ini")

"$ZUL_WINE" "$setup" /S >"$work/setup2.log" 2>&1 </dev/null
"$WINESERVER" -w
if [ "$(sha256sum <"$progdir/zul.ini")" = "$before" ]; then
  pass "a second install keeps the changed zul.ini byte for byte"
else
  fail "a second install changed zul.ini"
fi
[ -f "$progdir/zul.exe" ] || fail "the second install left no zul.exe"

"$ZUL_WINE" "$progdir/uninstall.exe" /S >"$work/uninstall.log" 2>&1 </dev/null
# The uninstaller runs on from a copy in the temporary folder: wait for the
# server to end, which is after every process of the prefix has ended.
"$WINESERVER" -w
left=$(cd "$progdir" 2>/dev/null && find . -mindepth 1 | sed 's,^\./,,' | sort)
unexpected=$(grep -vx -e zul.ini -e zul.m3u <<<"$left" | grep -v '^$')
if [ -z "$unexpected" ] && grep -qx zul.ini <<<"$left"; then
  pass "silent uninstall leaves only the user's data: $(tr '\n' ' ' <<<"$left")"
else
  fail "after the silent uninstall the folder holds: $(tr '\n' ' ' <<<"$left") (only zul.ini and zul.m3u may stay)"
fi
[ "$(sha256sum <"$progdir/zul.ini" 2>/dev/null)" = "$before" ] || fail "the uninstall changed zul.ini"
[ -e "$startmenu" ] && fail "the Start-menu entry is still there"
if registry_has_zul; then fail "a ZUL registry key is still there"; else pass "no ZUL registry key left"; fi

# --- the portable archive --------------------------------------------------
portable="$work/Portable ZUL Ω"
mkdir -p "$portable"
unzip -q "$zip" -d "$portable"
plays_and_quits "$portable/zul.exe" portable
"$WINESERVER" -w
[ -f "$portable/zul.ini" ] && pass "the portable zul.exe keeps its settings beside itself" ||
  fail "the portable zul.exe wrote no zul.ini beside itself"

if [ $failures -gt 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all dist checks passed"
