#!/usr/bin/env bash
# Runs every libFuzzer target of build/fuzz for the given number of seconds
# each (default 60), with its corpus kept in build/fuzz/corpus/<target>.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
dir=$root/build/fuzz/fuzzers
status=0
shopt -s nullglob
for f in "$dir"/*; do
  [ -x "$f" ] || continue
  name=$(basename "$f")
  corpus=$root/build/fuzz/corpus/$name
  mkdir -p "$corpus"
  echo "== $name for ${seconds}s"
  args=("$corpus")
  # Seeds live in a "seeds" folder beside the target's source.
  src=$(find "$root/fuzz" -name "$name.cpp" | head -n1)
  if [ -n "$src" ]; then
    for d in "$(dirname "$src")/seeds/$name" "$(dirname "$src")/seeds"; do
      if [ -d "$d" ]; then args+=("$d"); break; fi
    done
  fi
  if ! "$f" -max_total_time="$seconds" -print_final_stats=1 "${args[@]}" >"$root/build/fuzz/$name.log" 2>&1; then
    echo "FAILED: $name (see build/fuzz/$name.log)"; tail -n 30 "$root/build/fuzz/$name.log"; status=1
  else
    grep -E 'stat::number_of_executed_units|Done' "$root/build/fuzz/$name.log" | tail -n 2
  fi
done
exit $status
