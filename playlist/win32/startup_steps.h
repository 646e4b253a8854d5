#pragma once
// The playlist's steps in the program's start-up and quit order, and the
// loads the shell starts for open requests and commands.
//
// Threads: UI thread.
#include <string>

#include "base/module_context.h"
#include "playlist/workers/load_options.h"

namespace zul {

// Start-up: binds the playlist to the context and reads the last playlist
// (the program's playlist file) on this thread, with its saved current entry.
void RestoreLastPlaylist(const ModuleContext& context);
// Start-up: the automation pass when "AutOnStart" is set.
void RunStartupAutomation(const ModuleContext& context);
// The main window's automation timer: the pass when "AutEvery" is set, then
// the settings saved when "AutSaveset" is.
void OnAutomationTimer(const ModuleContext& context);
// Quit: asks the tag reader and the automation pass to end and waits for them.
void StopPlaylistWorkers();
// Writes the list to the program's playlist file and keeps its current
// entry in the settings; nothing before the playlist is restored.
void SaveLastPlaylist(const ModuleContext& context);

// Loads on a worker; a second load of the same kind while one runs is
// logged and ignored.
void LoadFolderAsync(const std::wstring& folder, const LoadOptions& options);
void LoadPlaylistFileAsync(const std::wstring& file, const LoadOptions& options);

}  // namespace zul
