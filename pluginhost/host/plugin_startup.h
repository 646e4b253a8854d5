#pragma once
// The plug-in host's steps in the program's start-up and shutdown order:
// the three lists are loaded from the settings file in the order input,
// output, general; at shutdown they are written back and unloaded in the
// order general, input, output.
//
// Threads: UI thread.
#include <functional>

#include "base/module_context.h"
#include "pluginhost/host/dll_input_list.h"

namespace zul {

void LoadInputPlugins(const ModuleContext& context);
void LoadOutputPlugins(const ModuleContext& context);
void LoadGeneralPlugins(const ModuleContext& context);
void StartGeneralPlugins();
void UnloadPlugins(const ModuleContext& context);

// Runs an edit of the input list (load, unload, reorder: the preferences
// page) while the playlist's tag reads through the list are held off.
void EditInputPlugins(const std::function<void(CDllInputList&)>& edit);

}  // namespace zul
