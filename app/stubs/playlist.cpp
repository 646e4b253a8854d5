// Replaced by the playlist files and maintenance workers (playlist/).
#include "app/capability_stubs.h"

#include "app/console_log.h"

namespace zul {

#define NOT_YET(what) ZUL_LOG(L"%hs: %hs is not part of this build yet", __func__, what)

void RestoreLastPlaylist(const std::wstring&, const Settings&) { NOT_YET("the playlist"); }
void RunAutomation() { NOT_YET("the playlist automation"); }
void OnAutomationTimer() {}  // playlist maintenance
void StopPlaylistWorkers() { NOT_YET("the playlist workers"); }
void SaveLastPlaylist(const std::wstring&) { NOT_YET("the playlist"); }
void LoadFolderAsync(const std::wstring& folder, bool, bool, bool) {
  ZUL_LOG(L"LoadFolder %s: the playlist is not part of this build yet", folder.c_str());
}
void LoadPlaylistFileAsync(const std::wstring& file, bool, bool, bool) {
  ZUL_LOG(L"LoadPlaylistFile %s: the playlist is not part of this build yet", file.c_str());
}

}  // namespace zul
