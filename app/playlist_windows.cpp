// The shell's side of the playlist window and its dialogs: created once
// the settings and the Winamp window exist, shown from the commands, and
// its state kept in the settings at quit.
#include <windows.h>

#include <commctrl.h>

#include <memory>

#include "app/messages.h"
#include "app/pending_windows.h"
#include "base/console_log.h"
#include "base/settings.h"
#include "playlist/win32/playlist_service.h"
#include "playlist/window/playlist_dialogs.h"
#include "playlist/window/playlist_window.h"

namespace zul {
namespace {

struct PlaylistWindows {
  HWND owner = nullptr;
  Settings* settings = nullptr;
  std::unique_ptr<PlaylistWindow> playlist;
};

PlaylistWindows& State() {
  static PlaylistWindows state;
  return state;
}

}  // namespace

void CreatePlaylistWindows(HWND owner) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS | ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  State().owner = owner;
}

void ShowPlaylistStartupWindows(HWND winamp, Settings& settings) {
  PlaylistWindows& state = State();
  state.settings = &settings;
  if (!state.playlist) {
    state.playlist = std::make_unique<PlaylistWindow>(settings, winamp);
    if (!state.playlist->Create(state.owner)) state.playlist.reset();
  }
  if (state.playlist && settings.playlistAtStartup) state.playlist->Show();
}

void DestroyPlaylistWindows() { State().playlist.reset(); }

void PendingWindows::TogglePlaylistWindow() {
  if (State().playlist) State().playlist->Toggle();
}

void PendingWindows::ShowPlaylistWindow() {
  if (State().playlist) State().playlist->Show();
}

HWND PendingWindows::PlaylistWindowHandle() { return State().playlist ? State().playlist->hwnd() : nullptr; }

void PendingWindows::RefreshPlaylistWindowIfVisible() {
  if (State().playlist) State().playlist->Refresh();
}

void PendingWindows::FinishPlaylistWindow() {
  if (State().playlist) State().playlist->StoreState();
}

void PendingWindows::ShowSortTemplateDialog() {
  PlaylistWindows& state = State();
  if (!state.settings) return;
  HWND owner = state.playlist && state.playlist->Visible() ? state.playlist->hwnd() : state.owner;
  if (RunSortDialog(owner, *state.settings)) StartSortCommand(state.settings->sortTemplate);
}

void PendingWindows::ShowAutomationDialog() {
  PlaylistWindows& state = State();
  if (!state.settings) return;
  bool periodChanged = false;
  if (!RunAutomationDialog(state.owner, *state.settings, &periodChanged)) return;
  SyncPlaylistOptions();
  // The next automatic pass comes one new period after the change.
  if (periodChanged)
    SetTimer(state.owner, TIMER_AUTOMATION, static_cast<UINT>(state.settings->autPeriod) * 60000u, nullptr);
}

}  // namespace zul
