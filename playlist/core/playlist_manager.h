#pragma once
// The one playlist of the process: at most 10000 entries, the current index
// with a copy of the current entry, and the display mode of titles.
//
// Threads: the UI thread, the playlist workers (loads, tag reading, sort,
// duplicate and missing-file removal, automation) and IPC handlers all call
// in. One recursive mutex guards every member. Every public operation takes
// it, getters included, so a getter always sees a whole array even while a
// worker changes it; the mutex is recursive so that a caller holding Lock()
// can still use the other operations.
// The mutex is never held across a call into the tag source (a plug-in can
// send messages to the UI thread, which may be waiting for the mutex) nor
// across a file-system check. Tag reads copy the entry out, read unlocked and
// store the tags back only when the entry at that index still has the same
// path. Passes over the whole list (QuickSort, RemoveDuplicateEntries,
// RemoveMissingFiles) do their slow part on a snapshot and hold the mutex
// only to commit, so the UI thread waits at most for one array rebuild.
// QuickSort commits its snapshot when no change happened meanwhile
// (version_); otherwise it formats the current entries under the mutex with
// tag reads suppressed, using what is cached. The playlist mutex is a leaf:
// nothing else is locked and no message is sent while it is held. A caller
// holding Lock() must not call the operations that read tags.
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "playlist/core/cached_tag.h"

namespace zul {

class PlaylistManager {
public:
  static constexpr int kMaxEntries = 10000;

  PlaylistManager() = default;
  PlaylistManager(const PlaylistManager&) = delete;
  PlaylistManager& operator=(const PlaylistManager&) = delete;

  // Holds the playlist still across several operations.
  std::unique_lock<std::recursive_mutex> Lock() const { return std::unique_lock(mutex_); }

  int Count() const;
  // index -1 appends, a valid index replaces. Appending and inserting are
  // ignored at 10000 entries; replacing is not, since it adds nothing.
  void AddPath(int index, std::wstring_view path);
  void SetOrAdd(int index, const CachedTag& entry);
  // Before index; index == Count() appends.
  void InsertAt(int index, const CachedTag& entry);
  // The current index is left alone: callers adjust it.
  void RemoveAt(int index);
  // Runs the worker stop hook first, outside the lock.
  void RemoveAll();
  int IndexOf(std::wstring_view path) const;  // exact, case-sensitive; -1
  CachedTag GetEntry(int index) const;
  std::vector<CachedTag> Snapshot() const;

  // Out of range: empty text, 0 or false. Getters that need tags read them
  // first (outside the lock) unless cachedOnly is set.
  std::wstring GetArtist(int index, bool cachedOnly = false);
  std::wstring GetTitle(int index, bool cachedOnly = false);
  std::wstring GetAlbum(int index);
  std::wstring GetYear(int index);
  std::wstring GetComment(int index);
  std::wstring GetLengthText(int index, bool cachedOnly = false);
  std::wstring GetFileName(int index) const;
  std::wstring GetDrive(int index) const;
  std::wstring GetFolder(int index) const;
  std::wstring GetExtension(int index) const;
  std::wstring GetPath(int index) const;
  std::wstring GetDefaultTitle(int index) const;
  std::wstring GetFormatted(int index) const;
  int GetLength(int index) const;
  bool IsInfoRead(int index) const;
  std::wstring GetDisplayTitle(int index, bool cachedOnly);

  void SetTitle(int index, std::wstring_view text);
  void SetArtist(int index, std::wstring_view text);
  void SetComment(int index, std::wstring_view text);
  void SetLength(int index, int seconds);

  int GetCurrent() const;
  // Also takes the copy of the current entry (empty when out of range).
  void SetCurrent(int index);
  CachedTag GetCurrentEntry() const;

  void SetDisplayMode(int mode);  // 0, 1 or 2; anything else is ignored
  int GetDisplayMode() const;

  // Reads one entry's tags (unless read and not forced) and stores them
  // back; false when the index is invalid or the entry changed meanwhile.
  bool ReadTagsAt(int index, bool force);
  // The bulk re-read: every entry, forced, until stop is set. True when it
  // reached the end.
  bool ReadAllTags(const std::atomic<bool>& stop);

  // What RemoveAll must stop first (the tag reader, the automation pass).
  void SetWorkerStopHook(std::function<void()> hook);

  // The passes below take an optional stop flag, read between entries of
  // their unlocked part. A pass that sees it set returns false before its
  // commit, so the playlist is left exactly as it was.

  // Sorts by the template ("%7" when empty); the current entry stays the
  // same file (its first occurrence).
  bool QuickSort(std::wstring_view tmpl, const std::atomic<bool>* stop = nullptr);
  // Sorts, then keeps the first of each run of neighbours with the same
  // path; the current index follows its entry to the one kept.
  bool RemoveDuplicateEntries(std::wstring_view sortTemplate, const std::atomic<bool>* stop = nullptr);
  // Removes entries that are neither a location ("://" after the first
  // character) nor a usable file; fileUsable answers "exists, size not 0"
  // and is called without the lock. The current index follows its file,
  // -1 when that was removed.
  bool RemoveMissingFiles(const std::function<bool(const std::wstring&)>& fileUsable,
                          const std::atomic<bool>* stop = nullptr);
  // ceil(1.5 * count + 1) exchanges of two entries drawn by rand (0..32767);
  // the current index follows its entry. Nothing below two entries.
  void ShufflePlaylist(const std::function<int()>& rand);

private:
  bool Valid(int index) const { return index >= 0 && index < static_cast<int>(entries_.size()); }
  bool Full() const { return entries_.size() >= static_cast<size_t>(kMaxEntries); }
  void Changed() { ++version_; }
  // Orders `formatted` (formatted copies of all entries) and makes it the
  // playlist. Lock held.
  void CommitSorted(std::vector<CachedTag>&& formatted);
  template <class Fn>
  auto WithEntry(int index, Fn fn) const -> decltype(fn(std::declval<const CachedTag&>()));
  template <class Fn>
  auto WithEntry(int index, Fn fn) -> decltype(fn(std::declval<CachedTag&>()));

  mutable std::recursive_mutex mutex_;
  std::vector<CachedTag> entries_;
  int current_ = -1;
  CachedTag currentEntry_;
  int displayMode_ = kDisplayTitle;
  uint64_t version_ = 0;
  std::function<void()> stopWorkers_;
};

}  // namespace zul
