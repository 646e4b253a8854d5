// The playlist's steps in the program's start-up and quit order, and the
// loads the main window starts (declared in app/capability_stubs.h).
#include "app/capability_stubs.h"
#include "base/console_log.h"
#include "base/program_paths.h"
#include "base/settings.h"
#include "playlist/files/playlist_files.h"
#include "playlist/win32/playlist_service.h"
#include "playlist/win32/win32_file_system.h"
#include "pluginhost/winamp_window/wa_emu_wnd.h"

namespace zul {
namespace {

// The quit waits longer than an ordinary stop: a worker left running would
// still be inside a plug-in when the plug-ins are unloaded.
constexpr std::chrono::milliseconds kQuitPatience{10000};

Settings* g_settings = nullptr;  // the main window's; UI thread only

BOOL CALLBACK FindWinampWindow(HWND hwnd, LPARAM out) {
  wchar_t name[64];
  if (GetClassNameW(hwnd, name, 64) && wcscmp(name, kWinampClass) == 0) {
    *reinterpret_cast<HWND*>(out) = hwnd;
    return FALSE;
  }
  return TRUE;
}

// The Winamp window of this instance (another instance has one too, so no
// FindWindow).
HWND WinampWindowOfThisThread() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindWinampWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

}  // namespace

void RestoreLastPlaylist(const std::wstring& playlistPath, Settings& s) {
  g_settings = &s;
  StartPlaylistService(s, WinampWindowOfThisThread(), CurrentProgramPaths().settingsFile);
  // On this thread, not a worker: the automation that may follow at
  // start-up must see the restored list, and a load clears the list (and
  // ends a running automation pass) first.
  ThePlaylistWorkers().LoadPlaylistFile(playlistPath, s.randomFirst != 0, false, true, true);
  ZUL_LOG(L"Playlist %s: %d entries", playlistPath.c_str(), ThePlaylist().Count());
}

void RunAutomation() {
  if (!PlaylistServiceStarted()) return;
  SyncPlaylistOptions();
  ThePlaylistWorkers().PerformAutomation();
}

void OnAutomationTimer() {
  if (!g_settings || !g_settings->autEvery) return;
  SyncPlaylistOptions();
  ThePlaylistWorkers().PerformAutomation();
  if (g_settings->autSaveSettings) SaveSettingsNow();
}

void StopPlaylistWorkers() {
  if (!PlaylistServiceStarted()) return;
  if (!ThePlaylistWorkers().StopAll(kQuitPatience)) ZUL_LOG(L"A playlist worker did not end in time");
}

void SaveLastPlaylist(const std::wstring& playlistPath) {
  if (!g_settings) return;
  Win32PlaylistFileSystem files;
  if (!SaveCurrentPlaylist(files, playlistPath, ThePlaylist(), g_settings->extPlaylistFormat != 0)) {
    ZUL_LOG(L"The playlist could not be written to %s", playlistPath.c_str());
    return;
  }
  g_settings->currentInPlaylist = ThePlaylist().GetCurrent();
}

void LoadFolderAsync(const std::wstring& folder, bool replace, bool randomFirst, bool play) {
  if (!PlaylistServiceStarted()) return;
  SyncPlaylistOptions();
  ZUL_LOG(L"LoadFolder %s", folder.c_str());
  if (!ThePlaylistWorkers().LoadFolderAsync(folder, randomFirst, !replace, play))
    ZUL_LOG(L"LoadFolder %s ignored: a folder is being loaded", folder.c_str());
}

void LoadPlaylistFileAsync(const std::wstring& file, bool replace, bool randomFirst, bool play) {
  if (!PlaylistServiceStarted()) return;
  SyncPlaylistOptions();
  ZUL_LOG(L"LoadPlaylistFile %s", file.c_str());
  if (!ThePlaylistWorkers().LoadPlaylistFileAsync(file, randomFirst, !replace, play, false))
    ZUL_LOG(L"LoadPlaylistFile %s ignored: a playlist is being loaded", file.c_str());
}

}  // namespace zul
