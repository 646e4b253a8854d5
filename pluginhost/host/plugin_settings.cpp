#include "pluginhost/host/plugin_settings.h"

#include <cwchar>

#include "base/console_log.h"
#include "base/profile_file.h"
#include "pluginhost/host/plugin_library.h"

namespace zul {

std::wstring ReadPluginName(const ProfileReader& settings, const wchar_t* pattern, int index) {
  wchar_t key[64];
  std::swprintf(key, std::size(key), pattern, index);
  std::optional<std::wstring> value = settings.Read(kPreferences, key);
  if (!value || *value == kNoneName) return {};
  return *value;
}

bool WritePluginNames(const std::wstring& profilePath, const wchar_t* pattern, const std::vector<std::wstring>& names) {
  std::vector<ProfileEdit> edits;
  AppendPluginList(pattern, names, edits);
  if (CommitProfileEdits(profilePath, edits)) return true;
  ZUL_LOG(L"The plug-in list %s could not be written to %s", pattern, profilePath.c_str());
  return false;
}

}  // namespace zul
