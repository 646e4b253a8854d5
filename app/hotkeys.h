#pragma once
// The global hotkeys: their ids on the main window, registration in id
// order, and which setting each id belongs to.
//
// Threads: UI thread.
#include <windows.h>

#include <optional>

#include "base/settings.h"

namespace zul {

// Registers every hotkey whose key setting is not 0. A combination another
// program holds is skipped silently.
void RegisterHotkeys(HWND owner, const Settings& s);
void UnregisterHotkeys(HWND owner);
// Registers one id again (the volume keys drop theirs while they act, so
// that a held key does not queue up).
void RegisterHotkey(HWND owner, const Settings& s, int id);

std::optional<Hotkey> HotkeyForId(int id);

}  // namespace zul
