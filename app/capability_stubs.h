#pragma once
// Start-up and shutdown steps whose work belongs to capabilities that are
// not in the program yet. Each is called from its place in the start-up or
// quit order, logs that it did nothing, and is replaced by the capability
// named in its comment.
#include <windows.h>

#include <string>

namespace zul {

struct Settings;

void RestoreLastPlaylist(const std::wstring& playlistPath,
                         Settings& s);  // playlist files (stores the sort template and current index back)
void RunAutomation();                   // playlist maintenance
void OnAutomationTimer();               // playlist maintenance
void StopPlaylistWorkers();             // playlist: tag reader and automation pass
void SaveLastPlaylist(const std::wstring& playlistPath);                                          // playlist files
void LoadFolderAsync(const std::wstring& folder, bool replace, bool randomFirst, bool play);      // playlist files
void LoadPlaylistFileAsync(const std::wstring& file, bool replace, bool randomFirst, bool play);  // playlist files

}  // namespace zul
