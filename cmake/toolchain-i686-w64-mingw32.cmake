# 32-bit Windows build with the POSIX-thread mingw-w64 compilers (the win32
# thread model has no std::mutex / std::thread). The build users install: it
# hosts the existing 32-bit Winamp plug-ins.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Tests run under 32-bit Wine; the harness (scripts/test-env.sh win32)
# provides the prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine)
