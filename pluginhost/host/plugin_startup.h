#pragma once
// The plug-in host's steps in the program's start-up and shutdown order:
// the three lists are loaded from the settings file in the order input,
// output, general; at shutdown they are written back and unloaded in the
// order general, input, output.
//
// Threads: UI thread.
#include <windows.h>

namespace zul {

void LoadInputPlugins(HWND winamp);
void LoadOutputPlugins(HWND winamp);
void LoadGeneralPlugins(HWND winamp);
void StartGeneralPlugins();
void UnloadPlugins();

}  // namespace zul
