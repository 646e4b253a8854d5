#pragma once
// Embedded plug-in windows: a host frame (title bar, borders, close button,
// resize grip) that a general-purpose plug-in puts its own child window in.
// Closing hides the frame; every frame is destroyed, last made first, at
// the end.
//
// Threads: UI thread.
#include <windows.h>

namespace zul {

// A new frame owned by `owner` (the Winamp window), at (0, 0), 275 x 116.
HWND CreateEmbeddedFrame(HWND owner);
void DestroyEmbeddedFrames();

}  // namespace zul
