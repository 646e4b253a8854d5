#pragma once
// Where entries get their tags: the input plug-in host's file-information
// calls. The host installs its implementation once at start-up; until then
// (and in tests that install nothing) every question goes unanswered.
//
// Threads: the source is called from the thread that reads an entry's tags:
// the UI thread for lazy reads and playlist workers for bulk reads and sorts.
// The playlist never calls it while holding the playlist lock, because a
// plug-in answering may send messages to the UI thread, which can be waiting
// for that lock. SetTagSource is called on the UI thread before any worker
// starts; the pointer is read atomically.
#include <string>

namespace zul {

class TagSource {
public:
  virtual ~TagSource() = default;
  // Basic file information: the plug-in's title and the length in
  // milliseconds (negative when unknown).
  virtual void GetFileInfo(const std::wstring& path, std::wstring* title, int* lengthMs) = 0;
  // One extended field by name ("length", "title", "artist", "comment",
  // "album", "year"); false when no plug-in answers.
  virtual bool GetExtendedFileInfo(const std::wstring& path, const char* field, std::wstring* value) = 0;
};

// nullptr restores the source that answers nothing.
void SetTagSource(TagSource* source);
TagSource& CurrentTagSource();

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
