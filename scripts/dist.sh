#!/usr/bin/env bash
# What a Windows user downloads, for each Windows build that is given (both
# by default), into the output folder (build/dist by default):
#   zul-<version>-<arch>.zip        portable: zul.exe (stripped), README.txt,
#                                   licenses/, language files
#   zul-<version>-<arch>-setup.exe  NSIS installer (dist/zul.nsi)
#   zul-<version>-source.tar.gz     the complete source, with the Debian
#                                   sources of the libraries linked in (the
#                                   LGPL offer for libmpg123)
#   <each of them>.sha256           its SHA-256, in sha256sum's format
# The version is the one in VERSION. The builds must exist (make dist builds
# them first).
#   scripts/dist.sh [-o out folder] [win32|win64 ...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/build/dist
while getopts o: opt; do
  case $opt in
    o) out=$OPTARG ;;
    *) exit 2 ;;
  esac
done
shift $((OPTIND - 1))
arches=("$@")
[ ${#arches[@]} -gt 0 ] || arches=(win32 win64)

version=$(head -n1 "$root/VERSION")
[[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+$ ]] || { echo "VERSION holds '$version', not a.b.c.d" >&2; exit 1; }
src=$root/build/deps/src
mkdir -p "$out"
out=$(cd "$out" && pwd)

checksum() { # file in $out
  (cd "$out" && sha256sum "$1" >"$1.sha256")
}

# Windows users open README.txt in Notepad: CRLF line ends.
crlf() { sed 's/\r*$/\r/'; }

licenses() { # folder
  local dir=$1 mpg zl kf
  mpg=$(ls -d "$src"/mpg123_*/ | grep -v -- -build- | head -n1)
  zl=$(ls -d "$src"/zlib_*/ | head -n1)
  kf=$(ls -d "$src"/kissfft_*/ | head -n1)
  mkdir -p "$dir"
  crlf <"$mpg/COPYING" >"$dir/libmpg123.txt"
  crlf <"$zl/LICENSE" >"$dir/zlib.txt"
  # minizip states its licence in its headers only: the first comment block.
  sed -n '1,/\*\//p' "$zl/contrib/minizip/unzip.h" | crlf >"$dir/minizip.txt"
  cat "$kf/COPYING" "$kf/LICENSES/BSD-3-Clause" | crlf >"$dir/kissfft.txt"
  # Linked statically: libgcc, libstdc++ (GPL 3 with the GCC Runtime Library
  # Exception) and the mingw-w64 CRT and winpthreads.
  crlf </usr/share/doc/gcc-mingw-w64-base/copyright >"$dir/gcc-runtime.txt"
  crlf </usr/share/doc/mingw-w64-common/copyright >"$dir/mingw-w64.txt"
}

# The source archive: the tracked and new files of the tree, plus the Debian
# source packages of the libraries, where scripts/build-deps.sh looks first
# (so "make deps" works from the archive without a network).
source_archive() {
  local name=zul-$version-source list
  list=$(mktemp)
  if git -C "$root" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git -C "$root" ls-files -co --exclude-standard -z | while IFS= read -r -d '' f; do
      [ -e "$root/$f" ] && printf '%s\0' "$f"
    done >"$list"
  else
    (cd "$root" && find . -path ./build -prune -o -type f -print0) >"$list"
  fi
  (cd "$root" && find build/deps/src/download -maxdepth 2 -type f -print0) >>"$list"
  tar -C "$root" --null -T "$list" --transform "s,^\(\./\)\?,$name/," --owner=0 --group=0 -czf "$out/$name.tar.gz"
  rm -f "$list"
  checksum "$name.tar.gz"
}

for arch in "${arches[@]}"; do
  case $arch in
    win32) triple=i686-w64-mingw32 depdir=i686 note="This is the 32-bit build, the one for Winamp plug-ins: they are 32-bit DLLs." ;;
    win64) triple=x86_64-w64-mingw32 depdir=x86_64 note="This is the 64-bit build: it loads only 64-bit builds of Winamp plug-ins. Existing plug-ins are 32-bit: for them use the 32-bit ZUL." ;;
    *) echo "unknown build '$arch' (win32 or win64)" >&2; exit 2 ;;
  esac
  exe=$root/build/$arch/bin/zul.exe
  [ -f "$exe" ] || { echo "$exe is missing: build it first (make $arch)" >&2; exit 1; }
  stage=$out/stage-$arch
  rm -rf "$stage"
  mkdir -p "$stage"
  "$triple-strip" -o "$stage/zul.exe" "$exe"
  sed -e "s/@VERSION@/$version/g" -e "s/@ARCH@/$arch/g" -e "s/@ARCH_NOTE@/$note/" \
    -e "s/@BUILD@/$arch/g" -e "s/@TRIPLE_DIR@/$depdir/g" "$root/dist/README.txt" | crlf >"$stage/README.txt"
  licenses "$stage/licenses"
  # Language files (zul_<Language>.ini) beside zul.exe; the installer keeps
  # one the user already has.
  install_list=$out/languages-$arch.nsh uninstall_list=$out/languages-uninstall-$arch.nsh
  echo "; language files" >"$install_list"
  echo "; language files" >"$uninstall_list"
  shopt -s nullglob
  for f in "$root"/resources/lang/zul_*.ini; do
    cp "$f" "$stage/"
    echo "File \"$stage/$(basename "$f")\"" >>"$install_list"
    echo "Delete \"\$INSTDIR\\$(basename "$f")\"" >>"$uninstall_list"
  done
  shopt -u nullglob

  zip_name=zul-$version-$arch.zip
  rm -f "$out/$zip_name"
  (cd "$stage" && zip -q -X -r "$out/$zip_name" .)
  checksum "$zip_name"

  setup_name=zul-$version-$arch-setup.exe
  size_kb=$(du -sk "$stage" | cut -f1)
  makensis -V2 -DVERSION="$version" -DARCH="$arch" -DSTAGE="$stage" -DOUTFILE="$out/$setup_name" \
    -DLANGUAGES="$install_list" -DUNINSTALL_LANGUAGES="$uninstall_list" -DSIZE_KB="$size_kb" "$root/dist/zul.nsi"
  checksum "$setup_name"
  echo "$arch: $zip_name ($(stat -c %s "$out/$zip_name") bytes), $setup_name ($(stat -c %s "$out/$setup_name") bytes), zul.exe stripped $(stat -c %s "$stage/zul.exe") bytes"
done
source_archive
echo "artefacts in $out"
