// An input plug-in that, like many real ones, adds a page of its own to the
// host's preferences when it starts (IPC_ADD_PREFS_DLG) and takes it away
// when it quits. Its Configuration faults on purpose: the host must survive
// it. Plays nothing.
#include <windows.h>

#include "pluginhost/protocol/prefs_page_record.h"
#include "pluginhost/protocol/winamp_messages.h"
#include "pluginhost/protocol/winamp_records.h"
#include "tests/prefs/in_prefs_page_resource.h"

#define EXPORT extern "C" __declspec(dllexport)

namespace {

char description[] = "Prefs test input";
char pageName[] = "Plugins::Input::Prefs test page";
zul::In_Module mod;
zul::_prefsDlgRec page;
HINSTANCE instance;

INT_PTR CALLBACK PageProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

void __cdecl Config(HWND) {
  volatile int* nowhere = nullptr;
  *nowhere = 1;
}
void __cdecl About(HWND parent) {}
void __cdecl Init() {
  page = zul::_prefsDlgRec{instance, IDD_TEST_PAGE, reinterpret_cast<void*>(&PageProc), pageName, 0, 0, nullptr};
  SendMessageW(mod.hMainWindow, WM_USER, reinterpret_cast<WPARAM>(&page), IPC_ADD_PREFS_DLG);
}
void __cdecl Quit() { SendMessageW(mod.hMainWindow, WM_USER, reinterpret_cast<WPARAM>(&page), IPC_REMOVE_PREFS_DLG); }
void __cdecl GetFileInfo(void*, void* title, int* length) {
  if (title) *static_cast<char*>(title) = 0;
  if (length) *length = 0;
}
int __cdecl InfoBox(void*, HWND) { return 0; }
int __cdecl IsOurFile(void*) { return 0; }
int __cdecl Play(void*) { return -1; }
void __cdecl Nothing() {}
int __cdecl Zero() { return 0; }
void __cdecl SetInt(int) {}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE dll, DWORD reason, void*) {
  if (reason == DLL_PROCESS_ATTACH) instance = dll;
  return TRUE;
}

EXPORT zul::In_Module* winampGetInModule2() {
  mod.version = 0x100;
  mod.description = description;
  mod.FileExtensions = const_cast<char*>("PTS\0Prefs test files (*.PTS)\0");
  mod.Config = Config;
  mod.About = About;
  mod.Init = Init;
  mod.Quit = Quit;
  mod.GetFileInfo = GetFileInfo;
  mod.InfoBox = InfoBox;
  mod.IsOurFile = IsOurFile;
  mod.Play = Play;
  mod.Pause = Nothing;
  mod.UnPause = Nothing;
  mod.IsPaused = Zero;
  mod.Stop = Nothing;
  mod.GetLength = Zero;
  mod.GetOutputTime = Zero;
  mod.SetOutputTime = SetInt;
  mod.SetVolume = SetInt;
  mod.SetPan = SetInt;
  return &mod;
}
