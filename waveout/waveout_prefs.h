#pragma once
// The output module's preferences page: the record the host lists under
// "Plugins::Output::Standard plugin", and the data the page shows and edits.
//
// Threads: main thread.
#include <windows.h>

#include <string>
#include <vector>

#include "pluginhost/protocol/prefs_page_record.h"

namespace zul {

inline constexpr int kWaveOutPageDialog = 2998;
inline constexpr int kWaveOutPageNameString = 151;
inline constexpr int kWaveOutPageWhere = 4;
inline constexpr int kWaveOutPageId = 5;
inline constexpr wchar_t kWaveOutPageName[] = L"Plugins::Output::Standard plugin";

// The page record of the module (one per process), filled by
// FillWaveOutPage; its name buffer lives as long as the record.
_prefsDlgRec* WaveOutPage();
// Instance, dialog, name (string 151 of the instance, in the ANSI code page,
// at most 499 bytes), where and identifier. The page procedure stays null
// until the page's dialog exists.
void FillWaveOutPage(HINSTANCE instance);

// The "Output Device" list: "Wave Mapper" (device -1) and then each device
// by index, "[Invalid Device]" for a name that cannot be read.
std::vector<std::wstring> WaveOutDeviceNames();

}  // namespace zul
