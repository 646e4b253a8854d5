#include "mpeg_input/module/prefs_pages.h"

#include <array>
#include <string>

namespace zul::mpegin {
namespace {

constexpr LPARAM kIpcAddPrefsDlg = 332;
constexpr LPARAM kIpcRemovePrefsDlg = 333;
constexpr size_t kNameBytes = 500;  // 499 and the terminator

struct PageSpec {
  UINT nameId;
  const wchar_t* fallbackName;  // when the string table lacks the name
  int dialog;
  int id;
};

constexpr std::array<PageSpec, 4> kPages = {{
    {2003, L"Plugins::Input::Standard plugin", 2032, 6},
    {2043, L"Plugins::Input::Standard plugin::Replaygain", 2033, 7},
    {2044, L"Plugins::Input::Standard plugin::Streaming", 2036, 8},
    {2042, L"Plugins::Input::Standard plugin::Title", 2035, 9},
}};

// Until the page dialogs exist, a page shows an empty dialog.
INT_PTR CALLBACK PagePlaceholder(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

std::array<PrefsPageRecord, 4> records{};
std::array<std::array<char, kNameBytes>, 4> names{};
bool added = false;

}  // namespace

void AddPrefsPages(HWND host, HINSTANCE instance) {
  if (added) return;
  for (size_t i = 0; i < kPages.size(); ++i) {
    const PageSpec& p = kPages[i];
    wchar_t text[kNameBytes] = {};
    if (LoadStringW(instance, p.nameId, text, static_cast<int>(std::size(text))) <= 0)
      lstrcpynW(text, p.fallbackName, static_cast<int>(std::size(text)));
    names[i].fill('\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, names[i].data(), static_cast<int>(kNameBytes - 1), nullptr, nullptr);
    records[i] = PrefsPageRecord{instance, p.dialog, reinterpret_cast<void*>(&PagePlaceholder), names[i].data(), 1,
                                 p.id,     nullptr};
    if (host) SendMessageW(host, WM_USER, reinterpret_cast<WPARAM>(&records[i]), kIpcAddPrefsDlg);
  }
  added = true;
}

void RemovePrefsPages(HWND host) {
  if (!added) return;
  for (PrefsPageRecord& r : records)
    if (host) SendMessageW(host, WM_USER, reinterpret_cast<WPARAM>(&r), kIpcRemovePrefsDlg);
  added = false;
}

PrefsPageRecord* FirstPrefsPage() { return &records[0]; }

}  // namespace zul::mpegin
