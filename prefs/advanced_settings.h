#pragma once
// The "Advanced Settings" dialog: the settings no page edits, in one list
// with their type and default, edited one value at a time and checked when
// applied.
#include <windows.h>

#include "prefs/prefs_host.h"

namespace zul {

void ShowAdvancedSettings(HWND owner, PrefsHost& host);

}  // namespace zul
