// A fake input plug-in, built twice: in_fake_ansi.dll (ANSI file names) and,
// with ZUL_FAKE_UNICODE, in_fake_wide.dll (version flag 0x0F000000, UTF-16
// names, and a winampGetExtendedFileInfoW export). Tests copy it under other
// names to have several independent plug-ins, load the copy themselves to
// reach the Test* exports, and configure it before the host loads it.
#include <map>
#include <mutex>
#include <set>
#include <string>

#include "pluginhost/protocol/winamp_records.h"
#include "tests/pluginhost/host/fault_kit.h"
#include "tests/pluginhost/host/plugin_log.h"

using namespace zul;
using namespace zul::test;

#ifdef ZUL_FAKE_UNICODE
using Char = wchar_t;
using Text = std::wstring;
constexpr int kVersion = 0x0F000100;
char description[] = "ZUL test input (Unicode)";
#else
using Char = char;
using Text = std::string;
constexpr int kVersion = 0x100;
char description[] = "ZUL test input (ANSI)";
#endif

#define EXPORT extern "C" __declspec(dllexport)

namespace {

// The host calls members from several threads at once (the playlist's tag
// reads beside Play and the time queries): the maps below are changed and
// read under this lock only. Never held while a fault is raised: the fault
// leaves by the guard's unwind, which runs no destructor on every target.
std::mutex stateLock;
using Hold = std::lock_guard<std::mutex>;

In_Module mod;
std::string extensions("TST\0Test files (*.TST)\0", 24);
std::map<std::string, int> ints;       // configured answers
std::map<std::string, int> calls;      // calls per member
std::map<std::string, int> faults;     // fault kind per member
std::map<std::string, Text> lastFile;  // last file name per member
std::set<std::string> nullMembers;
std::string callOrder;
std::string callOrderSnapshot;
Text lastFileSnapshot;
const void* playPointer = nullptr;
int ownSetInfoCalls = 0;

int Int(const std::string& key, int fallback) {
  Hold hold(stateLock);
  auto it = ints.find(key);
  return it == ints.end() ? fallback : it->second;
}

void SetInt(const std::string& key, int value) {
  Hold hold(stateLock);
  ints[key] = value;
}

void Hit(const char* member) {
  int fault = kNoFault;
  {
    Hold hold(stateLock);
    ++calls[member];
    callOrder += member;
    callOrder += ';';
    auto it = faults.find(member);
    if (it != faults.end()) fault = it->second;
  }
  if (fault != kNoFault) RaiseFault(fault);
}

void Remember(const char* member, const void* file) {
  Hold hold(stateLock);
  lastFile[member] = file ? Text(static_cast<const Char*>(file)) : Text();
}

void __cdecl Config(HWND) { Hit("Config"); }
void __cdecl About(HWND) { Hit("About"); }
void __cdecl Init() {
  LogLife(ThisModule(), "Init");
  Hit("Init");
}
void __cdecl Quit() {
  LogLife(ThisModule(), "Quit");
  Hit("Quit");
}
void __cdecl GetFileInfo(void* file, void* title, int* length) {
  Remember("GetFileInfo", file);
  Hit("GetFileInfo");
  Text t = file ? Text(static_cast<const Char*>(file)) : Text();
#ifdef ZUL_FAKE_UNICODE
  t = L"T:" + t;
#else
  t = "T:" + t;
#endif
  // Writes the whole title, however long: the host's buffer must hold it.
  Char* out = static_cast<Char*>(title);
  for (size_t i = 0; i < t.size() && i < 2000; ++i) out[i] = t[i];
  out[t.size() < 2000 ? t.size() : 2000] = 0;
  *length = Int("Length", 1234);
}
int __cdecl InfoBox(void* file, HWND) {
  Remember("InfoBox", file);
  Hit("InfoBox");
  return Int("InfoBox", 0);
}
int __cdecl IsOurFile(void* file) {
  Remember("IsOurFile", file);
  Hit("IsOurFile");
  return Int("IsOurFile", 0);
}
int __cdecl Play(void* file) {
  Remember("Play", file);
  playPointer = file;
  Hit("Play");
  // Like a real decoder, report the stream's format through SetInfo.
  if (Int("SetInfoOnPlay", 0)) mod.SetInfo(Int("Bitrate", 128), 44100, 2, 1);
  return Int("Play", 0);
}
void __cdecl Pause() { Hit("Pause"); }
void __cdecl UnPause() { Hit("UnPause"); }
int __cdecl IsPaused() {
  Hit("IsPaused");
  return Int("IsPaused", 0);
}
void __cdecl Stop() { Hit("Stop"); }
int __cdecl GetLength() {
  Hit("GetLength");
  return Int("Length", 1234);
}
int __cdecl GetOutputTime() {
  Hit("GetOutputTime");
  return Int("OutputTime", 567);
}
void __cdecl SetOutputTime(int ms) {
  Hit("SetOutputTime");
  SetInt("LastSeek", ms);
}
void __cdecl SetVolume(int v) {
  Hit("SetVolume");
  SetInt("LastVolume", v);
}
void __cdecl SetPan(int p) {
  Hit("SetPan");
  SetInt("LastPan", p);
}
void __cdecl EQSet(int, char*, int) { Hit("EQSet"); }
void __cdecl OwnSetInfo(int, int, int, int) { ++ownSetInfoCalls; }

template <class Fn>
void Member(const char* name, Fn& member, Fn value) {
  member = nullMembers.count(name) ? nullptr : value;
}

}  // namespace

EXPORT In_Module* winampGetInModule2() {
  Hit("winampGetInModule2");
  if (Int("NoRecord", 0)) return nullptr;
  mod = In_Module{};
  mod.version = kVersion;
  mod.description = description;
  mod.FileExtensions = extensions.data();
  mod.is_seekable = Int("Seekable", 1);
  mod.UsesOutputPlug = 1;
  Member("Config", mod.Config, &Config);
  Member("About", mod.About, &About);
  Member("Init", mod.Init, &Init);
  Member("Quit", mod.Quit, &Quit);
  Member("GetFileInfo", mod.GetFileInfo, &GetFileInfo);
  Member("InfoBox", mod.InfoBox, &InfoBox);
  Member("IsOurFile", mod.IsOurFile, &IsOurFile);
  Member("Play", mod.Play, &Play);
  Member("Pause", mod.Pause, &Pause);
  Member("UnPause", mod.UnPause, &UnPause);
  Member("IsPaused", mod.IsPaused, &IsPaused);
  Member("Stop", mod.Stop, &Stop);
  Member("GetLength", mod.GetLength, &GetLength);
  Member("GetOutputTime", mod.GetOutputTime, &GetOutputTime);
  Member("SetOutputTime", mod.SetOutputTime, &SetOutputTime);
  Member("SetVolume", mod.SetVolume, &SetVolume);
  Member("SetPan", mod.SetPan, &SetPan);
  Member("EQSet", mod.EQSet, &EQSet);
  if (Int("OwnSetInfo", 0)) mod.SetInfo = &OwnSetInfo;
  return &mod;
}

#ifdef ZUL_FAKE_UNICODE
EXPORT int winampGetExtendedFileInfoW(const wchar_t* file, const wchar_t* field, wchar_t* ret, int retlen) {
  Remember("winampGetExtendedFileInfoW", file);
  Hit("winampGetExtendedFileInfoW");
  std::wstring answer = std::wstring(L"wide:") + field;
  lstrcpynW(ret, answer.c_str(), retlen);
  return 1;
}
#endif

// ---- Configuration and observation for the tests ----
EXPORT void TestReset() {
  Hold hold(stateLock);
  ints.clear();
  calls.clear();
  faults.clear();
  lastFile.clear();
  nullMembers.clear();
  callOrder.clear();
  extensions.assign("TST\0Test files (*.TST)\0", 24);
  playPointer = nullptr;
  ownSetInfoCalls = 0;
  g_unwindsSeen = 0;
  g_handledSeen = 0;
}
EXPORT void TestSetInt(const char* key, int value) {
  SetInt(key, value);
  if (std::string(key) == "Seekable") mod.is_seekable = value;
}
EXPORT int TestGetInt(const char* key) {
  std::string k = key;
  if (k == "unwindsSeen") return g_unwindsSeen;
  if (k == "handledSeen") return g_handledSeen;
  if (k == "ownSetInfoCalls") return ownSetInfoCalls;
  return Int(k, 0);
}
EXPORT int TestCalls(const char* member) {
  Hold hold(stateLock);
  auto it = calls.find(member);
  return it == calls.end() ? 0 : it->second;
}
// Valid until the next call of TestCallOrder.
EXPORT const char* TestCallOrder() {
  Hold hold(stateLock);
  callOrderSnapshot = callOrder;
  return callOrderSnapshot.c_str();
}
// Pairs of NUL-terminated strings ended by an empty one, with its size.
EXPORT void TestSetExtensions(const char* bytes, int size) {
  extensions.assign(bytes, size);
  mod.FileExtensions = extensions.data();
}
// Comma-separated member names to leave null in the record.
EXPORT void TestSetNull(const char* names) {
  std::string all = names;
  size_t start = 0;
  while (start <= all.size()) {
    size_t end = all.find(',', start);
    if (end == std::string::npos) end = all.size();
    if (end > start) nullMembers.insert(all.substr(start, end - start));
    start = end + 1;
  }
}
EXPORT void TestSetFault(const char* member, int kind) {
  Hold hold(stateLock);
  if (kind == kNoFault)
    faults.erase(member);
  else
    faults[member] = kind;
}
// Valid until the next call of TestLastFile.
EXPORT const void* TestLastFile(const char* member) {
  Hold hold(stateLock);
  auto it = lastFile.find(member);
  lastFileSnapshot = it == lastFile.end() ? Text() : it->second;
  return lastFileSnapshot.c_str();
}
EXPORT const void* TestPlayPointer() { return playPointer; }
EXPORT void TestCallSetInfo(int bitrate, int srate, int stereo, int synched) {
  mod.SetInfo(bitrate, srate, stereo, synched);
}
EXPORT void TestFault(int kind) { RaiseFault(kind); }
