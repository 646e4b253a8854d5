#include "app/capability_stubs.h"

#include "app/console_log.h"

namespace zul {

#define NOT_YET(what) ZUL_LOG(L"%hs: %hs is not part of this build yet", __func__, what)

void InstallMenuHook() { NOT_YET("the main menu"); }
void RemoveMenuHook() { NOT_YET("the main menu"); }
void CreateTrayTooltip(HWND) { NOT_YET("the tray tooltip"); }
void ApplySkin(const Settings&) { NOT_YET("skin loading"); }
void BuildShuffleOrder() { NOT_YET("the playback controller"); }
void OpenVolumeMixer() { NOT_YET("the playback controller"); }
void RegisterHotkeys(HWND, const Settings&) { NOT_YET("global hotkeys"); }
void CreateToolWindows(HWND) { NOT_YET("the MiniBar, playlist and video windows"); }
void LoadInputPlugins(HWND) { NOT_YET("the plug-in host"); }
void InitEqualizer(const Settings&) { NOT_YET("the equalizer"); }
void LoadOutputPlugins(HWND) { NOT_YET("the plug-in host"); }
void LoadGeneralPlugins(HWND) { NOT_YET("the plug-in host"); }
void StartGeneralPlugins() { NOT_YET("the plug-in host"); }
void RestoreLastPlaylist(const std::wstring&, const Settings&) { NOT_YET("the playlist"); }
void RunAutomation() { NOT_YET("the playlist automation"); }
void ShowStartupWindows(HWND, const Settings&) { NOT_YET("the MiniBar, playlist and equalizer windows"); }
void RunUpdateCheck(HWND) { NOT_YET("the update checker"); }
// The timers fire several times a second: they stay quiet until filled.
void OnDisplayTimer() {}     // tray tooltip and position display
void OnExportTimer() {}      // now-playing export
void OnAutomationTimer() {}  // playlist maintenance
void StopPlaylistWorkers() { NOT_YET("the playlist workers"); }
void FinishPlaylistWindow() { NOT_YET("the playlist window"); }
void SaveLastPlaylist(const std::wstring&) { NOT_YET("the playlist"); }
void WriteNowPlayingExit() { NOT_YET("the now-playing export"); }
void ReleaseSkinPictures() { NOT_YET("skins"); }
void DestroyToolWindows() { NOT_YET("the tool windows"); }
void UnloadPlugins() {}  // plug-in host; the console is gone by then
void LoadFolderAsync(const std::wstring& folder, bool, bool, bool) {
  ZUL_LOG(L"LoadFolder %s: the playlist is not part of this build yet", folder.c_str());
}
void LoadPlaylistFileAsync(const std::wstring& file, bool, bool, bool) {
  ZUL_LOG(L"LoadPlaylistFile %s: the playlist is not part of this build yet", file.c_str());
}
void AddOneTrack(const std::wstring& file, bool) {
  ZUL_LOG(L"AddOneTrack %s: the playlist is not part of this build yet", file.c_str());
}

}  // namespace zul
