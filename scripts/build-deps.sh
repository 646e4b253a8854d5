#!/usr/bin/env bash
# Fetches the C dependencies from Debian's source packages and builds them
# as static libraries, for i686-w64-mingw32 (build/deps/i686) and, where the
# native tests need them, for the host (build/deps/native). Each library is
# built once per version: a stamp file marks a finished build.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
deps=$root/build/deps
src=$deps/src
i686=$deps/i686
native=$deps/native
cross=i686-w64-mingw32
mkdir -p "$src" "$i686/lib" "$i686/include" "$native/lib" "$native/include"

# apt-get source of the candidate version; when the mirror lacks that one
# (security updates are not always mirrored), try the other versions listed.
fetch_source() {
  local pkg=$1; local dir=$src/download/$pkg
  mkdir -p "$dir"
  if ls "$dir"/*.orig.tar.* >/dev/null 2>&1; then return 0; fi
  (cd "$dir" && apt-get source --download-only "$pkg" >/dev/null 2>&1) || true
  if ! ls "$dir"/*.orig.tar.* >/dev/null 2>&1; then
    for v in $(apt-cache showsrc "$pkg" | awk '/^Version:/ {print $2}' | sort -u); do
      (cd "$dir" && apt-get source --download-only "$pkg=$v" >/dev/null 2>&1) || true
      ls "$dir"/*.orig.tar.* >/dev/null 2>&1 && break
    done
  fi
  # A missing .asc signature is not fatal; a missing orig tarball is.
  ls "$dir"/*.orig.tar.* >/dev/null 2>&1 || { echo "cannot fetch the source of $pkg" >&2; exit 1; }
}

unpack() { # pkg -> prints the unpacked folder
  local pkg=$1 tarball
  tarball=$(ls "$src/download/$pkg"/*.orig.tar.* | grep -v '\.asc$' | head -n1)
  local name; name=$(basename "$tarball"); name=${name%.orig.tar.*}
  local out=$src/$name
  if [ ! -d "$out" ]; then
    mkdir -p "$out.tmp" && tar -xf "$tarball" -C "$out.tmp" --strip-components=1 && mv "$out.tmp" "$out"
  fi
  echo "$out"
}

# --- libmpg123 (i686; the native build uses Debian's libmpg123-dev) ---------
fetch_source mpg123
mpg=$(unpack mpg123)
stamp=$i686/.stamp-$(basename "$mpg")
if [ ! -f "$stamp" ]; then
  rm -rf "$mpg-build-i686" && mkdir -p "$mpg-build-i686"
  (cd "$mpg-build-i686" && "$mpg/configure" --host=$cross --prefix="$i686" \
     --disable-shared --enable-static --disable-components --enable-libmpg123 \
     --with-cpu=x86 >/dev/null && make -j"$(nproc)" >/dev/null && make install >/dev/null)
  touch "$stamp"
fi

# --- minizip from zlib's contrib (i686, against libz-mingw-w64-dev) ---------
fetch_source zlib
zl=$(unpack zlib)
stamp=$i686/.stamp-minizip-$(basename "$zl")
if [ ! -f "$stamp" ]; then
  mz=$zl/contrib/minizip
  obj=$zl/minizip-build-i686; rm -rf "$obj"; mkdir -p "$obj"
  for f in unzip ioapi iowin32; do
    $cross-gcc -O2 -c "$mz/$f.c" -o "$obj/$f.o" -I/usr/$cross/include -DNOCRYPT -DNOUNCRYPT
  done
  $cross-ar rcs "$i686/lib/libminizip.a" "$obj"/*.o
  mkdir -p "$i686/include/minizip"
  cp "$mz"/unzip.h "$mz"/ioapi.h "$mz"/iowin32.h "$i686/include/minizip/"
  touch "$stamp"
fi

# --- KissFFT, double precision, for both targets ----------------------------
fetch_source kissfft
kf=$(unpack kissfft)
stamp=$deps/.stamp-kissfft-$(basename "$kf")
if [ ! -f "$stamp" ]; then
  for target in i686 native; do
    if [ $target = i686 ]; then cc=$cross-gcc; ar=$cross-ar; out=$i686; else cc=gcc; ar=ar; out=$native; fi
    obj=$kf/build-$target; rm -rf "$obj"; mkdir -p "$obj"
    for f in kiss_fft kiss_fftr; do
      $cc -O2 -fPIC -Dkiss_fft_scalar=double -c "$kf/$f.c" -o "$obj/$f.o" -I"$kf"
    done
    rm -f "$out/lib/libkissfft-double.a"
    $ar rcs "$out/lib/libkissfft-double.a" "$obj"/*.o
    mkdir -p "$out/include/kissfft"
    cp "$kf"/kiss_fft.h "$kf"/kiss_fftr.h "$kf"/_kiss_fft_guts.h "$out/include/kissfft/" 2>/dev/null || cp "$kf"/kiss_fft*.h "$out/include/kissfft/"
  done
  touch "$stamp"
fi
echo "dependencies ready in $deps"
