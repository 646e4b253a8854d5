#!/usr/bin/env bash
# make test: the format check, the native suite, the win64 Wine suite, and the
# win32 Wine suite where this host runs 32-bit code. Every suite that can run does, even after
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
  local counts; counts=$(grep -E 'tests passed, [0-9]+ tests failed out of|test executables passed|source files' "$log" | tail -n1)
  rm -f "$log"
  summary+=("$name: ${counts:-no result} ($((SECONDS - start)) s)")
  [ "$rc" = 0 ] || status=1
}

# Test numbers of a build's tests that carry a label, one per line.
labelled_tests() { # build folder, label
  (cd "$1" && ctest -N -L "$2") | sed -n 's/^ *Test *#\([0-9]*\):.*/\1/p'
}

# The order in which a Wine suite's lanes take its tests: the solo ones first
# (they run alone, so best while nothing else has begun), then the longest
# first, so that no lane is left with one long test at the end. The times of
# the last run (ctest's cost data) decide; without them, the tests labelled
# "long" go first. Prints test numbers, one per line.
wine_test_order() { # build folder
  local dir=$1 costs=$1/Testing/Temporary/CTestCostData.txt
  local long solo; long=$(labelled_tests "$dir" long) solo=$(labelled_tests "$dir" solo)
  (cd "$dir" && ctest -N) | sed -n 's/^ *Test *#\([0-9]*\): *\([^ ]*\).*/\1 \2/p' |
    while read -r number name; do
      cost=$( [ -f "$costs" ] && awk -v n="$name" '$1 == n { print $3; exit }' "$costs")
      if [ -z "$cost" ]; then
        cost=0
        grep -qx "$number" <<<"$long" && cost=1000
      fi
      grep -qx "$number" <<<"$solo" && cost=1000000
      echo "$cost $number"
    done | sort -k1,1 -g -r -s | cut -d' ' -f2
}

# A Wine suite in two lanes, each in a test environment of its own (prefix,
# wineserver, X server, PulseAudio): most of a Wine test's time is spent
# waiting for processes, windows and audio, so two lanes nearly halve the
# suite on two cores. The first lane's output is the suite's output; the
# second lane prints through the same lock, one test at a time.
wine_suite() { # arch
  local arch=$1 dir=$build/$1 queue=$build/test-run-$1/queue
  rm -rf "$queue"; mkdir -p "$queue"
  wine_test_order "$dir" >"$queue/order"
  labelled_tests "$dir" solo >"$queue/solo"
  echo 1 >"$queue/next"
  : >"$queue/results"
  ZUL_TEST_ID=lane2 "$root/scripts/test-env.sh" "$arch" "$root/scripts/test-lane.sh" "$dir" "$queue" &
  local second=$!
  "$root/scripts/test-env.sh" "$arch" "$root/scripts/test-lane.sh" "$dir" "$queue"
  local first_rc=$? second_rc=0
  wait $second || second_rc=$?
  local total passed
  total=$(wc -l <"$queue/order")
  passed=$(grep -c ' passed [0-9]*$' "$queue/results")
  echo "$passed of $total test executables passed"
  grep ' failed [0-9]*$' "$queue/results" | sed 's/^/FAILED: /'
  [ "$first_rc" = 0 ] && [ "$second_rc" = 0 ] && [ "$passed" = "$total" ] && [ "$total" -gt 0 ]
}

run_suite format "$root/scripts/check-format.sh"
run_suite native bash -c "cd '$build/native' && ctest --output-on-failure -j $jobs"
run_suite win64 wine_suite win64
if zul_can_run_win32; then
  run_suite win32 wine_suite win32
else
  summary+=("win32: skipped: this host cannot run 32-bit x86 code (the probe, ${ZUL_PROBE_WIN32_LOADER:-$zul_wine_lib/wine} --version, did not start); the native and win64 suites ran")
fi

echo
for line in "${summary[@]}"; do echo "$line"; done
exit $status
