#pragma once
// What the playlist asks the input plug-in host: the file-information calls
// that fill an entry's tags, and the extensions the input plug-ins claim
// (for folder scans). One source is registered at a time; the plug-in host
// registers its own once the input plug-ins are loaded and takes it back
// before it unloads them. Until then (and in tests that register nothing)
// tag reads give nothing, so entries keep their file names as titles and get
// no length, and folder scans take what the built-in MPEG input claims by
// default.
//
// Threads: the source is called from the thread that reads an entry's tags:
// the UI thread for lazy reads and playlist workers for bulk reads, sorts
// and folder scans. The playlist never calls it while holding the playlist
// lock, because a plug-in answering may send messages to the UI thread,
// which can be waiting for that lock. The implementation makes its own
// plug-in calls safe from those threads.
#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace zul {

class TagSource {
public:
  virtual ~TagSource() = default;
  // Basic file information: the plug-in's title and the length in
  // milliseconds (negative when unknown).
  virtual void GetFileInfo(const std::wstring& path, std::wstring* title, int* lengthMs) = 0;
  // One extended field by name ("length", "title", "artist", "comment",
  // "album", "year") into at most 260 characters; false when no plug-in
  // answers.
  virtual bool GetExtendedFileInfo(const std::wstring& path, const char* field, std::wstring* value) = 0;
  // Every input plug-in's extensions, ";"-separated ("MP3;MP2;MP1;RMP;").
  virtual std::wstring ExtensionList() = 0;
};

// Makes `source` the one every read asks (nullptr: the source that answers
// nothing), then waits until no read through the source it replaced is under
// way, so the caller may free what that source calls into. whileWaiting runs
// every few milliseconds during the wait (the UI thread answers the messages
// a plug-in inside a read may be sending it). False when `patience` ran out
// with a read still inside the old source: whatever it calls must then stay
// alive. Never call it from a thread inside a read (it would wait for
// itself).
bool SetTagSource(TagSource* source, std::chrono::milliseconds patience = std::chrono::milliseconds::max(),
                  const std::function<void()>& whileWaiting = {});

// The registered source, held for the calls of one read: SetTagSource does
// not return while a use of the source it replaces lives.
class TagSourceUse {
public:
  TagSourceUse();
  ~TagSourceUse();
  TagSourceUse(const TagSourceUse&) = delete;
  TagSourceUse& operator=(const TagSourceUse&) = delete;
  TagSource* operator->() const;
  TagSource& operator*() const;

  struct Slot;

private:
  std::shared_ptr<Slot> slot_;
};

// The registered source's extension list, or the built-in MPEG input's
// default one ("MP3;MP2;MP1;RMP") when none is registered.
std::wstring InputExtensionList();

// While one of these lives on a thread, tag reads on that thread do nothing
// (entries keep infoRead false and give their cached texts). The playlist
// manager holds one whenever it formats entries under its lock.
class NoTagReads {
public:
  NoTagReads();
  ~NoTagReads();
  NoTagReads(const NoTagReads&) = delete;
  NoTagReads& operator=(const NoTagReads&) = delete;
  static bool Active();
};

}  // namespace zul
