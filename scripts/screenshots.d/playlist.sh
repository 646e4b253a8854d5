#!/usr/bin/env bash
# The playlist window and its sort dialog, as the window tests leave them:
# a selection made with Shift and Ctrl clicks, and a template being typed.
#   scripts/screenshots.d/playlist.sh <build folder>   (inside the test environment)
set -euo pipefail
build=$(cd "${1:?build folder}" && pwd)
out=${ZUL_SCREENSHOT_DIR:?}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ZUL_BINARY_DIR=$work "$ZUL_WINE" "$build/bin/playlist_window_test.exe" \
  --gtest_filter='PlaylistWindow.ShiftAndCtrl*:PlaylistWindow.SortDialog*'
cp "$work/test-artefacts/playlist_window_selection.png" "$out/playlist_window.png"
cp "$work/test-artefacts/sort_dialog.png" "$out/playlist_sort_dialog.png"
