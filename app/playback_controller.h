#pragma once
// The playback controller: what play, pause, stop, previous, next, seek and
// the volume commands do, how the end of a track picks the next one
// (sequential, album, shuffle, repeat playlist, repeat track), what happens
// at the end of the playlist, and the open and add commands.
//
// Every playback request arrives as a Winamp command on the Winamp window
// and runs here, on the UI thread; the controller drives the current input
// plug-in through the input list and the playlist through ThePlaylist().
//
// Threads: UI thread only, except the playlist hooks documented at
// InstallPlaylistHooks.
#include <windows.h>

#include <memory>
#include <string>

#include "app/playback_order.h"
#include "base/settings.h"
#include "pluginhost/host/play_state.h"
#include "pluginhost/winamp_window/system_volume.h"

namespace zul {

class PendingWindows;

class PlaybackController {
public:
  PlaybackController(Settings& settings, PendingWindows& windows);
  PlaybackController(const PlaybackController&) = delete;
  PlaybackController& operator=(const PlaybackController&) = delete;

  // Start-up: the shuffle order, the mixer (its change notifications go to
  // the main window), and the Winamp window once it exists.
  void BuildShuffleOrder();
  void OpenMixer(HWND notify);
  void SetWindows(HWND mainWnd, HWND winamp);
  // Lets playlist loads start playback and share the shuffle start.
  void InstallPlaylistHooks();

  // Winamp commands (Winamp window) and menu commands (main window).
  // Both return false for a number they do not own.
  bool OnWinampCommand(UINT id);
  bool OnMenuCommand(UINT id);

  void Play();
  void Pause();
  void Stop();
  void Next();
  void Previous();
  void Seek(int deltaMs);
  // The end of a track; after the "Gap" pause (TIMER_GAP of the main
  // window, OnGapTimer) the next track, the same one again, or the end.
  void EndOfTrack();
  void OnGapTimer();

  // The play-file request: makes the path current (appending it when it is
  // not listed), stops a playing track and plays.
  void PlayFileRequest(const std::wstring& path);
  // The play request a playlist load queued: plays the path if it is still
  // listed. A later load may have replaced the list meanwhile, or may be
  // replacing it on its thread right now; the path is never added back.
  void PlayLoadedPath(const std::wstring& path);
  // A single track from an open request: replaces the list or appends.
  void AddOneTrack(const std::wstring& path, bool add, bool play);

  // The system wave-output volume as 0..255 (0 without a mixer).
  int Volume();
  // Sets the mixer and every input plug-in's volume.
  void SetVolume(int volume);
  void OnMixerChange(HMIXER mixer, DWORD control);

  PlayState PlayingState() const;
  bool exitAfterEnd() const { return exitAfterEnd_; }
  bool turnOffAfterEnd() const { return turnOffAfterEnd_; }

private:
  IndexRange CurrentRange() const;
  int ShuffleStep(bool forward, bool randomFirst);
  void EndOfPlaylist();
  void AfterEndOfTrack();
  void CancelGap();
  void ShutDownComputer();
  void SendWinampCommand(UINT id);
  void RefreshPlaylistView();
  void ToggleEndAction(bool exit);
  void OpenFileDialog(bool addOnly);
  void OpenFolderDialog(bool add);
  void OpenUrl();
  void FileInformation();
  void SendPlayFileRequest(const std::wstring& path);
  // Makes the entry current, stops a playing track and plays.
  void PlayEntry(int index);

  Settings& settings_;
  PendingWindows& windows_;
  HWND mainWnd_ = nullptr;
  HWND winamp_ = nullptr;
  std::unique_ptr<ShuffleOrder> shuffle_;
  int shuffleStart_ = -1;
  SystemVolume mixer_;
  int lastMixerVolume_ = -1;
  bool exitAfterEnd_ = false;
  bool turnOffAfterEnd_ = false;
  bool dialogBusy_ = false;
  bool quitting_ = false;
  bool gapPending_ = false;  // TIMER_GAP runs: the end of a track waits for it
};

// The controller of the running program (nullptr before the main window
// exists and after it is gone).
PlaybackController* ThePlaybackController();
void SetThePlaybackController(PlaybackController* controller);

}  // namespace zul
