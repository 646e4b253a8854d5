// Replaced by the equalizer start-up wiring (equalizer/).
#include "app/capability_stubs.h"

#include "app/console_log.h"

namespace zul {

#define NOT_YET(what) ZUL_LOG(L"%hs: %hs is not part of this build yet", __func__, what)

void InitEqualizer(const Settings&) { NOT_YET("the equalizer"); }

}  // namespace zul
