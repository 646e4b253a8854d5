// "Plugins": the plug-in files of a folder the user chooses, each loaded
// into the list its name's prefix names, and the Windows Messenger
// settings.
#include <windows.h>

#include <shlobj.h>

#include "pluginhost/host/plugin_lists.h"
#include "pluginhost/host/plugin_startup.h"
#include "prefs/pages.h"
#include "prefs/plugin_list_page.h"
#include "resources/prefs_resource.h"

namespace zul {
namespace {

bool StartsWithNoCase(const std::wstring& text, const wchar_t* prefix) {
  const size_t n = wcslen(prefix);
  return text.size() >= n &&
         CompareStringOrdinal(text.c_str(), static_cast<int>(n), prefix, static_cast<int>(n), TRUE) == CSTR_EQUAL;
}

class CSettingsDialogPlugins final : public CPrefsPage {
public:
  CSettingsDialogPlugins() : CPrefsPage(IDD_PAGE_PLUGINS, L"Plugins") {}

  void Load(const Settings& s) override {
    const std::wstring& exe = host().programFile();
    SetText(IDC_PL_DIR, exe.substr(0, exe.find_last_of(L"\\/") + 1) + L"Plugins");
    ListFiles();
    SetCheck(IDC_PL_WM_ACTIVATE, s.activateWindowsMessenger);
    SetText(IDC_PL_WM_TITLE, s.wmTitle);
    FillCombo(IDC_PL_WM_ICON, {L"Games", L"Music", L"Office"}, s.wmIcon);
    SetInt(IDC_PL_WM_SPEED, s.wmSpeed);
    CheckRadioButton(hwnd(), IDC_PL_WM_NO_SCROLL, IDC_PL_WM_RIGHT, IDC_PL_WM_NO_SCROLL + s.scrollMode);
  }

  void Store(Settings& s) override {
    s.activateWindowsMessenger = Checked(IDC_PL_WM_ACTIVATE);
    s.wmTitle = Text(IDC_PL_WM_TITLE);
    s.wmIcon = ComboIndex(IDC_PL_WM_ICON, s.wmIcon);
    s.wmSpeed = Int(IDC_PL_WM_SPEED, s.wmSpeed, 1, 300);
    for (int m = 0; m < 3; ++m)
      if (Checked(IDC_PL_WM_NO_SCROLL + m)) s.scrollMode = m;
  }

  bool OnCommand(int id, int code) override {
    switch (id) {
      case IDC_PL_BROWSE:
        Browse();
        return true;
      case IDC_PL_DIR:
        if (code == EN_KILLFOCUS) ListFiles();
        return true;
      case IDC_PL_LOAD: {
        LRESULT sel = SendDlgItemMessageW(hwnd(), IDC_PL_FILES, LB_GETCURSEL, 0, 0);
        if (sel != LB_ERR && static_cast<size_t>(sel) < files_.size()) LoadOne(files_[static_cast<size_t>(sel)]);
        AfterPluginListChange();
        return true;
      }
      case IDC_PL_LOAD_ALL:
        for (const std::wstring& file : files_) LoadOne(file);
        AfterPluginListChange();
        return true;
    }
    return false;
  }

private:
  void Browse() {
    BROWSEINFOW info{};
    info.hwndOwner = hwnd();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE list = SHBrowseForFolderW(&info);
    if (!list) return;
    wchar_t folder[MAX_PATH] = L"";
    const bool ok = SHGetPathFromIDListW(list, folder);
    CoTaskMemFree(list);
    if (!ok) return;
    SetText(IDC_PL_DIR, folder);
    ListFiles();
  }

  void ListFiles() {
    files_.clear();
    HWND box = GetDlgItem(hwnd(), IDC_PL_FILES);
    SendMessageW(box, LB_RESETCONTENT, 0, 0);
    const std::wstring folder = Text(IDC_PL_DIR);
    for (const wchar_t* pattern : {L"in_*.dll", L"out_*.dll", L"gen_*.dll"}) {
      WIN32_FIND_DATAW found;
      HANDLE find = FindFirstFileW((folder + L"\\" + pattern).c_str(), &found);
      if (find == INVALID_HANDLE_VALUE) continue;
      do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        files_.push_back(folder + L"\\" + found.cFileName);
        SendMessageW(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(found.cFileName));
      } while (FindNextFileW(find, &found));
      FindClose(find);
    }
  }

  void LoadOne(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    const std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    if (StartsWithNoCase(name, L"in_")) {
      EditInputPlugins([&](CDllInputList& l) { l.Add(path, host().winamp()); });
      RefreshInputsOutput();
    } else if (StartsWithNoCase(name, L"out_")) {
      OutputPlugins().Add(path, host().winamp());
      RefreshInputsOutput();
    } else if (StartsWithNoCase(name, L"gen_")) {
      GeneralPlugins().Add(path, host().winamp());
    }
  }

  std::vector<std::wstring> files_;
};

}  // namespace

std::unique_ptr<CPrefsPage> MakePluginsPage() { return std::make_unique<CSettingsDialogPlugins>(); }

}  // namespace zul
