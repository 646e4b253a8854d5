#pragma once
// The emulated Winamp main window (class "Winamp v1.x", title " - Winamp"):
// the window every plug-in gets as its main window, and the window every
// playback command is sent to.
//
// Threads: UI thread. Plug-ins on other threads reach it with SendMessage,
// which the system marshals to the UI thread.
#include <windows.h>

#include "ui/window_base.h"

namespace zul {

class CMainWnd;

inline constexpr wchar_t kWinampClass[] = L"Winamp v1.x";

class CWAEmuWnd : public WindowBase {
public:
  explicit CWAEmuWnd(CMainWnd& mainWnd) : mainWnd_(mainWnd) {}
  static bool RegisterWindowClass();
  static void UnregisterWindowClass();
  bool CreateHidden();

private:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  LRESULT OnCommand(UINT id);
  LRESULT OnIpc(WPARAM data, LPARAM ipc);

  CMainWnd& mainWnd_;
};

}  // namespace zul
