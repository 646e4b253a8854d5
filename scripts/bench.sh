#!/usr/bin/env bash
# Runs every benchmark: native programs of build/bench, then the Wine ones.
# Each prints its figures and exits non-zero when it misses its target.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
status=0
shopt -s nullglob
for b in "$root"/build/bench/benchmarks/*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" || { echo "FAILED: $(basename "$b")"; status=1; }
done
for b in "$root"/bench/wine/*.sh; do
  echo "== $(basename "$b")"
  "$root/scripts/test-env.sh" "$b" || { echo "FAILED: $(basename "$b")"; status=1; }
done
exit $status
