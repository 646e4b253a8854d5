#pragma once
// Start-up and shutdown steps whose work belongs to capabilities that are
// not in the program yet. Each is called from its place in the start-up or
// quit order, logs that it did nothing, and is replaced by the capability
// named in its comment.
#include <windows.h>

#include <string>

namespace zul {

struct Settings;

void InstallMenuHook();              // main menu: sub-menu placement hook
void RemoveMenuHook();               // main menu
void CreateTrayTooltip(HWND owner);  // tray icon: HTML tooltip window
void ApplySkin(const Settings& s);   // skins
void CreateToolWindows(HWND owner);  // MiniBar, playlist and video windows
void RestoreLastPlaylist(const std::wstring& playlistPath,
                         Settings& s);  // playlist files (stores the sort template and current index back)
void RunAutomation();                   // playlist maintenance
void ShowStartupWindows(HWND winamp, const Settings& s);  // MiniBar, playlist and equalizer windows
void RunUpdateCheck(HWND owner);                          // update checker
void OnDisplayTimer();                                    // tray tooltip and position display
void OnExportTimer();                                     // now-playing export
void OnAutomationTimer();                                 // playlist maintenance
void StopPlaylistWorkers();                               // playlist: tag reader and automation pass
void FinishPlaylistWindow();                              // playlist window
void SaveLastPlaylist(const std::wstring& playlistPath);  // playlist files
void WriteNowPlayingExit();                               // now-playing export
void ReleaseSkinPictures();                               // skins
void DestroyToolWindows();                                // automation, preferences, video and equalizer windows
void LoadFolderAsync(const std::wstring& folder, bool replace, bool randomFirst, bool play);      // playlist files
void LoadPlaylistFileAsync(const std::wstring& file, bool replace, bool randomFirst, bool play);  // playlist files

// Window calls of the playback controller and the Winamp window whose
// windows come later. The quiet ones run on every track or volume change.
void ShowVolumeOnMiniBar(int volume);              // MiniBar (quiet)
void UpdateNowPlayingExport();                     // now-playing export (quiet)
void RefreshPlaylistWindowIfVisible();             // playlist window (quiet)
void ShowTrackTooltip();                           // tray tooltip (quiet)
void ChangeSkinAfterTrack(Settings& s);            // skins
void OpenPreferences(int page, void* pluginPage);  // preferences dialog
void ShowEqualizerWindow();                        // equalizer window
void TogglePlaylistWindow();                       // playlist window
void ShowPlaylistWindow();                         // playlist window
HWND PlaylistWindowHandle();                       // playlist window (nullptr until it exists)
void ShowAboutDialog();                            // about dialog
void ShowMainMenuAtCursor();                       // main menu
void ToggleMiniBar();                              // MiniBar
void* VideoOutputObject();                         // video output (nullptr until it exists)
bool VideoWindowVisible();                         // video output
bool VideoFullScreen();                            // video output
SIZE VideoOpenSize();                              // video output: w and h of the last open ({0, 0} before one)
std::wstring VideoInfoText();                      // video output: the text plug-ins set (VIDUSER_SET_INFOSTRING)
HWND CreateEmbeddedWindow(void* state);            // embedded plug-in windows
void CopyNowPlayingToClipboard();                  // tray tooltip texts
void ShowTracksMenuAtCursor(bool album);           // main menu: tracks or album tracks

}  // namespace zul
