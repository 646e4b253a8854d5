#!/usr/bin/env bash
# The tray face's pictures: the icon in the tray, the main menu, the track
# tree of 10000 entries and the track tooltip. The window tests take them
# (into ZUL_SCREENSHOT_DIR, which they honour); only the tests that show
# them run here.
#   scripts/screenshots.d/tray.sh <build folder>
set -euo pipefail
build=${1:?build folder}
cd "$build"
"$ZUL_WINE" bin/tray_click_test.exe --gtest_filter='TrayClicks.DefaultSettings*'
"$ZUL_WINE" bin/tray_menu_test.exe
"$ZUL_WINE" bin/tray_tooltip_test.exe --gtest_filter='TrayTooltip.TheDefaultTemplate*'
for f in tray_icon_playing main_menu track_tree track_tree_10000 tray_tooltip_default; do
  [ -f "$ZUL_SCREENSHOT_DIR/$f.png" ] || { echo "tray screenshots: $f.png missing" >&2; exit 1; }
  # The crops keep their place on the screen as a page offset; drop it.
  convert "$ZUL_SCREENSHOT_DIR/$f.png" +repage "$ZUL_SCREENSHOT_DIR/$f.png"
done
