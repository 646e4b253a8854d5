#pragma once
// Loaded output plug-ins (CDllOutput) and their ordered list
// (CDllOutputList), saved as "dllOutName%d". The first entry is the current
// output, the one every input module gets as outMod. The host itself calls
// only Init, Quit, Config and About; the input plug-ins call the rest
// through outMod from their own threads.
//
// Threads: UI thread only.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "base/settings.h"
#include "pluginhost/host/plugin_library.h"
#include "pluginhost/protocol/winamp_records.h"

namespace zul {

class CDllOutput {
public:
  static std::unique_ptr<CDllOutput> Standard(HWND winamp);
  // nullptr when the DLL cannot be used (logged, message shown).
  static std::unique_ptr<CDllOutput> Load(const std::wstring& path, HWND winamp);
  CDllOutput(const CDllOutput&) = delete;
  CDllOutput& operator=(const CDllOutput&) = delete;
  ~CDllOutput();  // without Unload the DLL stays mapped

  void Init();
  // Quit() (only if Init ran), then frees the DLL (kept if Quit faulted).
  void Unload();
  void Config(HWND parent);
  void About(HWND parent);

  const std::wstring& name() const { return name_; }
  bool IsStandard() const { return standard_; }
  bool Initialised() const { return initialised_; }
  Out_Module* module() const { return module_; }
  int faults() const { return faults_; }

private:
  explicit CDllOutput(std::wstring name) : name_(std::move(name)) {}
  bool Faulted(const GuardFault& fault, const wchar_t* call);

  std::wstring name_;
  PluginLibrary library_;
  bool standard_ = false;
  bool initialised_ = false;
  bool unloaded_ = false;
  GetOutModuleFn getModule_ = nullptr;
  Out_Module* module_ = nullptr;
  Out_Module* builtin_ = nullptr;
  int faults_ = 0;
};

class CDllOutputList {
public:
  CDllOutputList() = default;
  CDllOutputList(const CDllOutputList&) = delete;
  CDllOutputList& operator=(const CDllOutputList&) = delete;

  // As the input list: "STANDARD" exactly once, failed DLLs dropped; each
  // entry's Init() runs right after it is loaded.
  void LoadFromSettings(const ProfileReader& settings, HWND winamp);
  bool SaveAndUnload(const std::wstring& profilePath);
  // Loads and appends; Init() waits for the next start (or for the entry to
  // become current).
  bool Add(const std::wstring& path, HWND winamp);
  // Quits (if initialised) and frees the entry. The caller then gives
  // CurrentModule() to the input modules again: they may hold the removed
  // record (see plugin_lists.h).
  void RemoveAt(int index);
  void MoveUp(int index);
  void MoveDown(int index);
  void Config(int index, HWND parent);
  void About(int index, HWND parent);
  // The first entry's module (initialised first if it never was); the
  // built-in's when the list is empty, so inputs never get a null outMod.
  Out_Module* CurrentModule();

  int Count() const { return static_cast<int>(entries_.size()); }
  CDllOutput* At(int index) const;
  std::vector<std::wstring> Names() const;
  void UnloadAll();

private:
  std::vector<std::unique_ptr<CDllOutput>> entries_;
  HWND winamp_ = nullptr;
};

}  // namespace zul
