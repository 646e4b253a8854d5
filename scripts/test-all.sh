#!/usr/bin/env bash
# make test: the native suite, the win64 Wine suite, and the win32 Wine suite
# where this host runs 32-bit code. Every suite that can run does, even after
# another failed; the run fails when any of them failed. One summary line per
# suite at the end.
#   scripts/test-all.sh [build folder, default build]
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
jobs=$(nproc)
. "$root/scripts/wine-arch.sh"

summary=()
status=0
run_suite() { # name command...
  local name=$1; shift
  local start=$SECONDS log; log=$(mktemp)
  echo "== $name suite"
  "$@" 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  local counts; counts=$(grep -E 'tests passed, [0-9]+ tests failed out of' "$log" | tail -n1)
  rm -f "$log"
  summary+=("$name: ${counts:-no result} ($((SECONDS - start)) s)")
  [ "$rc" = 0 ] || status=1
}

run_suite native bash -c "cd '$build/native' && ctest --output-on-failure -j $jobs"
run_suite win64 "$root/scripts/test-env.sh" win64 bash -c "cd '$build/win64' && ctest --output-on-failure"
if zul_can_run_win32; then
  run_suite win32 "$root/scripts/test-env.sh" win32 bash -c "cd '$build/win32' && ctest --output-on-failure"
else
  summary+=("win32: skipped: this host cannot run 32-bit x86 code (the probe, ${ZUL_PROBE_WIN32_LOADER:-$zul_wine_lib/wine} --version, did not start); the native and win64 suites ran")
fi

echo
for line in "${summary[@]}"; do echo "$line"; done
exit $status
