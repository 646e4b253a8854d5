#!/usr/bin/env bash
# Fails, naming the files, when a C or C++ source of the tree differs from
# what clang-format makes of it with the checked-in .clang-format.
# `clang-format -i <file>` fixes one.
#   scripts/check-format.sh
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root" || exit 2
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files '*.c' '*.cpp' '*.h')
else
  mapfile -t files < <(find . -path ./build -prune -o \( -name '*.c' -o -name '*.cpp' -o -name '*.h' \) -print)
fi
# One clang-format per batch of files; each difference it reports starts
# with the file's name.
mapfile -t bad < <(printf '%s\0' "${files[@]}" |
  xargs -0 -n 64 -P "$(nproc)" clang-format --dry-run 2>&1 |
  sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: \(warning\|error\): .*/\1/p' | sort -u)
if [ ${#bad[@]} -gt 0 ]; then
  echo "${#bad[@]} of ${#files[@]} source files are not formatted (clang-format -i <file>):"
  printf '  %s\n' "${bad[@]}"
  exit 1
fi
echo "all ${#files[@]} source files formatted"
