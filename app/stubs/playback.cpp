// Replaced by the playback controller.
#include "app/capability_stubs.h"

#include "app/console_log.h"

namespace zul {

#define NOT_YET(what) ZUL_LOG(L"%hs: %hs is not part of this build yet", __func__, what)

void BuildShuffleOrder() { NOT_YET("the playback controller"); }
void OpenVolumeMixer() { NOT_YET("the playback controller"); }
void AddOneTrack(const std::wstring& file, bool) {
  ZUL_LOG(L"AddOneTrack %s: the playlist is not part of this build yet", file.c_str());
}

}  // namespace zul
