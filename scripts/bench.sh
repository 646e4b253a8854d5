#!/usr/bin/env bash
# Runs every benchmark: the native programs of a bench build, then the Wine
# ones. Each prints its figures and exits non-zero when it misses its target.
# The Wine ones use the 32-bit build where this host runs 32-bit code and the
# 64-bit build elsewhere.
#   scripts/bench.sh [bench build folder, default build/bench] [win32|win64]
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/wine-arch.sh"
build=${1:-$root/build/bench}
arch=${2:-$(zul_default_arch)}
status=0
shopt -s nullglob
for b in "$build"/benchmarks/*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" || { echo "FAILED: $(basename "$b")"; status=1; }
done
echo "== Wine benchmarks with the $arch build"
for b in "$root"/bench/wine/*.sh; do
  echo "== $(basename "$b")"
  "$root/scripts/test-env.sh" "$arch" "$b" || { echo "FAILED: $(basename "$b")"; status=1; }
done
exit $status
