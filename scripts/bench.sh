#!/usr/bin/env bash
# Runs every benchmark: the native programs of a bench build, then the Wine
# ones. Each prints its figures and exits non-zero when it misses its target.
#   scripts/bench.sh [bench build folder, default build/bench]
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/bench}
status=0
shopt -s nullglob
for b in "$build"/benchmarks/*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" || { echo "FAILED: $(basename "$b")"; status=1; }
done
for b in "$root"/bench/wine/*.sh; do
  echo "== $(basename "$b")"
  "$root/scripts/test-env.sh" "$b" || { echo "FAILED: $(basename "$b")"; status=1; }
done
exit $status
