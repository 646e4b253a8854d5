#pragma once
// The rules the preferences apply to a set of settings before they take
// them: what is refused, and what takes effect only after a restart.
#include <string>
#include <string_view>
#include <vector>

#include "base/settings.h"

namespace zul::prefs {

// 0 when the settings may be applied, else the string-table message that
// says why not: two actions on one hotkey, or no click opening the main menu.
int RefusalMessage(const Settings& s);

// The language, the Winamp emulation and the themed look are read once at
// start-up.
bool NeedsRestart(const Settings& before, const Settings& after);

// The hotkey control's modifier flags (HOTKEYF_SHIFT 1, HOTKEYF_CONTROL 2,
// HOTKEYF_ALT 4) and RegisterHotKey's (MOD_ALT 1, MOD_CONTROL 2,
// MOD_SHIFT 4), both ways.
int ModifiersFromControl(int controlFlags);
int ControlFromModifiers(int modifiers);

// "Apparence::Skins" -> {"Apparence", "Skins"}; empty levels are dropped.
std::vector<std::wstring> SplitPagePath(std::wstring_view path);

}  // namespace zul::prefs
