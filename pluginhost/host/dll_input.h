#pragma once
// One loaded input plug-in (CDllInput): its DLL, its In_Module record, the
// play state the host keeps for it, and every host call into it, each made
// under the fault guard (plugin_guard.h) with a neutral result on a fault.
//
// ANSI modules get file names converted through the ANSI code page into
// 255-byte buffers of their own, one per call: Play's and InfoBox's stay
// valid until the next call of that kind (a plug-in may keep the pointer Play
// gave it), the others only for the call.
// Unicode modules (version flag 0x0F000000) get UTF-16 names.
//
// Threads: UI thread, except the questions the playlist's tag reads ask
// (GetFileInfo with a path, GetExtendedFileInfo, IsOurFile and the extension
// texts), which any thread may ask at any time: they keep nothing in the
// object (their name buffers live on the caller's stack), as the plug-ins'
// own answers to them are expected to. The plug-in's own threads call the
// host callbacks (host_callbacks.h) and its outMod, never this object. Stop
// is the one other call made from a thread of its own (see there), while the
// UI thread waits and answers sent messages.
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "pluginhost/extensions/extension_lists.h"
#include "pluginhost/host/ansi_text.h"
#include "pluginhost/host/play_state.h"
#include "pluginhost/host/plugin_library.h"
#include "pluginhost/protocol/winamp_records.h"

namespace zul {

class CDllInput {
public:
  // The built-in MPEG input, named "STANDARD".
  static std::unique_ptr<CDllInput> Standard(HWND winamp);
  // A plug-in DLL; nullptr when it cannot be used (logged, message shown).
  static std::unique_ptr<CDllInput> Load(const std::wstring& path, HWND winamp);

  CDllInput(const CDllInput&) = delete;
  CDllInput& operator=(const CDllInput&) = delete;
  // A record destroyed without Unload leaves its DLL mapped.
  ~CDllInput();

  // Init(), then the host callbacks into the members still null.
  void Initialise();
  // Quit(), then frees the DLL (kept mapped if Quit faulted).
  void Unload();

  const std::wstring& name() const { return name_; }
  bool IsStandard() const { return standard_; }
  bool IsUnicode() const { return unicode_; }
  In_Module* module() const { return module_; }
  PlayState state() const { return state_; }
  int faults() const { return faults_.load(); }

  int Play(const std::wstring& path);  // 0 ok, -1 not found, other: error (1 on a fault)
  void Pause();
  void UnPause();
  int IsPaused();
  void Stop();
  int GetLength();
  int GetOutputTime();
  void SetOutputTime(int ms);
  bool SetVolume(int volume);  // false when the plug-in faulted
  void SetPan(int pan);
  int IsSeekable();
  int IsOurFile(const std::wstring& path);
  // A null path asks about the track being played. On a fault the title is
  // empty and the length 0.
  void GetFileInfo(const std::wstring* path, std::wstring& title, int& lengthMs);
  int InfoBox(const std::wstring& path, HWND parent);
  // The plug-in's winampGetExtendedFileInfoW, or the built-in MPEG input's
  // answer for files the built-in claims; 0 when nobody answered.
  int GetExtendedFileInfo(const std::wstring& path, const wchar_t* field, wchar_t* ret, int retlen);
  void Config(HWND parent);
  void About(HWND parent);
  void SetOutMod(Out_Module* output);

  std::vector<extensions::ExtensionPair> ExtensionPairs();
  std::wstring ExtensionText();
  bool MatchesExtension(const std::wstring& path);

private:
  explicit CDllInput(std::wstring name) : name_(std::move(name)) {}
  bool Faulted(const GuardFault& fault, const wchar_t* call);
  void* FileArgument(const std::wstring& path, AnsiName& ansi, std::wstring& wide);

  std::wstring name_;
  PluginLibrary library_;
  bool standard_ = false;
  bool unloaded_ = false;
  bool stopping_ = false;
  GetInModuleFn getModule_ = nullptr;
  FARPROC extendedInfoNarrow_ = nullptr;  // resolved, never called
  GetExtendedFileInfoWFn extendedInfoWide_ = nullptr;
  In_Module* module_ = nullptr;
  In_Module* builtin_ = nullptr;
  PlayState state_ = PlayState::Stopped;
  std::atomic<int> faults_{0};
  bool unicode_ = false;

  AnsiName playName_{}, boxName_{};
  std::wstring playNameWide_, boxNameWide_;
};

}  // namespace zul
