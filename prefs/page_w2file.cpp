// "W2FILE": the now-playing export to a file or an FTP server.
#include <windows.h>

#include <commdlg.h>

#include "prefs/pages.h"
#include "resources/prefs_resource.h"

namespace zul {
namespace {

class CSettingsDialogW2File final : public CPrefsPage {
public:
  CSettingsDialogW2File() : CPrefsPage(IDD_PAGE_W2FILE, L"W2FILE") {}

  void Load(const Settings& s) override {
    SetCheck(IDC_W2F_ENABLE, s.w2fEnabled);
    SetText(IDC_W2F_FILE, s.w2fFile);
    SetCheck(IDC_W2F_OEM, s.w2fOem);
    SetCheck(IDC_W2F_DELETE, s.w2fDelete);
    SetCheck(IDC_W2F_FTP, s.w2fFtp);
    SetText(IDC_W2F_SITE, s.w2fSite);
    SetText(IDC_W2F_USER, s.w2fUser);
    SetText(IDC_W2F_PASSWORD, s.w2fPassword);
    SetText(IDC_W2F_PLAY, s.w2fPlay);
    SetText(IDC_W2F_PAUSE, s.w2fPause);
    SetText(IDC_W2F_STOP, s.w2fStop);
    SetText(IDC_W2F_EXIT, s.w2fExit);
  }

  void Store(Settings& s) override {
    s.w2fEnabled = Checked(IDC_W2F_ENABLE);
    s.w2fFile = Text(IDC_W2F_FILE);
    s.w2fOem = Checked(IDC_W2F_OEM);
    s.w2fDelete = Checked(IDC_W2F_DELETE);
    s.w2fFtp = Checked(IDC_W2F_FTP);
    s.w2fSite = Text(IDC_W2F_SITE);
    s.w2fUser = Text(IDC_W2F_USER);
    s.w2fPassword = Text(IDC_W2F_PASSWORD);
    s.w2fPlay = Text(IDC_W2F_PLAY);
    s.w2fPause = Text(IDC_W2F_PAUSE);
    s.w2fStop = Text(IDC_W2F_STOP);
    s.w2fExit = Text(IDC_W2F_EXIT);
  }

  bool OnCommand(int id, int code) override {
    if (id != IDC_W2F_BROWSE) return false;
    wchar_t file[MAX_PATH] = L"";
    lstrcpynW(file, Text(IDC_W2F_FILE).c_str(), MAX_PATH);
    OPENFILENAMEW ofn{sizeof ofn};
    ofn.hwndOwner = hwnd();
    ofn.lpstrFilter = L"Text files (*.txt)\0*.txt\0All files\0*.*\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    if (GetSaveFileNameW(&ofn)) SetText(IDC_W2F_FILE, file);
    return true;
  }
};

}  // namespace

std::unique_ptr<CPrefsPage> MakeW2FilePage() { return std::make_unique<CSettingsDialogW2File>(); }

}  // namespace zul
