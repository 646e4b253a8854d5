#pragma once
// Loaded general-purpose plug-ins (CDllGen) and their ordered list
// (CDllGenList), saved as "dllGenName%d". There is no built-in entry; an
// empty general module only lends functions to null members.
//
// Window procedures: a general plug-in commonly subclasses the Winamp
// window in init(). The host reads the window procedure right before and
// right after each init() and, when the plug-in is unloaded, calls quit()
// and puts back the procedure read before its init(). That drops any
// subclassing of plug-ins initialised after it, which is necessary: their
// procedures chain to this plug-in's code. The rule that keeps the window
// from ever holding a procedure of a freed DLL: when a plug-in P is
// unloaded, every remaining plug-in whose "before" procedure is the one P
// installed (P's "after") takes over P's "before" instead. So whatever the
// unloading order, a procedure put back always belongs to the host or to a
// plug-in that is still loaded.
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

class CDllGen {
public:
  // nullptr when the DLL cannot be used (logged, message shown).
  static std::unique_ptr<CDllGen> Load(const std::wstring& path, HWND winamp);
  CDllGen(const CDllGen&) = delete;
  CDllGen& operator=(const CDllGen&) = delete;
  ~CDllGen();  // without Unload the DLL stays mapped

  // init(), with the window procedure read right before and after it.
  void Init();
  // Serves pending sent messages, quit(), puts the procedure read before
  // init() back, frees the DLL (kept mapped if quit faulted).
  void Unload();
  void Config();

  const std::wstring& name() const { return name_; }
  winampGeneralPurposePlugin* record() const { return record_; }
  bool Initialised() const { return initialised_; }
  LONG_PTR procBefore() const { return procBefore_; }
  LONG_PTR procAfter() const { return procAfter_; }
  void SetProcBefore(LONG_PTR proc) { procBefore_ = proc; }
  int faults() const { return faults_; }

private:
  explicit CDllGen(std::wstring name) : name_(std::move(name)) {}
  bool Faulted(const GuardFault& fault, const wchar_t* call);

  std::wstring name_;
  PluginLibrary library_;
  HWND window_ = nullptr;
  GetGeneralPurposePluginFn getRecord_ = nullptr;
  winampGeneralPurposePlugin* record_ = nullptr;
  winampGeneralPurposePlugin* empty_ = nullptr;
  LONG_PTR procBefore_ = 0;
  LONG_PTR procAfter_ = 0;
  bool initialised_ = false;
  bool unloaded_ = false;
  int faults_ = 0;
};

class CDllGenList {
public:
  CDllGenList() = default;
  CDllGenList(const CDllGenList&) = delete;
  CDllGenList& operator=(const CDllGenList&) = delete;

  // Loads "dllGenName0", ... up to the first missing, empty or "NONE" value;
  // "STANDARD" is skipped, failed DLLs dropped. init() waits for InitAll.
  void LoadFromSettings(const ProfileReader& settings, HWND winamp);
  // init() on every entry in list order (start-up, after all lists loaded).
  void InitAll();
  // Writes the names, then unloads every plug-in in list order.
  bool SaveAndUnload(const std::wstring& profilePath);
  // Loads, appends and initialises one DLL.
  bool Add(const std::wstring& path, HWND winamp);
  // Unloads the entry (quit, window procedure, free). Out of range: ignored.
  void RemoveAt(int index);
  void Config(int index);

  int Count() const { return static_cast<int>(entries_.size()); }
  CDllGen* At(int index) const;
  std::vector<std::wstring> Names() const;
  void UnloadAll();

private:
  void UnloadEntry(std::unique_ptr<CDllGen> entry);

  std::vector<std::unique_ptr<CDllGen>> entries_;
};

}  // namespace zul
