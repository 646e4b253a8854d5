#pragma once
// The main window: a hidden top-level list box titled "ZUL" that is the log
// console and owns the settings in memory, the tray icon, the timers and the
// start-up flags. It runs the first start-up stage in its WM_CREATE and the
// quit sequence when the Winamp window receives the quit command. It is the
// shell the Winamp window asks for settings, playback and the later windows.
//
// Threads: UI thread only (other threads reach the console via console_log).
#include <windows.h>

#include <string>

#include "app/pending_windows.h"
#include "app/playback_controller.h"
#include "app/tray/tray_shell.h"
#include "app/tray_removal.h"
#include "base/module_context.h"
#include "base/settings.h"
#include "base/win32_handles.h"
#include "pluginhost/winamp_window/winamp_shell.h"
#include "ui/window_base.h"

namespace zul {

class CMainWnd final : public WindowBase, public WinampShell {
public:
  // paths outlives the window.
  CMainWnd(const ProgramPaths& paths, UINT instanceMessage);
  ~CMainWnd() override;

  bool CreateConsoleWindow();
  void SetWinampWindow(HWND winamp);

  // Second start-up stage, after every window exists.
  void SecondStage();
  // What the modules' steps are given; complete once the Winamp window is set.
  ModuleContext Modules() { return ModuleContext{paths_, winamp_, settings_}; }

  // WinampShell
  Settings& settings() override { return settings_; }
  HMENU mainMenu() override { return mainMenu_.Get(); }
  ShellWindows& windows() override { return windows_; }
  bool RunPlaybackCommand(UINT id) override { return playback_.OnWinampCommand(id); }
  void Seek(int deltaMs) override { playback_.Seek(deltaMs); }
  void PlayFileRequest(const std::wstring& path) override { playback_.PlayFileRequest(path); }
  PlayState PlayingState() override { return playback_.PlayingState(); }
  int Volume() override { return playback_.Volume(); }
  void SetVolume(int volume) override { playback_.SetVolume(volume); }
  void EndOfTrack() override { playback_.EndOfTrack(); }
  void RunQuitSequence() override;
  void OpenUrlDialog() override;
  void SavePlaylistNow() override;

private:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void FirstStage();
  BOOL OnCopyData(const COPYDATASTRUCT* data);
  void OnCommand(UINT id);
  void ShowConsoleMenu(POINT at);
  void CopyConsoleToClipboard();
  void ShowConsole(bool show);
  bool ConsoleTopmost() const;
  void SetConsoleTopmost(bool topmost);
  void SendQuitCommand();
  void StopPlaybackForQuit();
  void SaveEverything(std::vector<ProfileEdit>& edits);
  void OnHotkey(int id);

  const ProgramPaths& paths_;
  UINT instanceMessage_;
  HWND winamp_ = nullptr;
  Settings settings_;
  PendingWindows windows_;
  PlaybackController playback_{settings_, windows_};
  bool running_ = false;
  bool fullyStarted_ = false;
  TrayShell tray_;               // the tray icon, main menu, skin and tooltip
  TrayIconRemoval trayRemoval_;  // the quit's; waited for when the window object goes
  DWORD startTick_ = 0;
  UniqueMenu mainMenu_;
  UniqueMenu consoleMenu_;
  HICON icon32_ = nullptr;
  HICON icon16_ = nullptr;
  UniqueGdiObject<HFONT> font_;
};

}  // namespace zul
