// "General": the "Additional" switches, tracks per column, the language,
// and the shell integration (file types, folder and drive verbs), which is
// written to the registry when the dialog applies and read back from it
// when the page opens.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cwctype>
#include <set>

#include "pluginhost/host/plugin_lists.h"
#include "prefs/advanced_settings.h"
#include "prefs/pages.h"
#include "prefs/settings_dialog.h"
#include "prefs/shell_integration/shell_verbs.h"
#include "resources/prefs_resource.h"
#include "services/translation/translation_text.h"
#include "services/translation/translator.h"

namespace zul {
namespace {

struct Switch {
  int id;
  int Settings::*field;
};
constexpr Switch kSwitches[] = {
    {IDC_GEN_GRADIENT_BAR, &Settings::showGradientBar}, {IDC_GEN_GRAPHICAL_BUTTONS, &Settings::graphicalButtons},
    {IDC_GEN_XP_LOOK, &Settings::xpLookAndFeel},        {IDC_GEN_TRACKS_MENU, &Settings::menuTracks},
    {IDC_GEN_ALBUM_MENU, &Settings::menuAlbum},         {IDC_GEN_AUTOPLAY, &Settings::autoPlay},
    {IDC_GEN_PREVNEXT_MENU, &Settings::menuPrevNext},   {IDC_GEN_EMULATE, &Settings::emulateWinamp},
    {IDC_GEN_AUTO_UPDATE, &Settings::autoUpdate},
};

constexpr int kSkinsPage = 6;  // "Apparence::Skins" in tree order

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

class CSettingsDialogGeneral final : public CPrefsPage {
public:
  CSettingsDialogGeneral() : CPrefsPage(IDD_PAGE_GENERAL, L"General") {}

  void Load(const Settings& s) override {
    for (const Switch& sw : kSwitches) SetCheck(sw.id, s.*sw.field);
    SendDlgItemMessageW(hwnd(), IDC_GEN_TPC_SPIN, UDM_SETRANGE32, 1, 100);
    SendDlgItemMessageW(hwnd(), IDC_GEN_TPC_SPIN, UDM_SETPOS32, 0, s.tracksPerColumn);
    SetInt(IDC_GEN_TPC, s.tracksPerColumn);
    LoadLanguages(s.language);
    LoadShell();
  }

  void Store(Settings& s) override {
    for (const Switch& sw : kSwitches) s.*sw.field = Checked(sw.id);
    s.tracksPerColumn = Int(IDC_GEN_TPC, s.tracksPerColumn, 1, 100);
    const int lang = ComboIndex(IDC_GEN_LANGUAGE, -1);
    if (lang >= 0 && static_cast<size_t>(lang) < languages_.size())
      s.language = lang == 0 ? std::wstring() : languages_[static_cast<size_t>(lang)];
  }

  void Applied() override { ApplyShell(); }

  bool OnCommand(int id, int code) override {
    if (id == IDC_GEN_SKIN) {
      if (CSettingsDialog* dialog = OpenSettingsDialog()) dialog->Open(kSkinsPage, nullptr);
      return true;
    }
    if (id == IDC_GEN_SETUP) {
      ShowAdvancedSettings(hwnd(), host());
      return true;
    }
    return false;
  }

private:
  // "en" first, then every "<program>_<name>.ini" beside the program.
  void LoadLanguages(const std::wstring& current) {
    languages_ = {L"en"};
    const std::wstring& exe = host().programFile();
    const size_t dot = exe.rfind(L'.');
    const std::wstring base = dot == std::wstring::npos ? exe : exe.substr(0, dot);
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((base + L"_*.ini").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = translation::LanguageOfFile(found.cFileName);
        if (!name.empty() && std::find(languages_.begin(), languages_.end(), name) == languages_.end())
          languages_.push_back(name);
      } while (FindNextFileW(find, &found));
      FindClose(find);
    }
    int selected = 0;
    for (size_t i = 1; i < languages_.size(); ++i)
      if (languages_[i] == current) selected = static_cast<int>(i);
    // A language whose file is gone stays chosen until the user picks another.
    if (!current.empty() && selected == 0) {
      languages_.push_back(current);
      selected = static_cast<int>(languages_.size()) - 1;
    }
    FillCombo(IDC_GEN_LANGUAGE, languages_, selected);
  }

  // The extensions the input plug-ins play, and the playlist types.
  std::vector<std::wstring> OfferedExtensions() {
    std::vector<std::wstring> out;
    std::set<std::wstring> seen;
    std::wstring all = InputPlugins().BuildExtensionList() + L";m3u;pls";
    size_t start = 0;
    while (start < all.size()) {
      size_t end = all.find(L';', start);
      if (end == std::wstring::npos) end = all.size();
      std::wstring ext = Lower(all.substr(start, end - start));
      start = end + 1;
      // Only plain extension texts become registry key names.
      if (ext.empty() || ext.size() > 16 || ext.find_first_of(L"\\/*?.\" ") != std::wstring::npos) continue;
      if (seen.insert(ext).second) out.push_back(ext);
    }
    return out;
  }

  std::wstring Description(const std::wstring& ext) {
    if (ext == L"m3u" || ext == L"pls") return translator().LoadString(IDS_M3U_PLAYLIST);
    if (ext == L"wav") return translator().LoadString(IDS_RIFF_MP3);
    return translator().LoadString(IDS_MP3_AUDIO);
  }

  shell::VerbTexts Texts() {
    shell::VerbTexts t;
    t.playWith = translator().LoadString(IDS_PLAY_WITH);
    t.addToList = translator().LoadString(IDS_ADD_TO_PLAYLIST);
    t.open = translator().LoadString(IDS_VERB_OPEN);
    t.add = translator().LoadString(IDS_VERB_ADD);
    return t;
  }

  void LoadShell() {
    const std::wstring& program = host().programFile();
    HWND list = GetDlgItem(hwnd(), IDC_GEN_FILE_TYPES);
    ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    RECT r;
    GetClientRect(list, &r);
    column.cx = r.right - r.left - GetSystemMetrics(SM_CXVSCROLL);
    ListView_InsertColumn(list, 0, &column);
    extensions_ = OfferedExtensions();
    for (size_t i = 0; i < extensions_.size(); ++i) {
      std::wstring label = L"." + extensions_[i];
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(i);
      item.pszText = label.data();
      ListView_InsertItem(list, &item);
      const bool on = shell::IsAssociated(extensions_[i], program);
      ListView_SetCheckState(list, static_cast<int>(i), on);
      wasAssociated_.push_back(on);
    }
    SetCheck(IDC_GEN_FOLDER_PLAY, shell::HasFolderVerb(false, program));
    SetCheck(IDC_GEN_FOLDER_ADD, shell::HasFolderVerb(true, program));
    std::wstring defaultVerb;
    wchar_t value[32] = L"";
    LONG bytes = sizeof value;
    // The default verb of an associated type tells the box's last state.
    for (size_t i = 0; i < extensions_.size(); ++i) {
      if (!wasAssociated_[i]) continue;
      if (RegQueryValueW(HKEY_CLASSES_ROOT, (L"ZUL." + extensions_[i] + L"\\shell").c_str(), value, &bytes) ==
          ERROR_SUCCESS)
        SetCheck(IDC_GEN_ADD_DEFAULT, lstrcmpW(value, L"addzul") == 0);
      break;
    }
    folderPlay_ = Checked(IDC_GEN_FOLDER_PLAY);
    folderAdd_ = Checked(IDC_GEN_FOLDER_ADD);
  }

  void ApplyShell() {
    const std::wstring& program = host().programFile();
    HWND list = GetDlgItem(hwnd(), IDC_GEN_FILE_TYPES);
    const shell::VerbTexts texts = Texts();
    const bool addByDefault = Checked(IDC_GEN_ADD_DEFAULT) != 0;
    for (size_t i = 0; i < extensions_.size(); ++i) {
      const bool on = ListView_GetCheckState(list, static_cast<int>(i)) != 0;
      if (on)
        shell::Associate(extensions_[i], Description(extensions_[i]), addByDefault, program, texts);
      else if (wasAssociated_[i])
        shell::Dissociate(extensions_[i]);
      wasAssociated_[i] = on;
    }
    shell::SetFolderVerbs(Checked(IDC_GEN_FOLDER_PLAY) != 0, Checked(IDC_GEN_FOLDER_ADD) != 0, program, texts);
  }

  std::vector<std::wstring> languages_;
  std::vector<std::wstring> extensions_;
  std::vector<bool> wasAssociated_;
  int folderPlay_ = 0, folderAdd_ = 0;
};

}  // namespace

std::unique_ptr<CPrefsPage> MakeGeneralPage() { return std::make_unique<CSettingsDialogGeneral>(); }

}  // namespace zul
