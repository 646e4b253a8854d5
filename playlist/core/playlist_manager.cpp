#include "playlist/core/playlist_manager.h"

#include <utility>

#include "base/text_codec.h"

namespace zul {

template <class Fn>
auto PlaylistManager::WithEntry(int index, Fn fn) const -> decltype(fn(std::declval<const CachedTag&>())) {
  std::lock_guard lock(mutex_);
  if (!Valid(index)) return {};
  return fn(entries_[index]);
}

// For the cached-only accessors, which are non-const only because the same
// accessors can also read.
template <class Fn>
auto PlaylistManager::WithEntry(int index, Fn fn) -> decltype(fn(std::declval<CachedTag&>())) {
  std::lock_guard lock(mutex_);
  if (!Valid(index)) return {};
  return fn(entries_[index]);
}

int PlaylistManager::Count() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(entries_.size());
}

void PlaylistManager::AddPath(int index, std::wstring_view path) { SetOrAdd(index, CachedTag(path)); }

void PlaylistManager::SetOrAdd(int index, const CachedTag& entry) {
  std::lock_guard lock(mutex_);
  if (index == -1) {
    if (Full()) return;
    entries_.push_back(entry);
  } else if (Valid(index)) {
    entries_[index] = entry;
  } else {
    return;
  }
  Changed();
}

void PlaylistManager::InsertAt(int index, const CachedTag& entry) {
  std::lock_guard lock(mutex_);
  if (Full() || index < 0 || index > static_cast<int>(entries_.size())) return;
  entries_.insert(entries_.begin() + index, entry);
  Changed();
}

void PlaylistManager::RemoveAt(int index) {
  std::lock_guard lock(mutex_);
  if (!Valid(index)) return;
  entries_.erase(entries_.begin() + index);
  Changed();
}

void PlaylistManager::RemoveAll() {
  std::function<void()> stop;
  {
    std::lock_guard lock(mutex_);
    stop = stopWorkers_;
  }
  // Outside the lock: a worker being stopped may be waiting for it.
  if (stop) stop();
  std::lock_guard lock(mutex_);
  entries_.clear();
  entries_.shrink_to_fit();
  Changed();
}

int PlaylistManager::IndexOf(std::wstring_view path) const {
  const std::u16string key = ToU16(path);
  std::lock_guard lock(mutex_);
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].Path16() == key) return static_cast<int>(i);
  }
  return -1;
}

CachedTag PlaylistManager::GetEntry(int index) const {
  std::lock_guard lock(mutex_);
  return Valid(index) ? entries_[index] : CachedTag();
}

std::vector<CachedTag> PlaylistManager::Snapshot() const {
  std::lock_guard lock(mutex_);
  return entries_;
}

std::wstring PlaylistManager::GetArtist(int index, bool cachedOnly) {
  if (!cachedOnly) ReadTagsAt(index, false);
  return WithEntry(index, [](CachedTag& e) { return e.GetArtist(true); });
}

std::wstring PlaylistManager::GetTitle(int index, bool cachedOnly) {
  // A title from a playlist line is kept: no read unless the title is empty.
  bool needsRead = !cachedOnly && WithEntry(index, [](const CachedTag& e) { return !e.infoRead && !e.HasTitle(); });
  if (needsRead) ReadTagsAt(index, false);
  return WithEntry(index, [](CachedTag& e) { return e.GetTitle(true); });
}

std::wstring PlaylistManager::GetAlbum(int index) {
  ReadTagsAt(index, false);
  return WithEntry(index, [](CachedTag& e) { return e.GetAlbum(true); });
}

std::wstring PlaylistManager::GetYear(int index) {
  ReadTagsAt(index, false);
  return WithEntry(index, [](CachedTag& e) { return e.GetYear(true); });
}

std::wstring PlaylistManager::GetComment(int index) {
  ReadTagsAt(index, false);
  return WithEntry(index, [](CachedTag& e) { return e.GetComment(true); });
}

std::wstring PlaylistManager::GetLengthText(int index, bool cachedOnly) {
  if (!cachedOnly) ReadTagsAt(index, false);
  return WithEntry(index, [](CachedTag& e) { return e.GetLengthText(true); });
}

std::wstring PlaylistManager::GetFileName(int index) const {
  return WithEntry(index, [](const CachedTag& e) { return e.GetFileName(); });
}
std::wstring PlaylistManager::GetDrive(int index) const {
  return WithEntry(index, [](const CachedTag& e) { return e.GetDrive(); });
}
std::wstring PlaylistManager::GetFolder(int index) const {
  return WithEntry(index, [](const CachedTag& e) { return e.GetFolder(); });
}
std::wstring PlaylistManager::GetExtension(int index) const {
  return WithEntry(index, [](const CachedTag& e) { return e.GetExtension(); });
}
std::wstring PlaylistManager::GetPath(int index) const {
  return WithEntry(index, [](const CachedTag& e) { return e.GetPath(); });
}
std::wstring PlaylistManager::GetDefaultTitle(int index) const {
  return WithEntry(index, [](const CachedTag& e) { return e.GetDefaultTitle(); });
}
std::wstring PlaylistManager::GetFormatted(int index) const {
  return WithEntry(index, [](const CachedTag& e) { return e.GetFormatted(); });
}
int PlaylistManager::GetLength(int index) const {
  return WithEntry(index, [](const CachedTag& e) { return e.length; });
}
bool PlaylistManager::IsInfoRead(int index) const {
  return WithEntry(index, [](const CachedTag& e) { return e.infoRead; });
}

std::wstring PlaylistManager::GetDisplayTitle(int index, bool cachedOnly) {
  const int mode = GetDisplayMode();
  if (!cachedOnly) {
    if (mode == kDisplayArtistTitle) {
      ReadTagsAt(index, false);
    } else if (mode == kDisplayTitle) {
      GetTitle(index, false);
    }
  }
  return WithEntry(index, [mode](CachedTag& e) { return e.GetDisplayTitle(mode, true); });
}

void PlaylistManager::SetTitle(int index, std::wstring_view text) {
  std::lock_guard lock(mutex_);
  if (!Valid(index)) return;
  entries_[index].SetTitle(text);
  Changed();
}

void PlaylistManager::SetArtist(int index, std::wstring_view text) {
  std::lock_guard lock(mutex_);
  if (!Valid(index)) return;
  entries_[index].SetArtist(text);
  Changed();
}

void PlaylistManager::SetComment(int index, std::wstring_view text) {
  std::lock_guard lock(mutex_);
  if (!Valid(index)) return;
  entries_[index].SetComment(text);
  Changed();
}

void PlaylistManager::SetLength(int index, int seconds) {
  std::lock_guard lock(mutex_);
  if (!Valid(index)) return;
  entries_[index].length = seconds;
  Changed();
}

int PlaylistManager::GetCurrent() const {
  std::lock_guard lock(mutex_);
  return current_;
}

void PlaylistManager::SetCurrent(int index) {
  std::lock_guard lock(mutex_);
  current_ = index;
  currentEntry_ = Valid(index) ? entries_[index] : CachedTag();
}

CachedTag PlaylistManager::GetCurrentEntry() const {
  std::lock_guard lock(mutex_);
  return currentEntry_;
}

void PlaylistManager::SetDisplayMode(int mode) {
  if (mode < kDisplayTitle || mode > kDisplayFileName) return;
  std::lock_guard lock(mutex_);
  displayMode_ = mode;
}

int PlaylistManager::GetDisplayMode() const {
  std::lock_guard lock(mutex_);
  return displayMode_;
}

bool PlaylistManager::ReadTagsAt(int index, bool force) {
  CachedTag copy;
  {
    std::lock_guard lock(mutex_);
    if (!Valid(index)) return false;
    if (entries_[index].infoRead && !force) return true;
    copy = entries_[index];
  }
  copy.ReadTags(force);
  if (!copy.infoRead) return false;
  std::lock_guard lock(mutex_);
  // The list may have changed while the plug-in answered; tags belong to a
  // file, so any entry still holding that path at that place takes them.
  if (!Valid(index) || entries_[index].Path16() != copy.Path16()) return false;
  entries_[index].CopyTagsFrom(copy);
  if (index == current_ && currentEntry_.Path16() == copy.Path16()) currentEntry_.CopyTagsFrom(copy);
  Changed();
  return true;
}

bool PlaylistManager::ReadAllTags(const std::atomic<bool>& stop) {
  for (int i = 0;; ++i) {
    if (stop.load()) return false;
    if (i >= Count()) return true;
    ReadTagsAt(i, true);
  }
}

void PlaylistManager::SetWorkerStopHook(std::function<void()> hook) {
  std::lock_guard lock(mutex_);
  stopWorkers_ = std::move(hook);
}

}  // namespace zul
