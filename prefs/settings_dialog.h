#pragma once
// The preferences dialog (CSettingsDialog): a tree of page paths on the
// left ("Apparence::Skins" is a child of "Apparence"), the chosen page on
// the right, and OK, Cancel and Apply. The built-in pages come first, then
// the pages plug-ins added, each at its "::" path.
//
// Apply (and OK) gathers every page that was opened into a copy of the
// settings, refuses the copy with a message when a rule says no (the dialog
// stays open), else makes it the settings in memory and, when a change
// needs it, offers to restart the program.
//
// The dialog is modeless: a plug-in may ask for it from inside a message
// that must return (IPC_OPENPREFSTOPAGE sends the preferences command and
// then selects a page). Its keyboard navigation comes from a message hook
// on the UI thread while it exists.
//
// Threads: UI thread.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "prefs/prefs_host.h"
#include "prefs/prefs_page.h"
#include "services/translation/translator.h"

namespace zul {

class CSettingsDialog {
public:
  explicit CSettingsDialog(PrefsHost& host);
  ~CSettingsDialog();
  CSettingsDialog(const CSettingsDialog&) = delete;
  CSettingsDialog& operator=(const CSettingsDialog&) = delete;

  // Opens the dialog, or brings it forward. page: the built-in page with
  // that number in tree order (-1: keep the current one); pluginPage: a
  // record a plug-in added, which then wins.
  void Open(int page, void* pluginPage);
  // Closes without applying (the program quits, say).
  void Close();
  bool IsOpen() const { return hwnd_ != nullptr; }
  HWND hwnd() const { return hwnd_; }

  // Before a plug-in is unloaded: its page procedures live in its DLL.
  void DropPluginPages();
  // After the plug-in lists changed: their pages may have come or gone.
  void RebuildTree();

private:
  struct PluginPage {
    _prefsDlgRec* record = nullptr;
    _prefsDlgRec copy{};
    std::wstring path;
    HWND hwnd = nullptr;
  };

  static INT_PTR CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK KeyboardHook(int code, WPARAM wParam, LPARAM lParam);
  INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  void ReadPluginPages();
  void FillTree();
  void ShowItem(LPARAM item);
  HWND CreatePluginPage(PluginPage& page);
  void Place(HWND page);
  bool Apply();
  void Finish();

  PrefsHost& host_;
  Translator translator_;
  HWND hwnd_ = nullptr;
  HHOOK hook_ = nullptr;
  std::vector<std::unique_ptr<CPrefsPage>> pages_;
  std::vector<PluginPage> pluginPages_;
  HWND shown_ = nullptr;
  LPARAM shownItem_ = 0;
  bool hotkeysSuspended_ = false;
};

// The open dialog, if any (the pages that load and unload plug-ins ask it
// to drop and rebuild the plug-ins' pages).
CSettingsDialog* OpenSettingsDialog();

}  // namespace zul
