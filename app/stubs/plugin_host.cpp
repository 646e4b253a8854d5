// Replaced by the plug-in host (pluginhost/): loading, initialising and
// unloading the input, output and general-purpose plug-in lists.
#include "app/capability_stubs.h"

#include "app/console_log.h"

namespace zul {

#define NOT_YET(what) ZUL_LOG(L"%hs: %hs is not part of this build yet", __func__, what)

void LoadInputPlugins(HWND) { NOT_YET("the plug-in host"); }
void LoadOutputPlugins(HWND) { NOT_YET("the plug-in host"); }
void LoadGeneralPlugins(HWND) { NOT_YET("the plug-in host"); }
void StartGeneralPlugins() { NOT_YET("the plug-in host"); }
void UnloadPlugins() {}  // plug-in host; the console is gone by then

}  // namespace zul
