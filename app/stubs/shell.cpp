// Replaced by the tray tooltip, main menu, skins, hotkeys, tool windows,
// update checker and now-playing export as each arrives.
#include "app/capability_stubs.h"

#include "base/console_log.h"

namespace zul {

#define NOT_YET(what) ZUL_LOG(L"%hs: %hs is not part of this build yet", __func__, what)

void InstallMenuHook() { NOT_YET("the main menu"); }
void RemoveMenuHook() { NOT_YET("the main menu"); }
void CreateTrayTooltip(HWND) { NOT_YET("the tray tooltip"); }
void ApplySkin(const Settings&) { NOT_YET("skin loading"); }
void CreateToolWindows(HWND) { NOT_YET("the MiniBar, playlist and video windows"); }
void ShowStartupWindows(HWND, const Settings&) { NOT_YET("the MiniBar, playlist and equalizer windows"); }
void RunUpdateCheck(HWND) { NOT_YET("the update checker"); }
// The timers fire several times a second: they stay quiet until filled.
void OnDisplayTimer() {}  // tray tooltip and position display
void OnExportTimer() {}   // now-playing export
void FinishPlaylistWindow() { NOT_YET("the playlist window"); }
void WriteNowPlayingExit() { NOT_YET("the now-playing export"); }
void ReleaseSkinPictures() { NOT_YET("skins"); }
void DestroyToolWindows() { NOT_YET("the tool windows"); }
void ShowVolumeOnMiniBar(int) {}
void UpdateNowPlayingExport() {}
void RefreshPlaylistWindowIfVisible() {}
void ShowTrackTooltip() {}
void ChangeSkinAfterTrack(Settings&) { NOT_YET("skins"); }
void OpenPreferences(int, void*) { NOT_YET("the preferences dialog"); }
void ShowEqualizerWindow() { NOT_YET("the equalizer window"); }
void TogglePlaylistWindow() { NOT_YET("the playlist window"); }
void ShowPlaylistWindow() { NOT_YET("the playlist window"); }
HWND PlaylistWindowHandle() { return nullptr; }
void ShowAboutDialog() { NOT_YET("the about dialog"); }
void ShowMainMenuAtCursor() { NOT_YET("the main menu"); }
void ToggleMiniBar() { NOT_YET("the MiniBar"); }
void* VideoOutputObject() { return nullptr; }
bool VideoWindowVisible() { return false; }
bool VideoFullScreen() { return false; }
SIZE VideoOpenSize() { return SIZE{0, 0}; }
std::wstring VideoInfoText() { return {}; }
void CopyNowPlayingToClipboard() { NOT_YET("the now-playing text"); }
void ShowTracksMenuAtCursor(bool) { NOT_YET("the tracks menus"); }
HWND CreateEmbeddedWindow(void*) {
  NOT_YET("embedded plug-in windows");
  return nullptr;
}

}  // namespace zul
