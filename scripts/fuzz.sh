#!/usr/bin/env bash
# Runs every libFuzzer target of a fuzz build for the given number of seconds
# each (default 60), one after the other, with its corpus kept in
# <build>/corpus/<target>.
#   scripts/fuzz.sh [seconds] [build folder, default build/fuzz]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build=$(cd "${2:-$root/build/fuzz}" && pwd)
dir=$build/fuzzers
status=0
shopt -s nullglob
for f in "$dir"/*; do
  [ -x "$f" ] || continue
  name=$(basename "$f")
  corpus=$build/corpus/$name
  mkdir -p "$corpus"
  echo "== $name for ${seconds}s"
  args=("$corpus")
  # Seeds live in a "seeds" folder beside the target's source, or are
  # written into the build folder by a make_seeds.py beside it.
  src=$(find "$root/fuzz" -name "$name.cpp" | head -n1)
  if [ -n "$src" ]; then
    srcdir=$(dirname "$src")
    made=$build/seeds/$(basename "$srcdir")
    if [ ! -d "$srcdir/seeds" ] && [ -x "$srcdir/make_seeds.py" ] && [ ! -d "$made" ]; then
      "$srcdir/make_seeds.py" "$made" >/dev/null
    fi
    for d in "$srcdir/seeds/$name" "$srcdir/seeds" "$made/$name"; do
      if [ -d "$d" ]; then args+=("$d"); break; fi
    done
  fi
  if ! "$f" -max_total_time="$seconds" -print_final_stats=1 "${args[@]}" >"$build/$name.log" 2>&1; then
    echo "FAILED: $name (see $build/$name.log)"; tail -n 30 "$build/$name.log"; status=1
  else
    grep -E 'stat::number_of_executed_units|Done' "$build/$name.log" | tail -n 2
  fi
done
exit $status
