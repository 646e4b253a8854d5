# 64-bit Windows build with the POSIX-thread mingw-w64 compilers. It hosts
# 64-bit builds of plug-ins, and its tests run on hosts that execute 64-bit
# code only.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Tests run under 64-bit Wine; the harness (scripts/test-env.sh win64)
# provides the prefix and the wineserver. Debian's "wine" wrapper would pick
# the 32-bit loader whenever wine32 is installed, so the loader is named.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
