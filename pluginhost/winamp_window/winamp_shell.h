#pragma once
// What the Winamp window asks of the program around it. The shell (app/)
// implements both interfaces, so the Winamp window sits below the shell and
// never sees its classes.
//
// Threads: UI thread, like the Winamp window that calls them.
#include <windows.h>

#include <string>

#include "pluginhost/host/play_state.h"

namespace zul {

struct Settings;

// The shell's windows and services that the Winamp window opens or asks
// about. Later work builds them; until one exists, its commands log that it
// is not part of the build and its questions answer "none".
class ShellWindows {
public:
  virtual void OpenPreferences(int page, void* pluginPage) = 0;  // preferences dialog
  virtual void ShowEqualizerWindow() = 0;
  virtual void TogglePlaylistWindow() = 0;
  virtual void ShowPlaylistWindow() = 0;
  virtual void RefreshPlaylistWindowIfVisible() = 0;  // runs on every list change: quiet
  virtual HWND PlaylistWindowHandle() = 0;            // nullptr until it exists
  virtual void ShowAboutDialog() = 0;
  virtual void ShowMainMenuAtCursor() = 0;
  virtual void ToggleMiniBar() = 0;
  virtual void ShowTrackTooltip() = 0;    // tray tooltip; runs on every stream title: quiet
  virtual void* VideoOutputObject() = 0;  // nullptr until video output exists
  virtual bool VideoWindowVisible() = 0;
  virtual bool VideoFullScreen() = 0;
  virtual SIZE VideoOpenSize() = 0;          // w and h of the last open ({0, 0} before one)
  virtual std::wstring VideoInfoText() = 0;  // the text plug-ins set (VIDUSER_SET_INFOSTRING)
  // An embedded plug-in window for the published window-state record
  // (read through caller_memory.h by the caller); nullptr when none is made.
  virtual HWND CreateEmbeddedWindow(void* state) = 0;

protected:
  ~ShellWindows() = default;
};

// The program the Winamp window belongs to: its settings, its playback and
// its own commands.
class WinampShell {
public:
  // The settings in memory; they outlive the Winamp window.
  virtual Settings& settings() = 0;
  virtual HMENU mainMenu() = 0;
  virtual ShellWindows& windows() = 0;

  // Playback. false: the command is not a playback command.
  virtual bool RunPlaybackCommand(UINT id) = 0;
  virtual void Seek(int deltaMs) = 0;
  virtual void PlayFileRequest(const std::wstring& path) = 0;
  virtual PlayState PlayingState() = 0;
  virtual int Volume() = 0;  // 0..255
  virtual void SetVolume(int volume) = 0;
  // An output plug-in reported the end of the track.
  virtual void EndOfTrack() = 0;

  // The program's own commands.
  virtual void RunQuitSequence() = 0;  // the quit command: runs once
  virtual void OpenUrlDialog() = 0;
  virtual void SavePlaylistNow() = 0;  // to the program's playlist file

protected:
  ~WinampShell() = default;
};

}  // namespace zul
