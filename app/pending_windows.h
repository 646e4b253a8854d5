#pragma once
// The shell's windows and services that later work builds: tray tooltip,
// main menu, skins, MiniBar, playlist, equalizer and video windows,
// preferences and about dialogs, embedded plug-in windows, now-playing
// export and update checker. Each keeps its named entry point here, called
// from its place in the start-up and quit order or by the window or command
// that needs it; until it is built, a call logs that it is not part of this
// build (the quiet ones, which run on every track, tick or volume change,
// log nothing) and a question answers "none". Each capability replaces its
// entry points with the real thing as it arrives.
//
// Threads: UI thread.
#include <windows.h>

#include <memory>
#include <string>

#include "pluginhost/winamp_window/winamp_shell.h"

namespace zul {

struct Settings;
class TrayShell;
struct ProgramPaths;
class CPreferencesEntry;

class PendingWindows final : public ShellWindows {
public:
  // Start-up steps of the main window.
  void InstallMenuHook();                                   // main menu: sub-menu placement hook
  void CreateTrayTooltip(HWND owner);                       // tray icon: HTML tooltip window
  void ApplySkin(const Settings& s);                        // skins
  void CreateToolWindows(HWND owner);                       // MiniBar, playlist and video windows
  void ShowStartupWindows(HWND winamp, Settings& s);        // MiniBar, playlist and equalizer windows
  void RunUpdateCheck(HWND owner);                          // update checker
  void AttachNowPlaying(WinampShell& shell, HWND mainWnd);  // now-playing export: starts timer 11
  // Timers of the main window; they fire several times a second (quiet).
  void OnDisplayTimer();  // tray tooltip and position display
  void OnExportTimer();   // now-playing export
  // Quit steps.
  void FinishPlaylistWindow();  // playlist window
  void WriteNowPlayingExit();   // now-playing export
  void ReleaseSkinPictures();   // skins
  void DestroyToolWindows();    // automation, preferences, video and equalizer windows
  void RemoveMenuHook();        // main menu

  // Calls of the playback controller and the hotkeys.
  void ShowVolumeOnMiniBar(int volume);     // MiniBar (quiet)
  void UpdateNowPlayingExport();            // now-playing export (quiet)
  void ChangeSkinAfterTrack(Settings& s);   // skins
  void CopyNowPlayingToClipboard();         // tray tooltip texts
  void ShowTracksMenuAtCursor(bool album);  // main menu: tracks or album tracks
  void ShowSortTemplateDialog();            // main menu 753
  void ShowAutomationDialog();              // main menu 563

  // The preferences dialog: what it edits, and its end at the quit.
  void AttachPreferences(HWND mainWnd, HWND winamp, Settings& settings, const ProgramPaths& paths);
  void ClosePreferences();

  // The Winamp window's.
  void OpenPreferences(int page, void* pluginPage) override;
  void ShowEqualizerWindow() override;
  void TogglePlaylistWindow() override;
  void ShowPlaylistWindow() override;
  void RefreshPlaylistWindowIfVisible() override;
  HWND PlaylistWindowHandle() override;
  void ShowAboutDialog() override;
  void ShowMainMenuAtCursor() override;
  void ToggleMiniBar() override;
  void ShowTrackTooltip() override;
  void* VideoOutputObject() override;
  bool VideoWindowVisible() override;
  bool VideoFullScreen() override;
  SIZE VideoOpenSize() override;
  std::wstring VideoInfoText() override;
  HWND CreateEmbeddedWindow(void* state) override;

  // The tray icon, main menu, skins and tooltip behind their entry points.
  void AttachTray(TrayShell* tray) { tray_ = tray; }

  PendingWindows();
  ~PendingWindows();

private:
  TrayShell* tray_ = nullptr;
  std::unique_ptr<CPreferencesEntry> preferences_;
};

}  // namespace zul
