#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
# Idempotent: a machine that already has everything runs no apt at all.
set -euo pipefail

packages=(
  # cross compilers and resources: i686 (the build users install) and x86_64
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  # zlib for zul.exe, found by find_package(ZLIB) in the toolchain's root
  libz-mingw-w64-dev
  # native build, tests, sanitizers, fuzzing, benchmarks; googletest holds the
  # GoogleTest sources every configuration builds (cmake/FindGoogleTestSource.cmake)
  build-essential cmake ninja-build clang clang-format libclang-rt-14-dev googletest valgrind
  # fetching and building the C dependencies from Debian sources
  dpkg-dev autoconf automake libtool pkg-config
  # running and testing under Wine: wine32 where the host runs 32-bit code,
  # wine64 everywhere
  wine wine32:i386 wine64 xvfb xauth pulseaudio pulseaudio-utils procps
  # window tests: real clicks and keys, window state, screenshots
  xdotool x11-utils x11-apps imagemagick
  # loopback servers of the network tests (FTP)
  python3-pyftpdlib
  # the Windows installer (make dist)
  nsis zip unzip
  # the layer check and the resource check of the packaged program
  python3
  # audio fixtures
  lame sox ffmpeg id3v2
  # native counterparts of the cross-built libraries
  libmpg123-dev zlib1g-dev
  # the TagLib comparison benchmark
  libtag1-dev
)

need_update=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  need_update=1
fi

# apt-get source needs a deb-src entry.
if ! grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed -i 's/^Types: deb$/Types: deb deb-src/' /etc/apt/sources.list.d/debian.sources
  fi
  if ! grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    echo 'deb-src http://deb.debian.org/debian bookworm main' > /etc/apt/sources.list.d/zul-deb-src.list
  fi
  need_update=1
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ] || [ $need_update = 1 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  if [ ${#missing[@]} -gt 0 ]; then
    echo "installing: ${missing[*]}"
    apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
fi
