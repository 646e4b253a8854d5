#!/usr/bin/env bash
# zul.exe start-up to its running state under Wine, against a minimal program.
# Run inside scripts/test-env.sh (make bench does).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
wine "$root/build/win32/bin/startup_probe.exe"
