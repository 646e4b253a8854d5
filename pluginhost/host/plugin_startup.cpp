#include "pluginhost/host/plugin_startup.h"

#include "base/console_log.h"
#include "base/profile_file.h"
#include "pluginhost/host/input_tag_source.h"
#include "pluginhost/host/plugin_lists.h"

namespace zul {
namespace {

InputTagSource& InputTags() {
  static InputTagSource source(InputPlugins());
  return source;
}

}  // namespace

void LoadInputPlugins(const ModuleContext& context) {
  InputPlugins().LoadFromSettings(ProfileFileReader(context.paths.settingsFile), context.winamp);
  ZUL_LOG(L"%d input plug-in(s) loaded", InputPlugins().Count());
  InputTags().Register();
}

void LoadOutputPlugins(const ModuleContext& context) {
  OutputPlugins().LoadFromSettings(ProfileFileReader(context.paths.settingsFile), context.winamp);
  ZUL_LOG(L"%d output plug-in(s) loaded", OutputPlugins().Count());
}

void LoadGeneralPlugins(const ModuleContext& context) {
  GeneralPlugins().LoadFromSettings(ProfileFileReader(context.paths.settingsFile), context.winamp);
  ZUL_LOG(L"%d general plug-in(s) loaded", GeneralPlugins().Count());
}

void StartGeneralPlugins() {
  RefreshInputsOutput();
  GeneralPlugins().InitAll();
}

// General plug-ins quit while the inputs and outputs they may use are still
// loaded; the outputs go last because the inputs hold them as outMod. The
// equalizer is freed by the caller afterwards: until the inputs are unloaded
// a decode thread could still be inside its DSP hook.
void UnloadPlugins(const ModuleContext& context) {
  const std::wstring& profile = context.paths.settingsFile;
  GeneralPlugins().SaveAndUnload(profile);
  // A playlist worker the quit gave up on may still be reading tags inside
  // an input plug-in. The wait has no limit of its own: a read that never
  // ends is left to the quit watchdog, which ends the process without
  // freeing anything.
  InputTags().Unregister();
  InputPlugins().SaveAndUnload(profile);
  OutputPlugins().SaveAndUnload(profile);
}

void EditInputPlugins(const std::function<void(CDllInputList&)>& edit) {
  InputTags().Unregister();
  edit(InputPlugins());
  InputTags().Register();
}

}  // namespace zul
