#!/usr/bin/env bash
# Writes the README's pictures of the program's windows as PNG files into
# docs/screenshots. Each window brings its own script in scripts/screenshots.d,
# run here inside the test environment with the build folder as its argument:
#   scripts/screenshots.sh <build folder of the architecture>
# (make screenshots picks the build this host runs.)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?build folder}
out=$root/docs/screenshots
mkdir -p "$out"
shopt -s nullglob
scripts=("$root"/scripts/screenshots.d/*.sh)
if [ ${#scripts[@]} -eq 0 ]; then
  echo "screenshots: no window brings a screenshot script yet"
  exit 0
fi
for s in "${scripts[@]}"; do
  echo "screenshots: $(basename "$s")"
  ZUL_SCREENSHOT_DIR=$out "$s" "$build"
done
echo "screenshots: written to $out"
