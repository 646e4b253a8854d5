#pragma once
// The equalizer, MP3 information and video windows' part of the shell's
// tool-window steps; the shell's CreateToolWindows, ShowStartupWindows and
// DestroyToolWindows call these beside the other windows' parts.
//
// Threads: UI thread.
#include <windows.h>

namespace zul {

struct Settings;

void CreateEqualizerInfoVideoWindows(HWND owner);
void ShowEqualizerInfoVideoAtStartup(HWND winamp, const Settings& s);
void DestroyEqualizerInfoVideoWindows();

}  // namespace zul
