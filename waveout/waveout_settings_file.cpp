#include "waveout/waveout_settings_file.h"

#include <windows.h>
// mmsystem.h needs the types windows.h declares.
#include <mmsystem.h>

namespace zul {
namespace {

constexpr wchar_t kSection[] = L"out_ivwave";
constexpr wchar_t kKey[] = L"config";

}  // namespace

std::wstring WaveOutSettingsPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  // Only a dot after the last separator starts the extension.
  const size_t slash = path.find_last_of(L"\\/");
  const size_t dot = path.rfind(L'.');
  if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)) return path + L".ini";
  return path.substr(0, dot + 1) + L"ini";
}

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
