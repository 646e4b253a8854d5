#!/usr/bin/env bash
# The tray face with a 10000-entry playlist: main menu latency and GDI/USER
# objects over 200 menus and tooltips. Run inside scripts/test-env.sh.
set -euo pipefail
"$ZUL_WINE" "$ZUL_WIN_BUILD/bin/tray_probe.exe"
