# Sourced by the scripts that run Wine. Debian's wine, wineboot and
# wineserver wrappers pick the 32-bit programs whenever wine32 is installed,
# even on a host that cannot run them, so each architecture's programs are
# named here.
#   zul_wine_arch win32|win64   exports, for that Windows architecture:
#     ZUL_WINE      the Wine loader that runs a Windows program
#     WINESERVER    its wineserver (the loader starts it from here)
#     WINELOADER    (win64) the loader, for Wine's own process creation
#     WINEARCH      the prefix architecture
#     ZUL_WIN_BUILD the build folder, build/win32 or build/win64
#   zul_can_run_win32           true when this host runs 32-bit x86 code
#   zul_default_arch            win32 where it runs, win64 elsewhere

zul_wine_lib=/usr/lib/wine

zul_wine_arch() {
  local root; root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  case $1 in
    win32)
      ZUL_WINE=$zul_wine_lib/wine
      unset WINELOADER
      ;;
    win64)
      ZUL_WINE=$zul_wine_lib/wine64
      export WINELOADER=$ZUL_WINE
      ;;
    *)
      echo "unknown Windows architecture '$1' (win32 or win64)" >&2
      return 1
      ;;
  esac
  # The 64-bit wineserver serves 32-bit and 64-bit clients alike; the
  # 32-bit one cannot start where 32-bit code does not run.
  WINESERVER=$zul_wine_lib/wineserver64
  WINEARCH=$1
  ZUL_WIN_BUILD=$root/build/$1
  export ZUL_WINE WINESERVER WINEARCH ZUL_WIN_BUILD
}

# The probe starts the 32-bit Wine loader itself: a kernel without IA-32
# emulation refuses it with "Exec format error". ZUL_PROBE_WIN32_LOADER
# replaces the loader the probe starts (a missing file shows the skip path on
# a host that does run 32-bit code).
zul_can_run_win32() {
  "${ZUL_PROBE_WIN32_LOADER:-$zul_wine_lib/wine}" --version >/dev/null 2>&1
}

zul_default_arch() {
  if zul_can_run_win32; then echo win32; else echo win64; fi
}
