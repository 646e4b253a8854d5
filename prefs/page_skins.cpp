// "Apparence::Skins": the list of skin files, filled from a folder the user
// browses to, and the skin-change switches.
#include <windows.h>

#include <shlobj.h>

#include <algorithm>

#include "prefs/pages.h"
#include "resources/prefs_resource.h"

namespace zul {
namespace {

bool IsSkinFile(const std::wstring& name) {
  const size_t dot = name.rfind(L'.');
  if (dot == std::wstring::npos) return false;
  const std::wstring ext = name.substr(dot);
  return lstrcmpiW(ext.c_str(), L".sk2") == 0 || lstrcmpiW(ext.c_str(), L".skn") == 0;
}

void FindSkins(const std::wstring& folder, bool recurse, std::vector<std::wstring>& out, int depth = 0) {
  if (depth > 16) return;  // a junction that loops back
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (recurse) FindSkins(folder + L"\\" + name, recurse, out, depth + 1);
    } else if (IsSkinFile(name)) {
      out.push_back(folder + L"\\" + name);
    }
  } while (FindNextFileW(find, &found));
  FindClose(find);
}

class CSettingsDialogApparenceSkins final : public CPrefsPage {
public:
  CSettingsDialogApparenceSkins() : CPrefsPage(IDD_PAGE_SKINS, L"Apparence::Skins") {}

  void Load(const Settings& s) override {
    SetCheck(IDC_SK_CHANGE, s.changeSkinOnEachTrack);
    SetCheck(IDC_SK_RANDOM, s.randomSkin);
    skins_.clear();
    for (const std::wstring& skin : s.skins)
      if (!skin.empty() && skin != L"NONE") skins_.push_back(skin);
    selected_ = s.currentSkinSel;
    Refill();
    // Writing skin files and the tooltip preview belong to the skins and
    // the tray tooltip, which this dialog does not draw.
    EnableWindow(GetDlgItem(hwnd(), IDC_SK_SAVE), FALSE);
    EnableWindow(GetDlgItem(hwnd(), IDC_SK_LOOK), FALSE);
  }

  void Store(Settings& s) override {
    s.changeSkinOnEachTrack = Checked(IDC_SK_CHANGE);
    s.randomSkin = Checked(IDC_SK_RANDOM);
    // The list as stored ("NONE" and all) stays unless the user edited it.
    if (edited_) s.skins = skins_.empty() ? std::vector<std::wstring>{L"NONE"} : skins_;
    LRESULT sel = SendDlgItemMessageW(hwnd(), IDC_SK_LIST, LB_GETCURSEL, 0, 0);
    if (sel != LB_ERR) s.currentSkinSel = static_cast<int>(sel);
  }

  bool OnCommand(int id, int code) override {
    switch (id) {
      case IDC_SK_BROWSE:
        Browse();
        return true;
      case IDC_SK_DELETE: {
        LRESULT sel = SendDlgItemMessageW(hwnd(), IDC_SK_LIST, LB_GETCURSEL, 0, 0);
        if (sel != LB_ERR && static_cast<size_t>(sel) < skins_.size()) skins_.erase(skins_.begin() + sel);
        selected_ = 0;
        edited_ = true;
        Refill();
        return true;
      }
      case IDC_SK_DEFAULT:
        skins_.clear();
        selected_ = 0;
        edited_ = true;
        Refill();
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
    SetText(IDC_SK_DIR, folder);
    std::vector<std::wstring> found;
    FindSkins(folder, Checked(IDC_SK_SUBDIRS) != 0, found);
    for (const std::wstring& f : found)
      if (std::find(skins_.begin(), skins_.end(), f) == skins_.end()) skins_.push_back(f);
    edited_ = true;
    Refill();
  }

  void Refill() {
    HWND list = GetDlgItem(hwnd(), IDC_SK_LIST);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const std::wstring& skin : skins_) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(skin.c_str()));
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(selected_), 0);
  }

  std::vector<std::wstring> skins_;
  int selected_ = 0;
  bool edited_ = false;
};

}  // namespace

std::unique_ptr<CPrefsPage> MakeSkinsPage() { return std::make_unique<CSettingsDialogApparenceSkins>(); }

}  // namespace zul
