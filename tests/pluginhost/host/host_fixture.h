#pragma once
// Shared pieces of the plug-in host's Wine tests: copies of the test
// plug-in DLLs, a stand-in Winamp window, a catcher that finds and dismisses
// the message boxes of failed loads, and the fake built-in modules.
#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zul::test {

// A fresh folder under %TEMP% for one test.
std::wstring MakeTempDir(const wchar_t* name);

// A copy of a fake plug-in DLL under its own name, so several copies are
// independent plug-ins. The test holds its own reference to reach the Test*
// exports; Release() drops it so the host's unload really unmaps the DLL.
class PluginCopy {
public:
  PluginCopy(const wchar_t* builtName, const std::wstring& dir, const wchar_t* copyName);
  ~PluginCopy() { Release(); }
  PluginCopy(const PluginCopy&) = delete;
  PluginCopy& operator=(const PluginCopy&) = delete;

  const std::wstring& path() const { return path_; }
  HMODULE module() const { return module_; }
  template <class Fn>
  Fn Export(const char* name) const {
    return reinterpret_cast<Fn>(GetProcAddress(module_, name));
  }
  void Release();
  // True while any reference keeps the copy mapped.
  bool Mapped() const { return GetModuleHandleW(path_.c_str()) != nullptr; }

private:
  std::wstring path_;
  HMODULE module_ = nullptr;
};

// The fake input plug-in's exports.
struct InputControls {
  explicit InputControls(const PluginCopy& copy);
  void (*Reset)();
  void (*SetInt)(const char*, int);
  int (*GetInt)(const char*);
  int (*Calls)(const char*);
  const char* (*CallOrder)();
  void (*SetExtensions)(const char*, int);
  void (*SetNull)(const char*);
  void (*SetFault)(const char*, int);
  const void* (*LastFile)(const char*);
  const void* (*PlayPointer)();
  void (*CallSetInfo)(int, int, int, int);
  void (*Fault)(int);
  template <size_t N>
  void Extensions(const char (&pairs)[N]) {
    SetExtensions(pairs, static_cast<int>(N));  // includes the final NUL of the literal
  }
};

struct GeneralControls {
  explicit GeneralControls(const PluginCopy& copy);
  void (*Set)(const char*, int);
  int (*Get)(const char*);
  void (*Go)();
};

// A hidden top-level window standing in for the Winamp window. WM_USER is
// answered by OnIpc (lParam -> reply) when set, else with 0x5030; the "who"
// message (WM_APP + 0x300) with 9.
inline constexpr UINT kWho = WM_APP + 0x300;
HWND CreateWinampStandIn();
extern std::function<LRESULT(LPARAM)> OnIpc;
extern int ipcMessages;

// Finds the message boxes (class #32770) of a process, records caption and
// text and dismisses them, on a thread of its own.
class MessageBoxCatcher {
public:
  explicit MessageBoxCatcher(DWORD pid = GetCurrentProcessId());
  ~MessageBoxCatcher();
  struct Box {
    std::wstring caption, text;
  };
  std::vector<Box> Boxes();
  // Waits until at least count boxes were seen.
  bool WaitFor(size_t count, DWORD timeoutMs);

private:
  void Run();
  DWORD pid_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<Box> boxes_;
  std::vector<HWND> handled_;
  std::thread thread_;
};

// Reads a key of "Preferences" from an INI file ("" when missing).
std::wstring IniValue(const std::wstring& ini, const std::wstring& key);
void WriteIni(const std::wstring& ini, const std::wstring& preferencesLines);

// Calls made into the fake built-in modules, by member name.
int BuiltinCalls(const char* member);
void ResetBuiltins();
void SetBuiltinPlayResult(int result);

#if defined(__i386__)
// The head of this thread's SEH chain, to show a guard left no record of a
// dead frame on it. x64 has no such chain.
void* ChainHead();
#endif

}  // namespace zul::test
