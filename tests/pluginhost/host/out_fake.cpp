// A fake output plug-in that records every call made into it, in order.
#include <mutex>
#include <set>
#include <string>

#include "pluginhost/protocol/winamp_records.h"
#include "tests/pluginhost/host/plugin_log.h"

using namespace zul;
using namespace zul::test;

#define EXPORT extern "C" __declspec(dllexport)

namespace {

Out_Module mod;
// The decode thread writes while the UI thread sets the volume and asks the
// time: every call is recorded under the lock, and the tests read a copy.
std::mutex callsLock;
std::string calls;
std::string callsSnapshot;
std::set<std::string> nullMembers;
char description[] = "ZUL test output";

void Record(const std::string& call) {
  std::lock_guard<std::mutex> hold(callsLock);
  calls += call + ";";
}

void __cdecl Config(HWND) { Record("Config"); }
void __cdecl About(HWND) { Record("About"); }
void __cdecl Init() {
  LogLife(ThisModule(), "Init");
  Record("Init");
}
void __cdecl Quit() {
  LogLife(ThisModule(), "Quit");
  Record("Quit");
}
int __cdecl Open(int rate, int channels, int bits, int buffer, int prebuffer) {
  Record("Open(" + std::to_string(rate) + "," + std::to_string(channels) + "," + std::to_string(bits) + "," +
         std::to_string(buffer) + "," + std::to_string(prebuffer) + ")");
  return 0;
}
void __cdecl Close() { Record("Close"); }
int __cdecl Write(char*, int len) {
  Record("Write(" + std::to_string(len) + ")");
  return 0;
}
int __cdecl CanWrite() {
  Record("CanWrite");
  return 65536;
}
int __cdecl IsPlaying() {
  Record("IsPlaying");
  return 0;
}
int __cdecl Pause(int p) {
  Record("Pause(" + std::to_string(p) + ")");
  return 0;
}
void __cdecl SetVolume(int v) { Record("SetVolume(" + std::to_string(v) + ")"); }
void __cdecl SetPan(int p) { Record("SetPan(" + std::to_string(p) + ")"); }
void __cdecl Flush(int t) { Record("Flush(" + std::to_string(t) + ")"); }
int __cdecl GetOutputTime() {
  Record("GetOutputTime");
  return 0;
}
int __cdecl GetWrittenTime() {
  Record("GetWrittenTime");
  return 0;
}

template <class Fn>
void Member(const char* name, Fn& member, Fn value) {
  member = nullMembers.count(name) ? nullptr : value;
}

}  // namespace

EXPORT Out_Module* winampGetOutModule() {
  Record("winampGetOutModule");
  mod = Out_Module{};
  mod.version = 0x10;
  mod.description = description;
  mod.id = 4242;
  Member("Config", mod.Config, &Config);
  Member("About", mod.About, &About);
  Member("Init", mod.Init, &Init);
  Member("Quit", mod.Quit, &Quit);
  Member("Open", mod.Open, &Open);
  Member("Close", mod.Close, &Close);
  Member("Write", mod.Write, &Write);
  Member("CanWrite", mod.CanWrite, &CanWrite);
  Member("IsPlaying", mod.IsPlaying, &IsPlaying);
  Member("Pause", mod.Pause, &Pause);
  Member("SetVolume", mod.SetVolume, &SetVolume);
  Member("SetPan", mod.SetPan, &SetPan);
  Member("Flush", mod.Flush, &Flush);
  Member("GetOutputTime", mod.GetOutputTime, &GetOutputTime);
  Member("GetWrittenTime", mod.GetWrittenTime, &GetWrittenTime);
  return &mod;
}

// Valid until the next call of TestOutCalls.
EXPORT const char* TestOutCalls() {
  std::lock_guard<std::mutex> hold(callsLock);
  callsSnapshot = calls;
  return callsSnapshot.c_str();
}
EXPORT void TestOutReset() {
  std::lock_guard<std::mutex> hold(callsLock);
  calls.clear();
  nullMembers.clear();
}
EXPORT void TestOutSetNull(const char* name) { nullMembers.insert(name); }
