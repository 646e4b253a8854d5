#include "waveout/waveout_settings_file.h"

#include <windows.h>
// mmsystem.h needs the types windows.h declares.
#include <mmsystem.h>

#include "base/program_paths.h"

namespace zul {
namespace {

constexpr wchar_t kSection[] = L"out_ivwave";
constexpr wchar_t kKey[] = L"config";

}  // namespace

std::wstring WaveOutSettingsPath() { return CurrentProgramPaths().settingsFile; }

WaveOutSettings LoadWaveOutSettings(const std::wstring& iniPath) {
  WaveOutSettings stored;
  if (!GetPrivateProfileStructW(kSection, kKey, &stored, sizeof stored, iniPath.c_str())) stored = WaveOutSettings();
  return ValidateWaveOutSettings(stored, static_cast<int>(waveOutGetNumDevs()));
}

bool SaveWaveOutSettings(const std::wstring& iniPath, const WaveOutSettings& settings) {
  WaveOutSettings copy = settings;
  return WritePrivateProfileStructW(kSection, kKey, &copy, sizeof copy, iniPath.c_str()) != FALSE;
}

}  // namespace zul
