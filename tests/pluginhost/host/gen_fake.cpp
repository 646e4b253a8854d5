// A fake general-purpose plug-in. Configured by TestGenSet or by the
// environment variable ZUL_TEST_GEN_OPTIONS ("key=value,..."), read when the
// host asks for the record:
//   id=N         its answer digit to the "who" message (see below)
//   subclass=1   subclasses the Winamp window in init() with SetWindowLongPtrW,
//   subclass=2   ... with SetWindowLongPtrA, as ANSI plug-ins do
//   ipc=N        sends WM_USER with lParam N to the Winamp window from init()
//   faultInit=K, faultQuit=K   fault kinds of fault_kit.h
//   thread=1     starts a thread in init() that, once TestGenGo() is called,
//                sends WM_USER to the Winamp window; quit() waits for it
//                (5 s at most, then reports "deadlocked")
//   nullInit=1, nullConfig=1, nullQuit=1   leaves the member null
// The "who" message (WM_APP + 0x300) answers the previous procedure's
// answer times 10 plus its id, so a chain of subclassers shows in the digits.
#include <map>
#include <mutex>
#include <string>

#include "pluginhost/protocol/winamp_records.h"
#include "tests/pluginhost/host/fault_kit.h"
#include "tests/pluginhost/host/plugin_log.h"

using namespace zul;
using namespace zul::test;

#define EXPORT extern "C" __declspec(dllexport)

namespace {

constexpr UINT kWho = WM_APP + 0x300;
constexpr LPARAM kThreadIpc = 0x7A11;

winampGeneralPurposePlugin plugin;
char description[] = "ZUL test general plug-in";
std::map<std::string, int> options;
// Written by the plug-in's own thread and by the host's thread (quit, the
// subclass procedure) at the same moments, and read by the test: one lock.
std::mutex resultsLock;
std::map<std::string, int> results;

void AddResult(const char* key, int delta) {
  std::lock_guard<std::mutex> hold(resultsLock);
  results[key] += delta;
}

void SetResult(const char* key, int value) {
  std::lock_guard<std::mutex> hold(resultsLock);
  results[key] = value;
}

int Result(const char* key) {
  std::lock_guard<std::mutex> hold(resultsLock);
  auto it = results.find(key);
  return it == results.end() ? 0 : it->second;
}
LONG_PTR oldProc = 0;
bool ansiSubclass = false;
HANDLE thread = nullptr;
HANDLE goEvent = nullptr;
HANDLE stopEvent = nullptr;

int Option(const char* key, int fallback = 0) {
  auto it = options.find(key);
  return it == options.end() ? fallback : it->second;
}

void ReadEnvironmentOptions() {
  char text[512];
  DWORD n = GetEnvironmentVariableA("ZUL_TEST_GEN_OPTIONS", text, sizeof text);
  if (n == 0 || n >= sizeof text) return;
  std::string all(text, n);
  size_t start = 0;
  while (start < all.size()) {
    size_t end = all.find(',', start);
    if (end == std::string::npos) end = all.size();
    std::string item = all.substr(start, end - start);
    size_t eq = item.find('=');
    if (eq != std::string::npos) options[item.substr(0, eq)] = std::stoi(item.substr(eq + 1));
    start = end + 1;
  }
}

LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  AddResult("messages", 1);
  LRESULT previous = ansiSubclass ? CallWindowProcA(reinterpret_cast<WNDPROC>(oldProc), hwnd, msg, wParam, lParam)
                                  : CallWindowProcW(reinterpret_cast<WNDPROC>(oldProc), hwnd, msg, wParam, lParam);
  if (msg == kWho) return previous * 10 + Option("id");
  return previous;
}

DWORD WINAPI SenderThread(void*) {
  HANDLE waits[2] = {goEvent, stopEvent};
  if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0) {
    SetResult("sendResult", static_cast<int>(SendMessageW(plugin.hwndParent, WM_USER, 0, kThreadIpc)));
    SetResult("sendReturned", 1);
    WaitForSingleObject(stopEvent, INFINITE);
  }
  return 0;
}

int __cdecl Init() {
  LogLife(ThisModule(), "init");
  AddResult("initCalls", 1);
  if (int how = Option("subclass")) {
    ansiSubclass = how == 2;
    const auto proc = reinterpret_cast<LONG_PTR>(&SubclassProc);
    oldProc = ansiSubclass ? SetWindowLongPtrA(plugin.hwndParent, GWLP_WNDPROC, proc)
                           : SetWindowLongPtrW(plugin.hwndParent, GWLP_WNDPROC, proc);
  }
  if (options.count("ipc"))
    SetResult("ipcResult", static_cast<int>(SendMessageW(plugin.hwndParent, WM_USER, 0, Option("ipc"))));
  if (Option("thread")) {
    goEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread = CreateThread(nullptr, 0, SenderThread, nullptr, 0, nullptr);
  }
  RaiseFault(Option("faultInit"));
  return 0;
}

void __cdecl Config() { AddResult("configCalls", 1); }

void __cdecl Quit() {
  LogLife(ThisModule(), "quit");
  AddResult("quitCalls", 1);
  if (thread) {
    // Like many plug-ins: tell the thread to end and wait for it, while the
    // thread may be blocked sending to the Winamp window on this thread.
    SetEvent(stopEvent);
    if (WaitForSingleObject(thread, 5000) == WAIT_TIMEOUT) SetResult("deadlocked", 1);
    CloseHandle(thread);
    thread = nullptr;
  }
  RaiseFault(Option("faultQuit"));
}

}  // namespace

EXPORT winampGeneralPurposePlugin* winampGetGeneralPurposePlugin() {
  ReadEnvironmentOptions();
  plugin = winampGeneralPurposePlugin{};
  plugin.version = 0x10;
  plugin.description = description;
  plugin.init = Option("nullInit") ? nullptr : &Init;
  plugin.config = Option("nullConfig") ? nullptr : &Config;
  plugin.quit = Option("nullQuit") ? nullptr : &Quit;
  return &plugin;
}

EXPORT void TestGenSet(const char* key, int value) { options[key] = value; }
EXPORT int TestGenGet(const char* key) { return Result(key); }
EXPORT void TestGenGo() { SetEvent(goEvent); }
