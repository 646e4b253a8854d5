#pragma once
// The emulated Winamp main window (class "Winamp v1.x", title " - Winamp"):
// the window every plug-in gets as its main window, and the window every
// playback command is sent to.
//
// Its title has Winamp's form, "<position>. <title> - Winamp" with
// " [Paused]" or " [Stopped]" appended: plug-ins and remote controls parse it
// to learn what plays (a disk writer names its files after it).
//
// Requests that carry pointers (records, buffers, texts, callbacks) may come
// from any process: every access through them goes through caller_memory.h,
// and a pointer that names no usable memory is refused with 0.
//
// Threads: UI thread. Plug-ins on other threads reach it with SendMessage,
// which the system marshals to the UI thread. Answers that are pointers into
// the window's buffers stay valid until the next request of the same kind.
#include <windows.h>

#include <string>
#include <vector>

#include "base/win32_handles.h"
#include "pluginhost/protocol/prefs_page_record.h"
#include "pluginhost/winamp_window/winamp_shell.h"
#include "ui/window_base.h"

namespace zul {

inline constexpr wchar_t kWinampClass[] = L"Winamp v1.x";

class CWAEmuWnd : public WindowBase {
public:
  explicit CWAEmuWnd(WinampShell& shell);
  // Frees the generic skin bitmap.
  ~CWAEmuWnd() override;
  static bool RegisterWindowClass();
  static void UnregisterWindowClass();
  bool CreateHidden();

  // Preferences pages plug-ins added, in order (shown by the preferences dialog).
  const std::vector<_prefsDlgRec*>& prefsPages() const { return prefsPages_; }

private:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  // false: not one of the Winamp commands (default processing).
  bool OnCommand(UINT id);
  LRESULT OnIpc(WPARAM data, LPARAM ipc);
  // Window messages 100 and 1100: lParam points to a record whose first
  // member points to the path.
  LRESULT OnPlayFileMessage(UINT msg, LPARAM record);
  LRESULT AddPrefsPage(WPARAM record);
  LRESULT EmbedWindowRequest(WPARAM state);
  // Winamp's title form for the current entry and state.
  // readTags: the timer may read the entry's tags; a request must not, since
  // the plug-in that sent it may be the one that reads them.
  std::wstring TitleText(bool readTags);
  // Also runs the title timer while a track plays, and only then: paused or
  // stopped, nothing changes the title but a command or a change of the
  // playlist, and whoever reads the title gets it refreshed (WM_GETTEXT).
  void RefreshTitle(bool readTags = false);
  void RunTitleTimer(bool run);
  LRESULT RegisterIpcName(WPARAM name);
  BOOL OnCopyData(const COPYDATASTRUCT* data);
  void PlayFileRequest(const std::wstring& path);
  void AddOrRefreshEntry(const std::wstring& path);
  void UpdateTitle();
  LRESULT ExtendedFileInfo(WPARAM record);
  LRESULT FormatTitleRequest(WPARAM record);
  LRESULT ExtensionList();
  void WriteGenericSkinFile();
  // Copies text into one of the fixed answer buffers (ANSI, 5000 bytes).
  const char* Answer(std::string& buffer, const std::wstring& text);

  WinampShell& shell_;
  std::string iniFile_, iniDirectory_, pluginDirectory_;
  std::wstring iniFileW_, iniDirectoryW_, pluginDirectoryW_;
  std::vector<std::string> ipcNames_;
  std::vector<_prefsDlgRec*> prefsPages_;
  std::string tempDirectory_;
  std::string playlistFileAnswer_, playlistTitleAnswer_, videoInfoAnswer_, extendedInfoAnswer_;
  int pan_ = 0;
  bool titleTimer_ = false;
  bool refreshingTitle_ = false;          // RefreshTitle reads the shown title itself
  UniqueGdiObject<HBITMAP> genericSkin_;  // loaded on first request, kept for the process
};

}  // namespace zul
