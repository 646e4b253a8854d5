#pragma once
// An in-memory file system and a platform that records what the workers
// ask of the playlist window and the playback controller.
#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "playlist/workers/playlist_platform.h"

namespace zul::test {

// Paths are Windows paths; a folder is any prefix ending in "\" of a file.
class MemoryFileSystem : public PlaylistFileSystem {
public:
  void Put(const std::wstring& path, std::string bytes) {
    std::lock_guard lock(mutex_);
    files_[path] = std::move(bytes);
  }
  void Remove(const std::wstring& path) {
    std::lock_guard lock(mutex_);
    files_.erase(path);
  }
  std::string Get(const std::wstring& path) {
    std::lock_guard lock(mutex_);
    auto it = files_.find(path);
    return it == files_.end() ? std::string() : it->second;
  }
  bool Has(const std::wstring& path) {
    std::lock_guard lock(mutex_);
    return files_.count(path) != 0;
  }
  // Every ReplaceFile fails from now on (a full disk).
  void FailWrites(bool fail) { failWrites_ = fail; }
  // Each existence check takes this long, so passes can be caught midway.
  void SetCheckDelay(std::chrono::microseconds d) { checkDelay_ = d; }
  int Checks() const { return checks_.load(); }

  bool ReadWholeFile(const std::wstring& path, std::string* bytes) override {
    std::lock_guard lock(mutex_);
    auto it = files_.find(path);
    if (it == files_.end()) return false;
    *bytes = it->second;
    return true;
  }
  bool ReplaceFile(const std::wstring& path, std::string_view bytes) override {
    if (failWrites_) return false;
    std::lock_guard lock(mutex_);
    files_[path] = std::string(bytes);
    return true;
  }
  bool IsUsableFile(const std::wstring& path) override {
    ++checks_;
    if (checkDelay_.count() > 0) std::this_thread::sleep_for(checkDelay_);
    std::lock_guard lock(mutex_);
    auto it = files_.find(path);
    return it != files_.end() && !it->second.empty();
  }
  // Listing order: files and folders as they sort in the map (a stand-in
  // for the system's enumeration order).
  void ListFolder(const std::wstring& folder, std::vector<FolderEntry>* entries) override {
    std::lock_guard lock(mutex_);
    std::wstring lastFolder;
    for (auto it = files_.lower_bound(folder); it != files_.end(); ++it) {
      const std::wstring& p = it->first;
      if (p.compare(0, folder.size(), folder) != 0) break;
      std::wstring rest = p.substr(folder.size());
      size_t slash = rest.find(L'\\');
      if (slash == std::wstring::npos) {
        entries->push_back(FolderEntry{rest, false, it->second.size()});
      } else if (rest.substr(0, slash) != lastFolder) {
        lastFolder = rest.substr(0, slash);
        entries->push_back(FolderEntry{lastFolder, true, 0});
      }
    }
  }

private:
  std::mutex mutex_;
  std::map<std::wstring, std::string> files_;
  std::atomic<bool> failWrites_{false};
  std::chrono::microseconds checkDelay_{0};
  std::atomic<int> checks_{0};
};

class FakePlatform : public PlaylistPlatform {
public:
  MemoryFileSystem fs;
  std::wstring extensions = L"MP3;MP2";
  bool windowVisible = false;
  int shufflePick = 0;

  PlaylistOptions GetOptions() {
    std::lock_guard lock(mutex_);
    return options_;
  }
  void SetOptions(const PlaylistOptions& o) {
    std::lock_guard lock(mutex_);
    options_ = o;
  }
  std::vector<std::wstring> Log() {
    std::lock_guard lock(mutex_);
    return log_;
  }
  bool Logged(const std::wstring& text) {
    for (const auto& l : Log())
      if (l == text) return true;
    return false;
  }
  std::vector<std::wstring> Started() {
    std::lock_guard lock(mutex_);
    return started_;
  }
  int stops = 0, listChanged = 0, listChanging = 0, tagsRead = 0, shufflePicks = 0, shuffleCleared = 0;

  PlaylistFileSystem& Files() override { return fs; }
  void Log(const char*, int, const std::wstring& text) override {
    std::lock_guard lock(mutex_);
    log_.push_back(text);
  }
  PlaylistOptions Options() override { return GetOptions(); }
  void StoreSortTemplate(const std::wstring& tmpl) override {
    std::lock_guard lock(mutex_);
    options_.sortTemplate = tmpl;
  }
  std::wstring ExtensionList() override { return extensions; }
  bool PlaylistWindowVisible() override { return windowVisible; }
  void ListChanging() override { Count(&listChanging); }
  void ListChanged() override { Count(&listChanged); }
  void TagsRead() override { Count(&tagsRead); }
  void RepaintList() override {}
  void StopIfPlaying() override { Count(&stops); }
  void StartPlaybackAfterLoad(const std::wstring& path) override {
    std::lock_guard lock(mutex_);
    started_.push_back(path);
  }
  int PickShuffleStart(int count) override {
    Count(&shufflePicks);
    return shufflePick < count ? shufflePick : 0;
  }
  void ClearShuffleStart() override { Count(&shuffleCleared); }
  void WhileWaiting() override {}

private:
  void Count(int* counter) {
    std::lock_guard lock(mutex_);
    ++*counter;
  }
  std::mutex mutex_;
  PlaylistOptions options_;
  std::vector<std::wstring> log_;
  std::vector<std::wstring> started_;
};

}  // namespace zul::test
