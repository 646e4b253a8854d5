#pragma once
// The process-wide playlist and its workers in the Win32 program, and the
// seams through which the playlist window and the playback controller
// join in when they exist.
//
// Threads: StartPlaylistService, SetPlaylistWindow, SetPlaylistPlaybackHooks
// and the command functions are UI-thread calls. ThePlaylist() and
// ThePlaylistWorkers() may be used from any thread (see their own headers).
// Workers reach windows only by posting to a message-only helper window of
// the UI thread, which then acts on the playlist window, the Winamp window
// and the playback hooks; so no worker ever waits for the UI thread, and the
// UI thread may wait for workers (it answers sent messages meanwhile).
#include <windows.h>

#include <string>

#include "playlist/core/playlist_manager.h"
#include "playlist/workers/playlist_workers.h"

namespace zul {

struct Settings;

// Created on first use and never destroyed: a worker left running by a stop
// that gave up may still touch them while the process ends.
PlaylistManager& ThePlaylist();
PlaylistWorkers& ThePlaylistWorkers();

// Binds the playlist to the main window's settings and the Winamp window,
// creates the helper window and lowers every worker thread's priority.
// settings must outlive the message loop.
void StartPlaylistService(Settings& settings, HWND winamp, const std::wstring& profilePath);
bool PlaylistServiceStarted();

// The settings workers read are copied from the main window's settings at
// each UI-side entry point; call after changing them elsewhere.
void SyncPlaylistOptions();

// The playlist window announces itself (and nullptr when it goes): refresh
// commands and redraw switches go there while it is visible.
void SetPlaylistWindow(HWND window, HWND list);

// Filled by the playback controller. isPlaying, startAfterLoad and
// clearShuffleStart are called on the UI thread; pickShuffleStart on
// playlist workers, so it must be safe there. Any left empty keeps its
// stand-in: nothing plays, the first entry is drawn at random.
struct PlaylistPlaybackHooks {
  bool (*isPlaying)() = nullptr;
  // The single place where a load starts playback (the play request 1100
  // to the Winamp window carrying the path).
  void (*startAfterLoad)(const std::wstring& path) = nullptr;
  int (*pickShuffleStart)(int count) = nullptr;
  void (*clearShuffleStart)() = nullptr;
};
void SetPlaylistPlaybackHooks(const PlaylistPlaybackHooks& hooks);

// An open request that replaces the playlist decides what plays: the stop
// and play requests of loads that finished before it and are still queued
// (the restore at start-up, when the program's own argument follows it) are
// dropped. Loads that finish later decide again. UI thread.
void SupersedeQueuedPlayback();

// Commands of the main menu, the hotkeys and the playlist window.
// "Perform Now" (564) and the automation hotkey: the pass, then the
// settings saved when AutSaveset is set.
void PerformAutomationNow();
// Sort commands 751, 752, 544, 545, 754 and the sort dialog.
void StartSortCommand(const std::wstring& tmpl);
// Playlist window command 546.
void ShufflePlaylistCommand();
// Saves every setting now (the automation's AutSaveset).
bool SaveSettingsNow();

}  // namespace zul
