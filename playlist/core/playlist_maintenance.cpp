// Whole-list passes of the playlist: sort, duplicate and missing-file
// removal, shuffle. See the Threads paragraph of playlist_manager.h.
#include <optional>
#include <unordered_set>
#include <utility>

#include "base/text_codec.h"
#include "playlist/core/path_parts.h"
#include "playlist/core/playlist_manager.h"
#include "playlist/core/sort_order.h"
#include "playlist/core/tag_source.h"
#include "playlist/core/title_template.h"

namespace zul {

namespace {
bool Stopped(const std::atomic<bool>* stop) { return stop && stop->load(std::memory_order_relaxed); }
}  // namespace

bool PlaylistManager::QuickSort(std::wstring_view tmpl, const std::atomic<bool>* stop) {
  const std::wstring key = tmpl.empty() ? std::wstring(L"%7") : std::wstring(tmpl);
  std::vector<CachedTag> formatted;
  uint64_t version;
  {
    std::lock_guard lock(mutex_);
    if (entries_.empty()) return true;
    formatted = entries_;
    version = version_;
  }
  // Unlocked: a template with tag placeholders reads tags here.
  for (CachedTag& e : formatted) {
    if (Stopped(stop)) return false;
    FormatEntry(e, key);
  }

  std::lock_guard lock(mutex_);
  if (Stopped(stop)) return false;
  if (version_ != version) {
    // Changed meanwhile: keep what was read, then format what is there now
    // from cached values only.
    for (size_t i = 0; i < formatted.size() && i < entries_.size(); ++i) {
      if (formatted[i].infoRead && !entries_[i].infoRead && formatted[i].Path16() == entries_[i].Path16()) {
        entries_[i].CopyTagsFrom(formatted[i]);
      }
    }
    NoTagReads noReads;
    formatted = entries_;
    for (CachedTag& e : formatted) FormatEntry(e, key);
  }
  CommitSorted(std::move(formatted));
  return true;
}

void PlaylistManager::CommitSorted(std::vector<CachedTag>&& formatted) {
  std::optional<std::u16string> currentPath;
  if (Valid(current_)) currentPath = entries_[current_].Path16();

  std::vector<std::u16string_view> keys;
  keys.reserve(formatted.size());
  for (const CachedTag& e : formatted) keys.push_back(e.Formatted16());
  const std::vector<uint32_t> order = SortOrder(keys);

  std::vector<CachedTag> sorted;
  sorted.reserve(formatted.size());
  for (uint32_t i : order) sorted.push_back(std::move(formatted[i]));
  entries_.swap(sorted);
  Changed();

  if (currentPath) SetCurrent(IndexOf(FromU16(*currentPath)));
}

bool PlaylistManager::RemoveDuplicateEntries(std::wstring_view sortTemplate, const std::atomic<bool>* stop) {
  if (!QuickSort(sortTemplate, stop)) return false;
  std::lock_guard lock(mutex_);
  if (entries_.size() < 2) return true;
  // One compaction pass instead of erasing one element at a time. Each run
  // of equal paths keeps its first entry; an index inside a run moves to
  // that entry, an index behind it moves down by what was removed before.
  const int oldCurrent = current_;
  int newCurrent = oldCurrent;
  size_t kept = 0;
  for (size_t i = 0; i < entries_.size(); ++i) {
    const bool duplicate = kept > 0 && entries_[i].Path16() == entries_[kept - 1].Path16();
    if (static_cast<int>(i) == oldCurrent) newCurrent = duplicate ? static_cast<int>(kept - 1) : static_cast<int>(kept);
    if (duplicate) continue;
    if (kept != i) entries_[kept] = std::move(entries_[i]);
    ++kept;
  }
  if (oldCurrent >= static_cast<int>(entries_.size()))
    newCurrent = oldCurrent - static_cast<int>(entries_.size() - kept);
  if (kept == entries_.size()) return true;
  entries_.resize(kept);
  current_ = newCurrent;
  Changed();
  return true;
}

bool PlaylistManager::RemoveMissingFiles(const std::function<bool(const std::wstring&)>& fileUsable,
                                         const std::atomic<bool>* stop) {
  std::vector<std::wstring> paths;
  {
    std::lock_guard lock(mutex_);
    paths.reserve(entries_.size());
    for (const CachedTag& e : entries_) paths.push_back(e.GetPath());
  }
  // The file system is asked without the lock; the answer is by path, so
  // entries that moved meanwhile are still judged correctly.
  std::unordered_set<std::u16string> missing;
  for (const std::wstring& p : paths) {
    if (Stopped(stop)) return false;
    if (!IsUrlLocation(p) && !fileUsable(p)) missing.insert(ToU16(p));
  }
  if (missing.empty()) return true;

  std::lock_guard lock(mutex_);
  if (Stopped(stop)) return false;
  std::optional<std::u16string> currentPath;
  if (Valid(current_)) currentPath = entries_[current_].Path16();
  size_t kept = 0;
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (missing.count(entries_[i].Path16())) continue;
    if (kept != i) entries_[kept] = std::move(entries_[i]);
    ++kept;
  }
  entries_.resize(kept);
  Changed();
  // A removed current entry leaves no current entry, wherever it stood.
  if (currentPath) current_ = IndexOf(FromU16(*currentPath));
  return true;
}

void PlaylistManager::ShufflePlaylist(const std::function<int()>& rand) {
  std::lock_guard lock(mutex_);
  const size_t count = entries_.size();
  if (count < 2) return;
  // Entries are exchanged in place rather than through SetOrAdd: that is
  // refused on a full list, which would move the current index alone.
  const double swaps = 1.5 * static_cast<double>(count) + 1;
  for (int k = 0; k < swaps; ++k) {
    const int t = static_cast<int>(static_cast<unsigned>(rand()) % count);
    const int r = static_cast<int>(static_cast<unsigned>(rand()) % count);
    std::swap(entries_[t], entries_[r]);
    if (current_ == t) {
      current_ = r;
    } else if (current_ == r) {
      current_ = t;
    }
  }
  Changed();
}

}  // namespace zul
