// A fake input plug-in that behaves like the real third-party decoders the
// player was tried with: Play opens the output and starts a decode thread
// that runs code of this DLL until Stop; Stop waits for that thread (for a
// configured time, or forever); Quit does not stop anything; a file it
// cannot read gets its own modal error box inside Play.
//
// Tests copy it under other names (every copy is an independent plug-in) and
// configure each copy with "<copy>.ini" beside it, section [fake]:
//   Extensions=FAK        the extension it claims
//   PlayResult=0          what Play returns for a readable file (-1: let the
//                         next plug-in try)
//   StopPatienceMs=-1     how long Stop waits for the decode thread (-1: forever)
//   EndLatencyMs=0        how long the decode thread takes to end once told
//   NeverEnds=0           1: the decode thread does not end at all
//   AskHost=0             1: the decode thread asks the Winamp window whether
//                         it plays (a sent message) every 20 ms, as some
//                         decoders ask for the position or the title
//   InfoHoldMs=0          the first file-information question about a file
//                         whose name starts with "slow", asked on a thread
//                         other than the one that ran Init (a playlist
//                         worker), takes this long or until Quit, like a
//                         decoder reading a file on a sleeping network drive
// A file is unreadable when its first bytes are "UNREADABLE". A file that
// starts with "TAGS:<artist>|<title>" line has those tags: GetFileInfo and
// winampGetExtendedFileInfoW ("artist", "title", "length") answer them, and
// every file is 600 s long. Events go to the life log (ZUL_TEST_PLUGIN_LOG):
// "<copy> Play <file name>", "<copy> decoding", "<copy> Stop returned",
// "<copy> Quit", "<copy> error box", "<copy> info begin <file name>" and
// "<copy> info end <file name>".
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>

#include "base/win32_handles.h"
#include "pluginhost/protocol/winamp_records.h"
#include "tests/pluginhost/host/plugin_log.h"

using namespace zul;
using namespace zul::test;

#define EXPORT extern "C" __declspec(dllexport)

namespace {

In_Module mod;
char description[] = "ZUL fake decoder";
char extensions[64] = "FAK\0Fake files (*.FAK)\0";
std::string ini;
HANDLE decodeThread = nullptr;
std::atomic<bool> stopFlag{false};
std::atomic<bool> outputOpen{false};
char silence[4096];
DWORD initThread = 0;
HANDLE quitEvent = nullptr;
std::atomic<bool> infoHeld{false};
constexpr int kLengthMs = 600000;

int Setting(const char* key, int fallback) { return GetPrivateProfileIntA("fake", key, fallback, ini.c_str()); }

void Log(const std::string& event) { LogLife(ThisModule(), event.c_str()); }

std::string FileName(const char* path) {
  const char* slash = std::strrchr(path, '\\');
  return slash ? slash + 1 : path;
}

struct Tags {
  std::string artist, title;
};

// The "TAGS:<artist>|<title>" line at the start of an opened file.
bool ReadTags(UniqueHandle f, Tags* tags) {
  if (!f) return false;
  char head[256] = {};
  DWORD got = 0;
  ReadFile(f.Get(), head, sizeof head - 1, &got, nullptr);
  f.Reset();
  if (std::strncmp(head, "TAGS:", 5) != 0) return false;
  const std::string line(head + 5, std::strcspn(head + 5, "\r\n"));
  const size_t bar = line.find('|');
  if (bar == std::string::npos) return false;
  tags->artist = line.substr(0, bar);
  tags->title = line.substr(bar + 1);
  return true;
}

bool Readable(const char* path) {
  UniqueHandle f(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!f) return false;
  char head[10] = {};
  DWORD got = 0;
  ReadFile(f.Get(), head, sizeof head, &got, nullptr);
  f.Reset();
  return !(got == sizeof head && std::memcmp(head, "UNREADABLE", sizeof head) == 0);
}

// The loop a real decoder runs: write while the output takes data, until
// told to stop. Every instruction here is inside this DLL.
DWORD WINAPI Decode(void*) {
  Log("decoding");
  const bool askHost = Setting("AskHost", 0) != 0;
  DWORD lastAsked = GetTickCount();
  while (!stopFlag.load()) {
    if (askHost && GetTickCount() - lastAsked >= 20) {
      SendMessageA(mod.hMainWindow, WM_USER, 0, 104);  // IPC_ISPLAYING
      lastAsked = GetTickCount();
    }
    if (mod.outMod->CanWrite() >= static_cast<int>(sizeof silence))
      mod.outMod->Write(silence, sizeof silence);
    else
      Sleep(5);
  }
  // A decoder that finishes its block, flushes, closes files... before it
  // ends; or one stuck for good.
  Sleep(Setting("NeverEnds", 0) ? INFINITE : static_cast<DWORD>(Setting("EndLatencyMs", 0)));
  return 0;
}

void __cdecl Config(HWND) {}
void __cdecl About(HWND) {}
void __cdecl Init() {
  char path[MAX_PATH];
  GetModuleFileNameA(ThisModule(), path, MAX_PATH);
  ini = std::string(path) + ".ini";
  char ext[16];
  GetPrivateProfileStringA("fake", "Extensions", "FAK", ext, sizeof ext, ini.c_str());
  const int n = std::snprintf(extensions, sizeof extensions - 1, "%s%cFake files%c", ext, 0, 0);
  extensions[n] = extensions[n + 1] = 0;
  initThread = GetCurrentThreadId();
  quitEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  Log("Init");
}
// Like the real ones: Quit frees what Init made and trusts the host to have
// stopped playback first.
void __cdecl Quit() {
  Log("Quit");
  if (quitEvent) SetEvent(quitEvent);
}

void HoldIfSlow(const char* path) {
  const std::string name = FileName(path);
  const int hold = Setting("InfoHoldMs", 0);
  if (hold <= 0 || name.rfind("slow", 0) != 0 || GetCurrentThreadId() == initThread || infoHeld.exchange(true)) return;
  Log("info begin " + name);
  WaitForSingleObject(quitEvent, static_cast<DWORD>(hold));
  Log("info end " + name);
}

void __cdecl GetFileInfo(void* file, void* title, int* length) {
  if (title) static_cast<char*>(title)[0] = 0;
  if (length) *length = kLengthMs;
  if (!file) return;
  const char* path = static_cast<const char*>(file);
  HoldIfSlow(path);
  Tags tags;
  if (title &&
      ReadTags(UniqueHandle(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)),
               &tags))
    std::snprintf(static_cast<char*>(title), 255, "%s - %s", tags.artist.c_str(), tags.title.c_str());
}
int __cdecl InfoBox(void*, HWND) { return 0; }
int __cdecl IsOurFile(void*) { return 0; }

void __cdecl Stop() {
  if (decodeThread) {
    stopFlag.store(true);
    const int patience = Setting("StopPatienceMs", -1);
    WaitForSingleObject(decodeThread, patience < 0 ? INFINITE : static_cast<DWORD>(patience));
    CloseHandle(decodeThread);
    decodeThread = nullptr;
  }
  if (outputOpen.exchange(false)) mod.outMod->Close();
  Log("Stop returned");
}

int __cdecl Play(void* name) {
  const char* file = static_cast<const char*>(name);
  Log("Play " + FileName(file));
  if (!Readable(file)) {
    Log("error box");
    const std::string text = "Cannot read " + FileName(file);
    MessageBoxA(mod.hMainWindow, text.c_str(), description, MB_OK | MB_ICONERROR);
    return 1;
  }
  const int result = Setting("PlayResult", 0);
  if (result != 0) return result;
  if (mod.outMod->Open(44100, 2, 16, -1, -1) < 0) return 1;
  outputOpen.store(true);
  stopFlag.store(false);
  decodeThread = CreateThread(nullptr, 0, Decode, nullptr, 0, nullptr);
  return decodeThread ? 0 : 1;
}

void __cdecl Pause() {}
void __cdecl UnPause() {}
int __cdecl IsPaused() { return 0; }
int __cdecl GetLength() { return 600000; }
int __cdecl GetOutputTime() { return outputOpen.load() ? mod.outMod->GetOutputTime() : 0; }
void __cdecl SetOutputTime(int) {}
void __cdecl SetVolume(int v) {
  if (outputOpen.load()) mod.outMod->SetVolume(v);
}
void __cdecl SetPan(int) {}
void __cdecl EQSet(int, char*, int) {}

}  // namespace

EXPORT int winampGetExtendedFileInfoW(const wchar_t* file, const wchar_t* field, wchar_t* ret, int retlen) {
  Tags tags;
  if (!ReadTags(UniqueHandle(CreateFileW(file, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)),
                &tags))
    return 0;
  std::string value;
  if (lstrcmpiW(field, L"artist") == 0)
    value = tags.artist;
  else if (lstrcmpiW(field, L"title") == 0)
    value = tags.title;
  else if (lstrcmpiW(field, L"length") == 0)
    value = std::to_string(kLengthMs);
  else
    return 0;
  MultiByteToWideChar(CP_ACP, 0, value.c_str(), -1, ret, retlen);
  return 1;
}

EXPORT In_Module* winampGetInModule2() {
  mod = In_Module{};
  mod.version = 0x100;
  mod.description = description;
  mod.FileExtensions = extensions;
  mod.is_seekable = 0;
  mod.UsesOutputPlug = 1;
  mod.Config = Config;
  mod.About = About;
  mod.Init = Init;
  mod.Quit = Quit;
  mod.GetFileInfo = GetFileInfo;
  mod.InfoBox = InfoBox;
  mod.IsOurFile = IsOurFile;
  mod.Play = Play;
  mod.Pause = Pause;
  mod.UnPause = UnPause;
  mod.IsPaused = IsPaused;
  mod.Stop = Stop;
  mod.GetLength = GetLength;
  mod.GetOutputTime = GetOutputTime;
  mod.SetOutputTime = SetOutputTime;
  mod.SetVolume = SetVolume;
  mod.SetPan = SetPan;
  mod.EQSet = EQSet;
  return &mod;
}
