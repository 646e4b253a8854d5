#include "pluginhost/host/plugin_lists.h"

namespace zul {

// Created on first use, before any window needs them. They are never
// destroyed with plug-ins still loaded: the shutdown unloads them first, and
// a list destroyed with entries leaves their DLLs mapped.
CDllInputList& InputPlugins() {
  static CDllInputList* list = new CDllInputList;
  return *list;
}

CDllOutputList& OutputPlugins() {
  static CDllOutputList* list = new CDllOutputList;
  return *list;
}

CDllGenList& GeneralPlugins() {
  static CDllGenList* list = new CDllGenList;
  return *list;
}

void StorePluginListNames(Settings& settings) {
  settings.inputPlugins = InputPlugins().Names();
  settings.outputPlugins = OutputPlugins().Names();
  settings.generalPlugins = GeneralPlugins().Names();
}

void RefreshInputsOutput() { InputPlugins().SetOutModAll(OutputPlugins().CurrentModule()); }

}  // namespace zul
