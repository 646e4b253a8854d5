#!/usr/bin/env bash
# One lane of a Wine suite: runs inside its own test environment
# (scripts/test-env.sh) and takes tests from a queue shared with the other
# lanes until the queue is empty. Each test runs as its own ctest call; its
# output is printed in one piece when it ends, so that lanes do not
# interleave within a test. A line "<name> passed|failed <seconds>" per test
# goes to the queue's results file.
#   scripts/test-lane.sh <build folder> <queue folder> [<shared folder>]
# The queue folder holds "order" (test numbers, one per line, in the order to
# take them) and "next" (the line to take next); both are read and advanced
# under a lock. Tests listed in "solo" run while no other lane runs a test:
# such a test loads the machine on purpose, and the other lane's recorded
# audio would pay for it.
# The shared folder (default: the queue folder) holds the locks that lanes of
# several suites running at once have in common: the one for printing and the
# solo gate. ZUL_LANE_TAG, when set, prefixes every line the lane prints, so
# that the suites' output can be told apart.
set -uo pipefail
build=$1 queue=$2 shared=${3:-$2}
tag=${ZUL_LANE_TAG:+[$ZUL_LANE_TAG] }

take_next() {
  local n
  exec 9>"$queue/lock"
  flock 9
  n=$(cat "$queue/next")
  echo $((n + 1)) >"$queue/next"
  flock -u 9
  exec 9>&-
  sed -n "${n}p" "$queue/order"
}

while :; do
  number=$(take_next)
  [ -n "$number" ] || break
  out=$(mktemp)
  start=$SECONDS
  # A solo test holds the gate while it waits for the running tests to end,
  # so that no new test starts meanwhile; the others pass the gate at once.
  if grep -qx "$number" "$queue/solo" 2>/dev/null; then
    take="flock -x 7 && flock -x 8"
  else
    take="flock -s 7 && flock -s 8 && flock -u 7"
  fi
  (eval "$take" && cd "$build" && ctest --output-on-failure -I "0,0,0,$number") >"$out" 2>&1 7>>"$shared/gate.lock" 8>>"$shared/run.lock"
  rc=$?
  name=$(sed -n 's/^ *[0-9]*\/[0-9]* Test *#[0-9]*: \([^ .]*\).*/\1/p' "$out" | head -n1)
  [ "$rc" = 0 ] && result=passed || result=failed
  echo "${name:-test #$number} $result $((SECONDS - start))" >>"$queue/results"
  {
    flock 9
    grep -v -E '^(Test project|Total Test time|$)' "$out" | sed "s/^/$tag/"
  } 9>>"$shared/print.lock"
  rm -f "$out"
done
