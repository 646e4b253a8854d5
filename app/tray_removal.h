#pragma once
// Removes the tray icon at quit without making the quit wait for the shell.
//
// Shell_NotifyIconW sends the request to the shell's tray window and waits
// for its reply. The request is delivered at once, but the reply can come
// late: when ours was the last icon, Wine's tray hides its own window and
// its X11 driver then waits up to 2 s for a window manager to confirm it
// (there is none under a bare X server), and a hung shell never answers.
// The quit needs the delivery, not the reply, so the request goes out on a
// thread of its own and the process end waits only until it is on its way.
//
// Threads: Start and the destructor on the UI thread.
#include <windows.h>

#include "base/win32_handles.h"

namespace zul {

class TrayIconRemoval {
public:
  TrayIconRemoval() = default;
  TrayIconRemoval(const TrayIconRemoval&) = delete;
  TrayIconRemoval& operator=(const TrayIconRemoval&) = delete;
  // Waits until the request has been handed to the shell (see Finish).
  ~TrayIconRemoval();

  // Sends NIM_DELETE for the icon (owner, id) from a new thread. Without a
  // thread it is sent from this one, reply and all.
  void Start(HWND owner, UINT id);
  // Waits until the sending thread has entered Shell_NotifyIconW and then
  // a little while for the reply; a late reply is not waited for.
  void Finish();

private:
  UniqueHandle thread_;
  UniqueHandle sending_;
};

}  // namespace zul
