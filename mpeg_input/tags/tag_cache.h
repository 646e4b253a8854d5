#pragma once
// The short-lived cache behind the extended file information queries
// (winampGetExtendedFileInfo/W) and title building: what one read of the
// last file asked about found (its length, or that it has no valid frame;
// its tag record, or that it has none), answered again without touching the
// file while it is asked for at least every 2000 ms. So the playlist's
// questions about one entry (its title and length, then one extended field
// after another) open and scan the file once, tagged or not.
//
// Threads: any thread may call any method (the host's main thread, the
// playlist's tag-reading workers, title building). One mutex serialises
// every call, including the header scan and the file read it may cause, so
// the scan callback and the opener run under that lock and must not call
// back into the cache.
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "mpeg_input/stream/byte_source.h"
#include "mpeg_input/tags/tag_fields.h"

namespace zul::tags {

class CTagCache {
public:
  // Milliseconds that wrap around like timeGetTime.
  using Clock = std::function<std::uint32_t()>;
  // The header scan of the file at `path`, opened as `file`: its length in
  // ms, nothing when it has no valid frame. The tags are read through the
  // same source afterwards, so one open and its read windows serve both.
  using LengthScan = std::function<std::optional<int>(const std::wstring& path, CByteSource& file)>;
  using Opener = std::function<std::unique_ptr<CByteSource>(const std::wstring& path)>;

  static constexpr std::uint32_t kLifetimeMs = 2000;

  explicit CTagCache(LengthScan scan, Clock clock = MonotonicMilliseconds, Opener open = OpenFileSource);

  // A named field of the file's tags: "length" (ms as decimal text),
  // "title", "artist", "comment", "album", "year", "genre", "track" (names
  // without regard to case). Nothing for another name, a stream location, a
  // file the scan rejects, or one without any tag.
  std::optional<std::wstring> Query(std::wstring_view file, std::wstring_view field, int tagPriority);

  // The exported contract: 1 with the value written to `buffer` (at most
  // `size` - 1 characters and a terminator), else 0.
  int GetExtendedFileInfoW(const wchar_t* file, const wchar_t* field, wchar_t* buffer, int size, int tagPriority);
  // The same with narrow strings in the ANSI code page.
  int GetExtendedFileInfoA(const char* file, const char* field, char* buffer, int size, int tagPriority);

  struct Entry {
    CTagFields fields;  // fields[FilePath] is the file
    int lengthMs = 0;
  };
  // The record as Query sees it.
  std::optional<Entry> Lookup(std::wstring_view file, int tagPriority);

  // Everything one read found, for title building: the length (nothing for
  // a stream location or a file that cannot be opened or has no valid
  // frame) and the tag record when a tag kind was found.
  struct Description {
    std::optional<int> lengthMs;
    std::optional<CTagFields> fields;
  };
  Description Describe(std::wstring_view file, int tagPriority);

  // Forgets the cached file, e.g. after its tags were rewritten.
  void Clear();

  static std::uint32_t MonotonicMilliseconds();

private:
  // Makes the cache hold what a read of `file` finds, or finds again within
  // the lifetime. Needs mutex_.
  void Load(std::wstring_view file, int tagPriority);
  bool Tagged() const { return held_ && lengthMs_ && tagged_; }

  LengthScan scan_;
  Clock clock_;
  Opener open_;

  std::mutex mutex_;
  // All guarded by mutex_. held_: the fields below describe the file in
  // entry_.fields[FilePath], read in the order tagPriority_.
  bool held_ = false;
  std::optional<int> lengthMs_;  // nothing: no valid frame
  bool tagged_ = false;          // a tag kind was found; entry_ holds its fields
  Entry entry_;
  int tagPriority_ = 0;
  std::uint32_t lastUse_ = 0;
};

}  // namespace zul::tags
