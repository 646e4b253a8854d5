// Replaced by the tray tooltip, main menu, skins, tool windows, update
// checker and now-playing export as each arrives.
#include "app/pending_windows.h"

#include "app/eqwin_windows.h"
#include "base/console_log.h"

namespace zul {

#define NOT_YET(what) ZUL_LOG(L"%hs: %hs is not part of this build yet", __func__, what)

void PendingWindows::CreateToolWindows(HWND owner) {
  NOT_YET("the MiniBar and playlist windows");
  CreateEqualizerInfoVideoWindows(owner);
}
void PendingWindows::ShowStartupWindows(HWND winamp, const Settings& s) {
  NOT_YET("the MiniBar and playlist windows");
  ShowEqualizerInfoVideoAtStartup(winamp, s);
}
void PendingWindows::FinishPlaylistWindow() { NOT_YET("the playlist window"); }
void PendingWindows::DestroyToolWindows() {
  NOT_YET("the automation and preferences windows");
  DestroyEqualizerInfoVideoWindows();
}
void PendingWindows::ShowVolumeOnMiniBar(int) {}
void PendingWindows::RefreshPlaylistWindowIfVisible() {}
void PendingWindows::TogglePlaylistWindow() { NOT_YET("the playlist window"); }
void PendingWindows::ShowPlaylistWindow() { NOT_YET("the playlist window"); }
HWND PendingWindows::PlaylistWindowHandle() { return nullptr; }
void PendingWindows::ShowAboutDialog() { NOT_YET("the about dialog"); }
void PendingWindows::ToggleMiniBar() { NOT_YET("the MiniBar"); }

}  // namespace zul
