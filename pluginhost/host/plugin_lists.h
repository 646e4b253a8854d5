#pragma once
// The three process-wide plug-in lists and the host operations that span
// more than one of them.
//
// Start-up (second stage): input list, equalizer, output list, general
// list, then every input module gets the current output and the general
// plug-ins' init() runs (plugin_startup.cpp has the capability functions).
// Shutdown, after the message loop: general list, input list, output list,
// so general plug-ins quit while inputs and outputs are still loaded and the
// outputs go last.
//
// Threads: UI thread only.
#include "base/settings.h"
#include "pluginhost/host/dll_gen.h"
#include "pluginhost/host/dll_input_list.h"
#include "pluginhost/host/dll_output.h"

namespace zul {

CDllInputList& InputPlugins();
CDllOutputList& OutputPlugins();
CDllGenList& GeneralPlugins();

// Copies the lists' names into the settings, so a save of all settings
// writes the plug-ins actually loaded.
void StorePluginListNames(Settings& settings);

// Gives every input module the current output again; call after any edit of
// the output list (an input must never keep a removed output record).
void RefreshInputsOutput();

}  // namespace zul
