#!/usr/bin/env bash
# zul.exe from the exit request to the end of its process under Wine, idle and
# while playing, against a minimal program's WM_CLOSE to exit.
# Run inside scripts/test-env.sh (make bench does).
set -euo pipefail
"$ZUL_WINE" "$ZUL_WIN_BUILD/bin/quit_probe.exe"
