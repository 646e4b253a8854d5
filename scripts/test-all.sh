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
  # The suite's own count lines (a Wine suite prints one per architecture;
  # the lanes' per-test ctest lines do not count).
  local counts; counts=$(grep -E '^[0-9]+ of [0-9]+ .*test executables passed|source files' "$log" | paste -sd';' | sed 's/;/; /g')
  [ -n "$counts" ] || counts=$(grep -E 'tests passed, [0-9]+ tests failed out of' "$log" | tail -n1)
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
wine_test_order() { # build folder, file of the solo tests' numbers
  local dir=$1 costs=$1/Testing/Temporary/CTestCostData.txt
  local long solo; long=$(labelled_tests "$dir" long) solo=$(cat "$2")
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
# suite on two cores. Lanes print through one lock, one test at a time.
# The shared folder holds the locks of every lane running now: the print lock
# and the gate that lets a solo test run alone on the machine.
shared=$build/test-run-shared
wine_lane_pids=()
start_wine_suite() { # arch [tag [label of more tests that run alone]]
  local arch=$1 dir=$build/$1 queue=$build/test-run-$1/queue
  rm -rf "$queue"; mkdir -p "$queue" "$shared"
  { labelled_tests "$dir" solo; [ -n "${3:-}" ] && labelled_tests "$dir" "$3"; } | sort -u >"$queue/solo"
  wine_test_order "$dir" "$queue/solo" >"$queue/order"
  echo 1 >"$queue/next"
  : >"$queue/results"
  ZUL_LANE_TAG=${2:-} "$root/scripts/test-env.sh" "$arch" "$root/scripts/test-lane.sh" "$dir" "$queue" "$shared" &
  wine_lane_pids+=($!)
  ZUL_LANE_TAG=${2:-} ZUL_TEST_ID=lane2 "$root/scripts/test-env.sh" "$arch" "$root/scripts/test-lane.sh" "$dir" "$queue" "$shared" &
  wine_lane_pids+=($!)
}

wait_wine_lanes() {
  local rc=0 p
  for p in "${wine_lane_pids[@]}"; do wait "$p" || rc=1; done
  wine_lane_pids=()
  return $rc
}

# The counts of a suite whose lanes have ended; fails unless every test ran
# and passed.
wine_suite_result() { # arch
  local queue=$build/test-run-$1/queue total passed
  total=$(wc -l <"$queue/order")
  passed=$(grep -c ' passed [0-9]*$' "$queue/results")
  echo "$passed of $total $1 test executables passed"
  grep ' failed [0-9]*$' "$queue/results" | sed "s/^/FAILED ($1): /"
  [ "$passed" = "$total" ] && [ "$total" -gt 0 ]
}

wine_suite() { # arch
  start_wine_suite "$1"
  wait_wine_lanes
  local lanes_rc=$?
  wine_suite_result "$1" && [ "$lanes_rc" = 0 ]
}

# Where both Wine suites run, they run at the same time, four lanes in all:
# each lane spends most of its time waiting, and one suite alone keeps about
# one core busy. With four lanes on two cores, though, Wine's audio thread of
# a test that records what it plays (label "audio") would be late now and
# then, and its recording would show holes no program under test caused: such
# a test runs alone here. Each suite's counts and result are its own; the time
# is the two suites' together.
both_wine_suites() {
  start_wine_suite win64 win64 audio
  start_wine_suite win32 win32 audio
  wait_wine_lanes
  local lanes_rc=$? rc=0
  wine_suite_result win64 || rc=1
  wine_suite_result win32 || rc=1
  [ "$lanes_rc" = 0 ] && [ "$rc" = 0 ]
}

run_suite format "$root/scripts/check-format.sh"
run_suite native bash -c "cd '$build/native' && ctest --output-on-failure -j $jobs"
if zul_can_run_win32; then
  run_suite "win64 and win32" both_wine_suites
else
  run_suite win64 wine_suite win64
  summary+=("win32: skipped: this host cannot run 32-bit x86 code (the probe, ${ZUL_PROBE_WIN32_LOADER:-$zul_wine_lib/wine} --version, did not start); the native and win64 suites ran")
fi

echo
for line in "${summary[@]}"; do echo "$line"; done
exit $status
