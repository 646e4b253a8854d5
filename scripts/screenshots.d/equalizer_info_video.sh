#!/usr/bin/env bash
# Pictures of the equalizer, MP3 information, video and embedded windows:
# their window tests drive each window as a user does and keep a picture of
# it; the pictures of the window alone are copied to $ZUL_SCREENSHOT_DIR.
#   scripts/screenshots.d/equalizer_info_video.sh <build folder>
set -euo pipefail
build=${1:?build folder}
out=${ZUL_SCREENSHOT_DIR:?ZUL_SCREENSHOT_DIR}
mkdir -p "$out"
(cd "$build" && ctest --output-on-failure \
  -R '^(equalizer_window_test|info_window_test|video_window_test|embedded_window_test)$')
for name in equalizer_window info_window_edit video_window_YUY2 embedded_window; do
  cp "$build/test-artifacts/$name-window.png" "$out/$name.png"
done
