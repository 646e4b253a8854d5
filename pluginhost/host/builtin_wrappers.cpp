#include "pluginhost/host/builtin_wrappers.h"

#include "pluginhost/host/host_callbacks.h"
#include "pluginhost/protocol/builtin_modules.h"

namespace zul {
namespace {

char standardInputDescription[] = "ZUL standard MPEG audio input";

int __cdecl EmptyInit() { return 0; }
void __cdecl EmptyConfig() {}
void __cdecl EmptyQuit() {}

winampGeneralPurposePlugin emptyGeneral = {
    0x10, const_cast<char*>("ZUL empty general module"), EmptyInit, EmptyConfig, EmptyQuit, nullptr, nullptr};

}  // namespace

void __cdecl NothingToInitOrQuit() {}

In_Module* PrepareBuiltinIn(HWND winamp) {
  In_Module* m = BuiltinInModule();
  m->description = standardInputDescription;
  m->hMainWindow = winamp;
  m->hDllInstance = GetModuleHandleW(nullptr);
  FillHostCallbacks(*m, true);
  return m;
}

Out_Module* PrepareBuiltinOut(HWND winamp) {
  Out_Module* m = BuiltinOutModule();
  m->hMainWindow = winamp;
  m->hDllInstance = GetModuleHandleW(nullptr);
  return m;
}

winampGeneralPurposePlugin* PrepareEmptyGeneral(HWND winamp) {
  emptyGeneral.hDllInstance = GetModuleHandleW(nullptr);
  emptyGeneral.hwndParent = winamp;
  emptyGeneral.init();
  return &emptyGeneral;
}

}  // namespace zul
