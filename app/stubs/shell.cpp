// Replaced by the tray tooltip, main menu, skins, tool windows, update
// checker and now-playing export as each arrives.
#include "app/pending_windows.h"

#include "app/eqwin_windows.h"
#include "app/playlist_windows.h"
#include "base/console_log.h"

namespace zul {

#define NOT_YET(what) ZUL_LOG(L"%hs: %hs is not part of this build yet", __func__, what)

void PendingWindows::CreateToolWindows(HWND owner) {
  CreatePlaylistWindows(owner);
  NOT_YET("the MiniBar");
  CreateEqualizerInfoVideoWindows(owner);
}
void PendingWindows::ShowStartupWindows(HWND winamp, Settings& s) {
  ShowPlaylistStartupWindows(winamp, s);
  NOT_YET("the MiniBar");
  ShowEqualizerInfoVideoAtStartup(winamp, s);
}
void PendingWindows::DestroyToolWindows() {
  DestroyPlaylistWindows();
  DestroyEqualizerInfoVideoWindows();
}
void PendingWindows::ShowVolumeOnMiniBar(int) {}
void PendingWindows::ShowAboutDialog() { NOT_YET("the about dialog"); }
void PendingWindows::ToggleMiniBar() { NOT_YET("the MiniBar"); }

}  // namespace zul
