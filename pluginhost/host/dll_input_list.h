#pragma once
// The ordered list of input plug-ins (CDllInputList): loading it from and
// saving it to "dllInName%d", the current plug-in that playback acts on,
// choosing the plug-in for a location, and the combined extension texts.
//
// Choosing: a location containing "://" goes to the first plug-in in list
// order whose IsOurFile claims it (extensions are not consulted); any other
// location goes to the plug-ins whose extension text it ends with, in list
// order (IsOurFile is not called).
//
// Threads: UI thread, except the file questions the playlist's tag reads
// ask from its workers (GetFileInfo with a path, GetExtendedFileInfo,
// BuildExtensionList; see input_tag_source.h). The list is not locked: it may
// be edited (loaded, unloaded, added to, removed from, reordered) only while
// no such question can be under way, that is while the playlist's tag source
// over this list is not registered.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "base/settings.h"
#include "pluginhost/host/dll_input.h"

namespace zul {

class CDllInputList {
public:
  CDllInputList() = default;
  CDllInputList(const CDllInputList&) = delete;
  CDllInputList& operator=(const CDllInputList&) = delete;

  // Rebuilds the list from "dllInName0", "dllInName1", ... up to the first
  // missing, empty or "NONE" value. "STANDARD" is present exactly once: where
  // it is listed first, else after the last listed plug-in. A DLL that fails
  // to load is dropped (one message box each). Every entry is initialised.
  void LoadFromSettings(const ProfileReader& settings, HWND winamp);
  // Writes the names to the settings file (then "NONE"), then quits and
  // frees every plug-in in list order. Returns false if the file could not
  // be written (the plug-ins are unloaded all the same).
  bool SaveAndUnload(const std::wstring& profilePath);
  // Loads, initialises and appends one DLL; false (message shown) if it
  // cannot be used.
  bool Add(const std::wstring& path, HWND winamp);
  // Stops the plug-in if it plays, quits and frees it; the first entry
  // becomes current. An index out of range is ignored.
  void RemoveAt(int index);
  // Swaps the entry with the one before it; index 0 does nothing.
  void MoveUp(int index);

  // Stops the current plug-in if needed, then asks the chosen plug-ins in
  // order. A file: a plug-in answering -1 (file not found) lets the next
  // matching one try. A stream: the first claimant's answer is final, and -1
  // becomes 1. Nobody played: -1 and the last entry is current.
  int PlayFile(const std::wstring& path);
  // A null path asks the current plug-in about the track being played.
  // Nobody handles the location: empty title, length 0.
  void GetFileInfo(const std::wstring* path, std::wstring& title, int& lengthMs);
  int InfoBox(const std::wstring& path, HWND parent);  // -1: nobody handles it
  int GetExtendedFileInfo(const std::wstring& path, const wchar_t* field, wchar_t* ret, int retlen);  // -1: nobody
  // The first non-zero IsOurFile answer in list order, or 0.
  int AnyClaims(const std::wstring& path);
  // SetVolume on every plug-in in order; a fault in one ends the loop.
  void SetVolumeAll(int volume);
  // Gives every input module (and those added later) this output module.
  void SetOutModAll(Out_Module* output);

  // The current plug-in's controls; harmless with no current plug-in.
  void Pause();
  void UnPause();
  int IsPaused();
  void Stop();
  int GetLength();
  int GetOutputTime();
  void SetOutputTime(int ms);
  void SetPan(int pan);
  int IsSeekable();
  PlayState GetState();  // Stopped also with no current plug-in

  std::wstring BuildOpenFilter();
  std::wstring BuildExtensionList();

  int Count() const { return static_cast<int>(entries_.size()); }
  CDllInput* At(int index) const;
  CDllInput* Current() const { return current_; }
  std::vector<std::wstring> Names() const;
  // Stops a plug-in that plays, then quits and frees every plug-in without
  // writing anything.
  void UnloadAll();

private:
  CDllInput* Choose(const std::wstring& path);
  void Append(std::unique_ptr<CDllInput> entry);

  std::vector<std::unique_ptr<CDllInput>> entries_;
  CDllInput* current_ = nullptr;
  Out_Module* output_ = nullptr;
};

}  // namespace zul
