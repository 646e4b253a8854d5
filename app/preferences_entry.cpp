// The preferences dialog's place in the shell: what it edits (the settings
// in memory, the hotkeys, the plug-in pages the Winamp window holds) and
// the restart it may ask for.
#include <memory>

#include "app/hotkeys.h"
#include "app/messages.h"
#include "app/pending_windows.h"
#include "base/console_log.h"
#include "base/program_paths.h"
#include "base/settings.h"
#include "pluginhost/winamp_window/wa_emu_wnd.h"
#include "prefs/settings_dialog.h"

namespace zul {

class CPreferencesEntry final : public PrefsHost {
public:
  CPreferencesEntry(HWND mainWnd, HWND winamp, Settings& settings, const ProgramPaths& paths)
      : mainWnd_(mainWnd), winamp_(winamp), settings_(settings), paths_(paths), dialog_(*this) {}

  CSettingsDialog& dialog() { return dialog_; }

  Settings& settings() override { return settings_; }
  HWND winamp() override { return winamp_; }
  const std::wstring& programFile() override { return paths_.exe; }
  void SuspendHotkeys() override {
    UnregisterHotkeys(mainWnd_);
    ZUL_LOG(L"Hotkeys let go while they are edited");
  }
  void ResumeHotkeys() override {
    RegisterHotkeys(mainWnd_, settings_);
    ZUL_LOG(L"Hotkeys registered again");
  }

  std::vector<_prefsDlgRec*> PluginPages() override {
    // The Winamp window's object is bound to its handle by the window base.
    auto* window = dynamic_cast<CWAEmuWnd*>(WindowBase::FromHandle(winamp_));
    return window ? window->prefsPages() : std::vector<_prefsDlgRec*>{};
  }

  void Restart() override {
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION process{};
    std::wstring command = L"\"" + paths_.exe + L"\" -restart";
    if (CreateProcessW(paths_.exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &process)) {
      CloseHandle(process.hThread);
      CloseHandle(process.hProcess);
    } else {
      ZUL_LOG(L"The program could not be started again (%lu)", GetLastError());
      return;
    }
    // Posted: the dialog that asked returns before the quit closes it.
    PostMessageW(mainWnd_, WM_COMMAND, ID_MENU_EXIT, 0);
  }

private:
  HWND mainWnd_;
  HWND winamp_;
  Settings& settings_;
  const ProgramPaths& paths_;
  CSettingsDialog dialog_;
};

PendingWindows::PendingWindows() = default;
PendingWindows::~PendingWindows() = default;

void PendingWindows::AttachPreferences(HWND mainWnd, HWND winamp, Settings& settings, const ProgramPaths& paths) {
  preferences_ = std::make_unique<CPreferencesEntry>(mainWnd, winamp, settings, paths);
}

void PendingWindows::OpenPreferences(int page, void* pluginPage) {
  if (preferences_) preferences_->dialog().Open(page, pluginPage);
}

void PendingWindows::ClosePreferences() {
  if (preferences_) preferences_->dialog().Close();
}

}  // namespace zul
