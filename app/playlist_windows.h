#pragma once
// The playlist window's parts of the tool-window start-up and quit steps,
// called beside the other tool windows' (PendingWindows).
//
// Threads: UI thread.
#include <windows.h>

namespace zul {

struct Settings;

// Start-up: remembers the owner (the main window, which also owns the
// automation timer).
void CreatePlaylistWindows(HWND owner);
// Start-up, once the settings are read and the Winamp window exists: the
// window is created hidden, then shown when "PlaylistAtStartup" is set.
void ShowPlaylistStartupWindows(HWND winamp, Settings& settings);
// Quit, after the settings are written.
void DestroyPlaylistWindows();

}  // namespace zul
