// The built-in modules as the host test sees them: fakes that count their
// calls, linked instead of the host's placeholders (or the real modules) so
// the tests can tell when the host used a built-in function.
#include <map>
#include <string>

#include "pluginhost/protocol/builtin_modules.h"
#include "tests/pluginhost/host/host_fixture.h"

namespace zul {
namespace {

std::map<std::string, int> calls;
int playResult = 0;
char extensions[] = "MP3\0MPEG Audio Files (*.MP3)\0";  // the literal's own NUL ends the list

void __cdecl InConfig(HWND) { ++calls["Config"]; }
void __cdecl InAbout(HWND) { ++calls["About"]; }
void __cdecl InInit() { ++calls["Init"]; }
void __cdecl InQuit() { ++calls["Quit"]; }
void __cdecl InGetFileInfo(void*, void* title, int* length) {
  ++calls["GetFileInfo"];
  lstrcpyW(static_cast<wchar_t*>(title), L"built-in title");
  *length = 42;
}
int __cdecl InInfoBox(void*, HWND) { return ++calls["InfoBox"], 0; }
int __cdecl InIsOurFile(void*) { return ++calls["IsOurFile"], 0; }
int __cdecl InPlay(void*) { return ++calls["Play"], playResult; }
void __cdecl InPause() { ++calls["Pause"]; }
void __cdecl InUnPause() { ++calls["UnPause"]; }
int __cdecl InIsPaused() { return ++calls["IsPaused"], 0; }
void __cdecl InStop() { ++calls["Stop"]; }
int __cdecl InGetLength() { return ++calls["GetLength"], 42; }
int __cdecl InGetOutputTime() { return ++calls["GetOutputTime"], 7; }
void __cdecl InSetOutputTime(int) { ++calls["SetOutputTime"]; }
void __cdecl InSetVolume(int) { ++calls["SetVolume"]; }
void __cdecl InSetPan(int) { ++calls["SetPan"]; }
void __cdecl InEQSet(int, char*, int) { ++calls["EQSet"]; }

In_Module in = [] {
  In_Module m{};
  m.version = 0x0F000100;
  m.description = const_cast<char*>("fake built-in input");
  m.FileExtensions = extensions;
  m.Config = InConfig;
  m.About = InAbout;
  m.Init = InInit;
  m.Quit = InQuit;
  m.GetFileInfo = InGetFileInfo;
  m.InfoBox = InInfoBox;
  m.IsOurFile = InIsOurFile;
  m.Play = InPlay;
  m.Pause = InPause;
  m.UnPause = InUnPause;
  m.IsPaused = InIsPaused;
  m.Stop = InStop;
  m.GetLength = InGetLength;
  m.GetOutputTime = InGetOutputTime;
  m.SetOutputTime = InSetOutputTime;
  m.SetVolume = InSetVolume;
  m.SetPan = InSetPan;
  m.EQSet = InEQSet;
  return m;
}();

void __cdecl OutConfig(HWND) { ++calls["out Config"]; }
void __cdecl OutNothing() { ++calls["out Init or Quit"]; }
int __cdecl OutOpen(int, int, int, int, int) { return ++calls["out Open"], 0; }
void __cdecl OutClose() { ++calls["out Close"]; }
int __cdecl OutWrite(char*, int) { return ++calls["out Write"], 0; }
int __cdecl OutInt() { return 0; }
int __cdecl OutPause(int) { return 0; }
void __cdecl OutIgnore(int) {}

Out_Module out = [] {
  Out_Module m{};
  m.description = const_cast<char*>("fake built-in output");
  m.Config = OutConfig;
  m.About = OutConfig;
  m.Init = OutNothing;
  m.Quit = OutNothing;
  m.Open = OutOpen;
  m.Close = OutClose;
  m.Write = OutWrite;
  m.CanWrite = OutInt;
  m.IsPlaying = OutInt;
  m.Pause = OutPause;
  m.SetVolume = OutIgnore;
  m.SetPan = OutIgnore;
  m.Flush = OutIgnore;
  m.GetOutputTime = OutInt;
  m.GetWrittenTime = OutInt;
  return m;
}();

}  // namespace

In_Module* BuiltinInModule() { return &in; }

int BuiltinGetExtendedFileInfoW(const wchar_t*, const wchar_t* metadata, wchar_t* ret, int retlen) {
  ++calls["ExtendedFileInfo"];
  std::wstring answer = std::wstring(L"built-in:") + metadata;
  lstrcpynW(ret, answer.c_str(), retlen);
  return 1;
}

Out_Module* BuiltinOutModule() { return &out; }

namespace test {

int BuiltinCalls(const char* member) { return calls[member]; }
void ResetBuiltins() {
  calls.clear();
  playResult = 0;
}
void SetBuiltinPlayResult(int result) { playResult = result; }

}  // namespace test
}  // namespace zul
