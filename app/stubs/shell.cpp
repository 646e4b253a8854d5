// Replaced by the tray tooltip, main menu, skins, tool windows, update
// checker and now-playing export as each arrives.
#include "app/pending_windows.h"

#include "app/playlist_windows.h"
#include "base/console_log.h"

namespace zul {

#define NOT_YET(what) ZUL_LOG(L"%hs: %hs is not part of this build yet", __func__, what)

void PendingWindows::InstallMenuHook() { NOT_YET("the main menu"); }
void PendingWindows::RemoveMenuHook() { NOT_YET("the main menu"); }
void PendingWindows::CreateTrayTooltip(HWND) { NOT_YET("the tray tooltip"); }
void PendingWindows::ApplySkin(const Settings&) { NOT_YET("skin loading"); }
void PendingWindows::CreateToolWindows(HWND owner) {
  CreatePlaylistWindows(owner);
  NOT_YET("the MiniBar and video windows");
}
void PendingWindows::ShowStartupWindows(HWND winamp, Settings& s) {
  ShowPlaylistStartupWindows(winamp, s);
  NOT_YET("the MiniBar and equalizer windows");
}
void PendingWindows::RunUpdateCheck(HWND) { NOT_YET("the update checker"); }
void PendingWindows::OnDisplayTimer() {}
void PendingWindows::OnExportTimer() {}
void PendingWindows::WriteNowPlayingExit() { NOT_YET("the now-playing export"); }
void PendingWindows::ReleaseSkinPictures() { NOT_YET("skins"); }
void PendingWindows::DestroyToolWindows() {
  DestroyPlaylistWindows();
  NOT_YET("the other tool windows");
}
void PendingWindows::ShowVolumeOnMiniBar(int) {}
void PendingWindows::UpdateNowPlayingExport() {}
void PendingWindows::ShowTrackTooltip() {}
void PendingWindows::ChangeSkinAfterTrack(Settings&) { NOT_YET("skins"); }
void PendingWindows::OpenPreferences(int, void*) { NOT_YET("the preferences dialog"); }
void PendingWindows::ShowEqualizerWindow() { NOT_YET("the equalizer window"); }
void PendingWindows::ShowAboutDialog() { NOT_YET("the about dialog"); }
void PendingWindows::ShowMainMenuAtCursor() { NOT_YET("the main menu"); }
void PendingWindows::ToggleMiniBar() { NOT_YET("the MiniBar"); }
void* PendingWindows::VideoOutputObject() { return nullptr; }
bool PendingWindows::VideoWindowVisible() { return false; }
bool PendingWindows::VideoFullScreen() { return false; }
SIZE PendingWindows::VideoOpenSize() { return SIZE{0, 0}; }
std::wstring PendingWindows::VideoInfoText() { return {}; }
void PendingWindows::CopyNowPlayingToClipboard() { NOT_YET("the now-playing text"); }
void PendingWindows::ShowTracksMenuAtCursor(bool) { NOT_YET("the tracks menus"); }
HWND PendingWindows::CreateEmbeddedWindow(void*) {
  NOT_YET("embedded plug-in windows");
  return nullptr;
}

}  // namespace zul
