#!/usr/bin/env bash
# zul.exe as a player under Wine: a restored 10000-entry playlist at start-up
# against a minimal program, and the play command's way to the output.
# Run inside scripts/test-env.sh (make bench does).
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
status=0
"$ZUL_WINE" "$ZUL_WIN_BUILD/bin/playback_bench_probe.exe" list || status=1
"$ZUL_WINE" "$ZUL_WIN_BUILD/bin/playback_bench_probe.exe" play || status=1
exit $status
