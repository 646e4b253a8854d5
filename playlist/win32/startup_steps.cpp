#include "playlist/win32/startup_steps.h"

#include "base/console_log.h"
#include "base/settings.h"
#include "playlist/files/playlist_files.h"
#include "playlist/win32/playlist_service.h"
#include "playlist/win32/win32_file_system.h"

namespace zul {
namespace {

// The quit waits longer than an ordinary stop: a worker left running would
// still be inside a plug-in when the plug-ins are unloaded.
constexpr std::chrono::milliseconds kQuitPatience{10000};

}  // namespace

void RestoreLastPlaylist(const ModuleContext& context) {
  Settings& s = context.settings;
  const std::wstring& playlistPath = context.paths.playlistFile;
  StartPlaylistService(s, context.winamp, context.paths.settingsFile);
  // On this thread, not a worker: the automation that may follow at
  // start-up must see the restored list, and a load clears the list (and
  // ends a running automation pass) first.
  ThePlaylistWorkers().LoadPlaylistFile(playlistPath,
                                        {.randomFirst = s.randomFirst != 0, .play = true, .useSavedIndex = true});
  ZUL_LOG(L"Playlist %s: %d entries", playlistPath.c_str(), ThePlaylist().Count());
}

void RunStartupAutomation(const ModuleContext& context) {
  if (!context.settings.autOnStart || !PlaylistServiceStarted()) return;
  SyncPlaylistOptions();
  ThePlaylistWorkers().PerformAutomation();
}

void OnAutomationTimer(const ModuleContext& context) {
  if (!PlaylistServiceStarted() || !context.settings.autEvery) return;
  SyncPlaylistOptions();
  ThePlaylistWorkers().PerformAutomation();
  if (context.settings.autSaveSettings) SaveSettingsNow();
}

void StopPlaylistWorkers() {
  if (!PlaylistServiceStarted()) return;
  if (!ThePlaylistWorkers().StopAll(kQuitPatience)) ZUL_LOG(L"A playlist worker did not end in time");
}

void SaveLastPlaylist(const ModuleContext& context) {
  if (!PlaylistServiceStarted()) return;
  const std::wstring& playlistPath = context.paths.playlistFile;
  Win32PlaylistFileSystem files;
  if (!SaveCurrentPlaylist(files, playlistPath, ThePlaylist(), context.settings.extPlaylistFormat != 0)) {
    ZUL_LOG(L"The playlist could not be written to %s", playlistPath.c_str());
    return;
  }
  context.settings.currentInPlaylist = ThePlaylist().GetCurrent();
}

void LoadFolderAsync(const std::wstring& folder, const LoadOptions& options) {
  if (!PlaylistServiceStarted()) return;
  SyncPlaylistOptions();
  ZUL_LOG(L"LoadFolder %s", folder.c_str());
  if (!ThePlaylistWorkers().LoadFolderAsync(folder, options))
    ZUL_LOG(L"LoadFolder %s ignored: a folder is being loaded", folder.c_str());
}

void LoadPlaylistFileAsync(const std::wstring& file, const LoadOptions& options) {
  if (!PlaylistServiceStarted()) return;
  SyncPlaylistOptions();
  ZUL_LOG(L"LoadPlaylistFile %s", file.c_str());
  if (!ThePlaylistWorkers().LoadPlaylistFileAsync(file, options))
    ZUL_LOG(L"LoadPlaylistFile %s ignored: a playlist is being loaded", file.c_str());
}

}  // namespace zul
