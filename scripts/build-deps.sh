#!/usr/bin/env bash
# Fetches the C dependencies from Debian's source packages and builds them as
# static libraries for each Windows architecture, build/deps/i686 and
# build/deps/x86_64, and, where the native tests need them, for the host
# (build/deps/native). Each library is built once per version and target: a
# stamp file in the target's folder marks a finished build.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
deps=$root/build/deps
src=$deps/src
native=$deps/native
mkdir -p "$src" "$native/lib" "$native/include"

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

fetch_source mpg123
fetch_source zlib
fetch_source kissfft
mpg=$(unpack mpg123)
zl=$(unpack zlib)
kf=$(unpack kissfft)

# KissFFT, double precision: cc ar out-folder build-folder-tag
build_kissfft() {
  local cc=$1 ar=$2 out=$3 tag=$4
  local stamp=$out/.stamp-kissfft-$(basename "$kf")
  [ -f "$stamp" ] && return 0
  local obj=$kf/build-$tag; rm -rf "$obj"; mkdir -p "$obj" "$out/lib" "$out/include/kissfft"
  for f in kiss_fft kiss_fftr; do
    $cc -O2 -fPIC -Dkiss_fft_scalar=double -c "$kf/$f.c" -o "$obj/$f.o" -I"$kf"
  done
  rm -f "$out/lib/libkissfft-double.a"
  $ar rcs "$out/lib/libkissfft-double.a" "$obj"/*.o
  cp "$kf"/kiss_fft.h "$kf"/kiss_fftr.h "$kf"/_kiss_fft_guts.h "$out/include/kissfft/" 2>/dev/null \
    || cp "$kf"/kiss_fft*.h "$out/include/kissfft/"
  touch "$stamp"
}

# Everything zul.exe links, for one Windows architecture: arch mpg123-cpu
build_windows_deps() {
  local arch=$1 cpu=$2
  local cross=$arch-w64-mingw32 out=$deps/$arch
  mkdir -p "$out/lib" "$out/include"

  # libmpg123 (the native build uses Debian's libmpg123-dev). Only the
  # library is built and installed: the package's default target also builds
  # libout123, libsyn123 and the mpg123 programs, which zul.exe does not use
  # and which took two thirds of the time. No audio modules, no network
  # code, and no dependency tracking in a build that runs once.
  local stamp=$out/.stamp-$(basename "$mpg")
  if [ ! -f "$stamp" ]; then
    local b=$mpg-build-$arch
    rm -rf "$b" && mkdir -p "$b"
    (cd "$b" && "$mpg/configure" --host=$cross --prefix="$out" \
       --disable-shared --enable-static --disable-dependency-tracking \
       --enable-modules=no --with-audio=dummy --enable-network=no \
       --with-cpu=$cpu >/dev/null && make -j"$(nproc)" src/libmpg123/libmpg123.la >/dev/null)
    install -m 644 "$b/src/libmpg123/.libs/libmpg123.a" "$out/lib/"
    install -m 644 "$b/src/libmpg123/mpg123.h" "$mpg/src/libmpg123/fmt123.h" "$out/include/"
    touch "$stamp"
  fi

  # minizip from zlib's contrib, against libz-mingw-w64-dev
  stamp=$out/.stamp-minizip-$(basename "$zl")
  if [ ! -f "$stamp" ]; then
    local mz=$zl/contrib/minizip obj=$zl/minizip-build-$arch
    rm -rf "$obj"; mkdir -p "$obj"
    for f in unzip ioapi iowin32; do
      $cross-gcc -O2 -c "$mz/$f.c" -o "$obj/$f.o" -I/usr/$cross/include -DNOCRYPT -DNOUNCRYPT
    done
    $cross-ar rcs "$out/lib/libminizip.a" "$obj"/*.o
    mkdir -p "$out/include/minizip"
    cp "$mz"/unzip.h "$mz"/ioapi.h "$mz"/iowin32.h "$out/include/minizip/"
    touch "$stamp"
  fi

  build_kissfft $cross-gcc $cross-ar "$out" "$arch"
}

# The two architectures build side by side: most of a libmpg123 build is its
# configure script, which runs on one core.
build_windows_deps i686 x86 & i686_job=$!
build_windows_deps x86_64 x86-64 & x86_64_job=$!
build_kissfft gcc ar "$native" native
wait $i686_job || { echo "building the i686 dependencies failed" >&2; exit 1; }
wait $x86_64_job || { echo "building the x86_64 dependencies failed" >&2; exit 1; }
echo "dependencies ready in $deps"
