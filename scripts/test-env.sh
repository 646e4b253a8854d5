#!/usr/bin/env bash
# Runs a command inside the test environment of a Wine suite:
#   - the architecture's Wine programs (scripts/wine-arch.sh): ZUL_WINE is
#     the loader, ZUL_WIN_BUILD the build folder;
#   - a project-local Wine prefix (build/wineprefix-<arch>), created once
#     without the Mono/Gecko installer dialogs, crash dialog switched off;
#   - WINEDEBUG=-all and one persistent wineserver for the whole run;
#   - Xvfb when there is no DISPLAY;
#   - a PulseAudio daemon of our own with a null sink "zul_sink" whose monitor
#     tests record with: parec --device=zul_sink.monitor
# Everything started here is stopped again by pid, whatever the command does.
#   [ZUL_TEST_ID=name] scripts/test-env.sh [win32|win64] <command> [args...]
# Without an architecture: win32 where this host runs 32-bit code, else win64.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/wine-arch.sh"
case ${1:-} in
  win32|win64) arch=$1; shift ;;
  *) arch=$(zul_default_arch) ;;
esac
zul_wine_arch "$arch" || exit 2
# ZUL_TEST_ID keeps parallel environments apart (own prefix, wineserver,
# PulseAudio and run folder); unset for the normal single run.
id=-$arch${ZUL_TEST_ID:+-$ZUL_TEST_ID}
run=$root/build/test-run$id
mkdir -p "$run"

export WINEPREFIX=$root/build/wineprefix$id
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export ZUL_PULSE_SINK=zul_sink
export XDG_RUNTIME_DIR=$run/xdg
# This environment's own folder: the window tests' scripts and marker files go
# there, since two environments' Wine process ids can be the same.
export ZUL_RUN_DIR=$run
export PULSE_RUNTIME_PATH=$run/pulse
export PULSE_SERVER=unix:$run/pulse/native
export PULSE_SINK=zul_sink
# Wine asks PulseAudio for a target buffer of three 10 ms periods only. On a
# busy machine the Wine thread that feeds it is now and then late by more
# than that, and the null sink plays silence meanwhile: a hole in a
# recording that no program under test caused. A 100 ms target absorbs it.
# (It reaches the recorder, parec, too: it then gets its data in 100 ms
# pieces, well within the 300 ms a test waits before it stops recording.)
export PULSE_LATENCY_MSEC=100
mkdir -p "$XDG_RUNTIME_DIR" "$PULSE_RUNTIME_PATH"
chmod 700 "$XDG_RUNTIME_DIR" "$PULSE_RUNTIME_PATH"

pids=()
cleanup() {
  "$WINESERVER" -k >/dev/null 2>&1
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  if [ -f "$run/pulse.pid" ]; then kill "$(cat "$run/pulse.pid")" 2>/dev/null; rm -f "$run/pulse.pid"; fi
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null; done
}
trap cleanup EXIT INT TERM

# Xvfb picks a free display number itself and writes it once it accepts
# clients: environments started at the same moment (the lanes) must not
# both choose the first free number and end up on one X server, where one
# lane's clicks land in the other lane's windows.
if [ -z "${DISPLAY:-}" ]; then
  rm -f "$run/xvfb.display"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$run/xvfb.display" >"$run/xvfb.log" 2>&1 &
  pids+=($!)
  disp=
  for _ in $(seq 1 200); do
    disp=$(tr -dc 0-9 <"$run/xvfb.display" 2>/dev/null)
    [ -n "$disp" ] && break
    sleep 0.05
  done
  [ -n "$disp" ] || { echo "test-env: Xvfb did not start (see $run/xvfb.log)" >&2; exit 2; }
  export DISPLAY=":$disp"
fi

# PulseAudio as root prints a warning but runs; it needs its own runtime dir.
pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --use-pid-file=no \
  --load="module-null-sink sink_name=zul_sink rate=44100 channels=2 norewinds=1" \
  --load="module-native-protocol-unix socket=$run/pulse/native auth-anonymous=1" \
  --load="module-always-sink" >"$run/pulse.log" 2>&1 &
echo $! >"$run/pulse.pid"
for _ in $(seq 1 100); do [ -S "$run/pulse/native" ] && break; sleep 0.05; done
pactl set-default-sink zul_sink >/dev/null 2>&1 || true

if [ ! -f "$WINEPREFIX/.zul-ready" ]; then
  rm -rf "$WINEPREFIX"
  "$ZUL_WINE" wineboot -i >"$run/wineboot.log" 2>&1 </dev/null
  "$ZUL_WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  "$WINESERVER" -w
  touch "$WINEPREFIX/.zul-ready"
fi

"$WINESERVER" -p
# Start Wine's own services now, with our stdio closed: started lazily by the
# first test they would inherit ctest's output pipe and keep ctest waiting
# for end-of-file until the wineserver goes away.
"$ZUL_WINE" wineboot >/dev/null 2>&1 </dev/null
# One tray icon for the whole run (tests/support/tray_keeper.cpp): Wine's
# explorer, hiding its tray window after the last icon has gone, would keep
# the next program to start waiting for about a second and a half. Ended
# with the wineserver.
if [ -x "$ZUL_WIN_BUILD/bin/tray_keeper.exe" ]; then
  "$ZUL_WINE" "$ZUL_WIN_BUILD/bin/tray_keeper.exe" >/dev/null 2>&1 </dev/null &
  pids+=($!)
fi
"$@"
status=$?
exit $status
