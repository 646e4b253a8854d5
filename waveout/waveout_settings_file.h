#pragma once
// The output module's settings record in the program's settings file:
// section "out_ivwave", key "config", written and read with the
// private-profile struct functions (which add and check their own checksum).
//
// Threads: main thread (Init, Open, the preferences page).
#include <string>

#include "waveout/waveout_settings.h"

namespace zul {

// The program file's path with its extension replaced by "ini".
std::wstring WaveOutSettingsPath();

// The stored record validated against the devices present; the defaults
// when nothing is stored, the record has another size or its checksum fails.
WaveOutSettings LoadWaveOutSettings(const std::wstring& iniPath);
bool SaveWaveOutSettings(const std::wstring& iniPath, const WaveOutSettings& settings);

}  // namespace zul
