#include "prefs/plugin_list_page.h"

#include <commdlg.h>

#include "pluginhost/host/plugin_guard.h"
#include "pluginhost/winamp_window/caller_memory.h"
#include "prefs/settings_dialog.h"

namespace zul {

std::wstring PluginDescription(const char* const* descriptionField) {
  const char* description = nullptr;
  if (Guarded([&] { description = *descriptionField; }).faulted || !description) return {};
  std::string text;
  if (!ReadCallerText(description, 255, text)) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

std::wstring PluginListText(const std::wstring& description, const std::wstring& name) {
  const size_t slash = name.find_last_of(L"\\/");
  const std::wstring file = slash == std::wstring::npos ? name : name.substr(slash + 1);
  return description + L" (" + file + L")";
}

bool AskForPluginFile(HWND owner, const wchar_t* filter, std::wstring& path) {
  std::wstring zeroed = filter;
  for (wchar_t& c : zeroed)
    if (c == L'|') c = L'\0';
  zeroed += L'\0';
  wchar_t file[MAX_PATH] = L"";
  OPENFILENAMEW ofn{sizeof ofn};
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = zeroed.c_str();
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
  if (!GetOpenFileNameW(&ofn)) return false;
  path = file;
  return true;
}

void BeforePluginListChange() {
  if (CSettingsDialog* dialog = OpenSettingsDialog()) dialog->DropPluginPages();
}

void AfterPluginListChange() {
  if (CSettingsDialog* dialog = OpenSettingsDialog()) dialog->RebuildTree();
}

}  // namespace zul
