// Stands in for the built-in waveOut output until waveout/ implements
// BuiltinOutModule; delete this file then.
//
// It does the least that is honest: Open fails (-1), Write reports that it
// cannot take data (1), and nothing is ever playing.
#include "app/console_log.h"
#include "pluginhost/builtin_modules.h"

namespace zul {
namespace {

char description[] = "ZUL standard waveOut output (not part of this build)";

void __cdecl Config(HWND) { ZUL_LOG(L"The standard waveOut output is not part of this build: nothing to configure"); }
void __cdecl About(HWND) { ZUL_LOG(L"The standard waveOut output is not part of this build"); }
void __cdecl Nothing() {}
int __cdecl Open(int, int, int, int, int) {
  ZUL_LOG(L"The standard waveOut output is not part of this build: nothing can be played");
  return -1;
}
int __cdecl Write(char*, int) { return 1; }
int __cdecl Zero() { return 0; }
int __cdecl PauseState(int) { return 0; }
void __cdecl IgnoreInt(int) {}

Out_Module module = [] {
  Out_Module m{};
  m.version = 0x10;
  m.description = description;
  m.id = 0;
  m.Config = Config;
  m.About = About;
  m.Init = Nothing;
  m.Quit = Nothing;
  m.Open = Open;
  m.Close = Nothing;
  m.Write = Write;
  m.CanWrite = Zero;
  m.IsPlaying = Zero;
  m.Pause = PauseState;
  m.SetVolume = IgnoreInt;
  m.SetPan = IgnoreInt;
  m.Flush = IgnoreInt;
  m.GetOutputTime = Zero;
  m.GetWrittenTime = Zero;
  return m;
}();

}  // namespace

Out_Module* BuiltinOutModule() { return &module; }

}  // namespace zul
