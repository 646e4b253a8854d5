#!/usr/bin/env bash
# zul.exe start-up to its running state under Wine, against a minimal program.
# Run inside scripts/test-env.sh (make bench does).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
"$ZUL_WINE" "$ZUL_WIN_BUILD/bin/startup_probe.exe"
