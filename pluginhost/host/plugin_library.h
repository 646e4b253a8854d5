#pragma once
// What the three kinds of loaded plug-in share: loading the DLL and finding
// its entry export (with the failure message the user sees), logging a
// fault, and serving the messages plug-in threads are waiting on.
//
// Threads: UI thread.
#include <windows.h>

#include <string>

#include "pluginhost/host/plugin_guard.h"

namespace zul {

inline constexpr wchar_t kStandardName[] = L"STANDARD";
inline constexpr wchar_t kNoneName[] = L"NONE";

// The user-visible message of a failed load, one per kind.
inline constexpr wchar_t kInputLoadFailed[] = L"Failed to load the input plugin ";
inline constexpr wchar_t kOutputLoadFailed[] = L"Failed to load the output plugin ";
inline constexpr wchar_t kGeneralLoadFailed[] = L"Failed to load the gen plugin ";

// "in_x.dll" of "C:\Plugins\in_x.dll".
std::wstring FileNameOf(const std::wstring& path);

// Shows the failed-load message box: the kind's text followed by the DLL's
// file name, exclamation icon, caption "ZUL".
void ShowLoadFailure(const wchar_t* kindText, const std::wstring& path);

// A DLL loaded for a plug-in and the address of its entry export. Load
// returns false (having logged why, named the missing export, and shown the
// message box) when the DLL does not load or lacks the export.
class PluginLibrary {
public:
  PluginLibrary() = default;
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;
  ~PluginLibrary();  // frees the DLL unless Keep() or Free() was called

  bool Load(const std::wstring& path, const char* entryName, const wchar_t* kindText);
  HMODULE module() const { return module_; }
  FARPROC entry() const { return entry_; }
  FARPROC Export(const char* name) const { return module_ ? GetProcAddress(module_, name) : nullptr; }
  void Free();
  // Leaves the DLL mapped for the rest of the process: after a fault in its
  // shutdown its threads or hooks may still run code from it.
  void Keep() { module_ = nullptr; }

private:
  HMODULE module_ = nullptr;
  FARPROC entry_ = nullptr;
};

// Logs a caught fault of a plug-in and returns true if there was one.
bool ReportFault(const GuardFault& fault, const std::wstring& plugin, const wchar_t* call, int* faultCount);

// Serves the messages other threads have sent to this thread's windows and
// are blocked on. Called right before a plug-in's quit: a plug-in whose
// thread sends to the Winamp window and whose quit waits for that thread
// would otherwise wait for ever.
void ServeSentMessages();

}  // namespace zul
