// Stands in for the built-in MPEG input until mpeg_input/module/ implements
// BuiltinInModule and BuiltinGetExtendedFileInfoW; delete this file then.
//
// It does the least that is honest: it claims no extension and no location,
// plays nothing (Play reports an error, not "file not found", so no caller
// takes it for a missing file), and knows no track information.
#include "app/console_log.h"
#include "pluginhost/builtin_modules.h"

namespace zul {
namespace {

char description[] = "ZUL standard MPEG input (not part of this build)";
char noExtensions[] = "\0";  // an empty extension list: claims nothing

void __cdecl Config(HWND) { ZUL_LOG(L"The standard MPEG input is not part of this build: nothing to configure"); }
void __cdecl About(HWND) { ZUL_LOG(L"The standard MPEG input is not part of this build"); }
void __cdecl Nothing() {}
void __cdecl GetFileInfo(void*, void* title, int* length) {
  if (title) *static_cast<wchar_t*>(title) = L'\0';
  if (length) *length = 0;
}
int __cdecl InfoBox(void*, HWND) { return 0; }
int __cdecl IsOurFile(void*) { return 0; }
int __cdecl Play(void*) { return 1; }
int __cdecl Zero() { return 0; }
void __cdecl IgnoreInt(int) {}
void __cdecl EQSet(int, char*, int) {}

In_Module module = [] {
  In_Module m{};
  m.version = 0x0F000100;
  m.description = description;
  m.FileExtensions = noExtensions;
  m.Config = Config;
  m.About = About;
  m.Init = Nothing;
  m.Quit = Nothing;
  m.GetFileInfo = GetFileInfo;
  m.InfoBox = InfoBox;
  m.IsOurFile = IsOurFile;
  m.Play = Play;
  m.Pause = Nothing;
  m.UnPause = Nothing;
  m.IsPaused = Zero;
  m.Stop = Nothing;
  m.GetLength = Zero;
  m.GetOutputTime = Zero;
  m.SetOutputTime = IgnoreInt;
  m.SetVolume = IgnoreInt;
  m.SetPan = IgnoreInt;
  m.EQSet = EQSet;
  return m;
}();

}  // namespace

In_Module* BuiltinInModule() { return &module; }

int BuiltinGetExtendedFileInfoW(const wchar_t*, const wchar_t*, wchar_t*, int) { return 0; }

}  // namespace zul
