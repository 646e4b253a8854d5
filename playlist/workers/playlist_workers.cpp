#include "playlist/workers/playlist_workers.h"

#include <thread>

#include "playlist/core/path_parts.h"
#include "playlist/core/playlist_load.h"
#include "playlist/files/folder_scan.h"
#include "playlist/files/playlist_files.h"

namespace zul {
namespace {

bool Stopped(const std::atomic<bool>* stop) { return stop && stop->load(std::memory_order_relaxed); }

constexpr wchar_t kTagReaderName[] = L"ReadAllTagsThread";

}  // namespace

PlaylistWorkers::PlaylistWorkers(PlaylistManager& playlist, PlaylistPlatform& platform)
    : playlist_(playlist), platform_(platform) {
  playlist_.SetWorkerStopHook([this] {
    StopTagReader();
    StopAutomation();
  });
}

PlaylistWorkers::~PlaylistWorkers() {
  playlist_.SetWorkerStopHook(nullptr);
  StopAll(std::chrono::milliseconds::max());
}

std::function<void()> PlaylistWorkers::Waiting() {
  return [this] { platform_.WhileWaiting(); };
}

bool PlaylistWorkers::StopSlot(WorkerSlot& slot) { return slot.Stop(kStopPatience, Waiting()); }

bool PlaylistWorkers::StopAll(std::chrono::milliseconds patience) {
  // Loads and the automation pass start other workers, so they go first.
  bool all = true;
  for (WorkerSlot* slot : {&fileLoad_, &folderLoad_, &automation_, &duplicates_, &missing_, &sort_}) {
    all = slot->Stop(patience, Waiting()) && all;
  }
  if (tagReader_.Running()) {
    all = tagReader_.Stop(patience, Waiting()) && all;
    ZUL_PLAYLIST_LOG(platform_, std::wstring(L"Fin forc\u00e9e ") + kTagReaderName);
  }
  return all;
}

bool PlaylistWorkers::WaitIdle(std::chrono::milliseconds patience) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + patience;
  // A finishing worker can start another (a load starts the tag reader), so
  // go round until a whole round found nothing running.
  for (;;) {
    bool idle = true;
    for (WorkerSlot* slot : {&fileLoad_, &folderLoad_, &automation_, &duplicates_, &missing_, &sort_, &tagReader_}) {
      if (!slot->Running()) continue;
      idle = false;
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      if (left.count() <= 0 || !slot->Wait(left, Waiting())) return false;
    }
    if (idle) return true;
  }
}

// ---- Bulk tag reading ----

void PlaylistWorkers::StartTagReader() {
  tagReader_.Start([this](StopToken stop) { ReadAllTagsThread(stop); });
}

void PlaylistWorkers::StopTagReader() {
  if (!tagReader_.Running()) return;
  StopSlot(tagReader_);
  ZUL_PLAYLIST_LOG(platform_, std::wstring(L"Fin forc\u00e9e ") + kTagReaderName);
}

void PlaylistWorkers::ReadAllTagsThread(StopToken stop) {
  ZUL_PLAYLIST_LOG(platform_, std::wstring(L"D\u00e9but ") + kTagReaderName);
  // Each entry is read without the playlist lock and stored back under it
  // (see playlist_manager.h), so a stop between two entries leaves every
  // entry either read or untouched.
  if (!playlist_.ReadAllTags(stop)) return;
  platform_.TagsRead();
  ZUL_PLAYLIST_LOG(platform_, std::wstring(L"Fin ") + kTagReaderName);
}

// ---- Sort, duplicates, missing files ----

bool PlaylistWorkers::QuickSortLogged(const std::wstring& tmpl, const std::atomic<bool>* stop) {
  ZUL_PLAYLIST_LOG(platform_, L"D\u00e9but QuickSort");
  const bool done = playlist_.QuickSort(tmpl, stop);
  if (done) ZUL_PLAYLIST_LOG(platform_, L"Fin QuickSort");
  return done;
}

void PlaylistWorkers::StartSortWorker(const std::wstring& tmpl) {
  platform_.StoreSortTemplate(tmpl);
  sort_.Start([this, tmpl](StopToken stop) { SortThread(tmpl, stop); });
}

void PlaylistWorkers::SortThread(const std::wstring& tmpl, StopToken stop) {
  platform_.ListChanging();
  if (playlist_.Count() > 0) QuickSortLogged(tmpl, &stop);
  // Also after a stop: the list must draw again.
  platform_.ListChanged();
}

void PlaylistWorkers::StartMissingWorker() {
  missing_.Start([this](StopToken stop) { MissingThread(stop); });
}

void PlaylistWorkers::MissingThread(StopToken stop) {
  platform_.ListChanging();
  ZUL_PLAYLIST_LOG(platform_, L"D\u00e9but Removene");
  PlaylistFileSystem& fs = platform_.Files();
  if (playlist_.RemoveMissingFiles([&fs](const std::wstring& p) { return fs.IsUsableFile(p); }, &stop))
    ZUL_PLAYLIST_LOG(platform_, L"Fin Removene");
  platform_.ListChanged();
}

void PlaylistWorkers::StartDuplicatesWorker() {
  duplicates_.Start([this](StopToken stop) { DuplicatesThread(stop); });
}

void PlaylistWorkers::DuplicatesThread(StopToken stop) {
  ZUL_PLAYLIST_LOG(platform_, L"RemoveDuplicateEntriesThread");
  platform_.ListChanging();
  ZUL_PLAYLIST_LOG(platform_, L"D\u00e9but RemoveDuplicateEntries");
  if (playlist_.RemoveDuplicateEntries(platform_.Options().sortTemplate, &stop))
    ZUL_PLAYLIST_LOG(platform_, L"Fin RemoveDuplicateEntries");
  platform_.ListChanged();
}

void PlaylistWorkers::ShufflePlaylist(const std::function<int()>& rand) {
  if (playlist_.Count() < 2) return;
  platform_.ListChanging();
  platform_.StoreSortTemplate(L"%7");
  playlist_.ShufflePlaylist(rand);
  platform_.ListChanged();
}

// ---- Automation ----

bool PlaylistWorkers::PerformAutomation() {
  ZUL_PLAYLIST_LOG(platform_, L"PerformAutomation");
  if (MaintenanceRunning()) return false;
  // The settings as they are now; the pass does not see later changes.
  PlaylistOptions options = platform_.Options();
  return automation_.Start(
      [this, options = std::move(options)](StopToken stop) { PerformAutomationThread(options, stop); });
}

void PlaylistWorkers::StopAutomation() { StopSlot(automation_); }

void PlaylistWorkers::PerformAutomationThread(const PlaylistOptions& options, StopToken stop) {
  ZUL_PLAYLIST_LOG(platform_, L"PerformAutomationThread");
  if (options.autRemove || options.autRemoveDuplicates || options.autRescan || options.autSort) StopTagReader();
  if (platform_.PlaylistWindowVisible()) {
    for (WorkerSlot* slot : {&duplicates_, &missing_, &sort_}) {
      if (!slot->Running()) continue;
      StopSlot(*slot);
      platform_.ListChanged();
    }
  }
  // These start workers and do not wait for them: each commits its pass in
  // one step, whatever ran meanwhile.
  if (options.autRemove) {
    ZUL_PLAYLIST_LOG(platform_, L"Remove not existant files");
    StartMissingWorker();
  }
  if (options.autSort) {
    ZUL_PLAYLIST_LOG(platform_, L"Sort playlist");
    StartSortWorker(options.sortTemplate);
  }
  if (options.autRemoveDuplicates) {
    ZUL_PLAYLIST_LOG(platform_, L"Remove duplicate files");
    StartDuplicatesWorker();
  }
  if (options.autRescan && !stop) Rescan(options, stop);
  if (!stop) ZUL_PLAYLIST_LOG(platform_, L"End PerformAutomationThread");
}

void PlaylistWorkers::Rescan(const PlaylistOptions& options, StopToken stop) {
  const int countBefore = playlist_.Count();
  FolderScan scan{ExtensionSet(platform_.ExtensionList()), true, &stop};
  for (const std::wstring& dir : options.autDirs) {
    if (stop) return;
    ZUL_PLAYLIST_LOG(platform_, L"Rescan folders " + dir);
    ScanFolder(platform_.Files(), playlist_, dir, scan);
  }
  if (stop || !QuickSortLogged(options.sortTemplate, &stop)) return;
  const int count = playlist_.Count();
  if (countBefore == 0 && count > 0) {
    if (options.randomFirst || options.shuffleMode) {
      playlist_.SetCurrent(platform_.PickShuffleStart(count));
    } else {
      playlist_.SetCurrent(0);
      platform_.ClearShuffleStart();
    }
  }
  if (platform_.PlaylistWindowVisible()) {
    if (count != countBefore) platform_.ListChanged();
    platform_.RepaintList();
  }
  if (countBefore != 0 || count == 0) return;
  platform_.StopIfPlaying();
  // The entry chosen above (the first, or the drawn shuffle start) is the
  // one to play: a step forward from it here would skip it.
  std::this_thread::sleep_for(std::chrono::milliseconds(77));
  if (stop) return;
  const int now = playlist_.GetCurrent();
  if (!playlist_.IsInfoRead(now)) playlist_.ReadTagsAt(now, false);
}

// ---- Loads ----

bool PlaylistWorkers::LoadPlaylistFileAsync(const std::wstring& path, const LoadOptions& options) {
  return fileLoad_.Start([=, this](StopToken stop) { LoadPlaylistFile(path, options, &stop); });
}

bool PlaylistWorkers::LoadFolderAsync(const std::wstring& folder, const LoadOptions& options) {
  return folderLoad_.Start([=, this](StopToken stop) { LoadFolder(folder, options, &stop); });
}

void PlaylistWorkers::LoadPlaylistFile(const std::wstring& path, const LoadOptions& options,
                                       const std::atomic<bool>* stop) {
  const int countBefore = playlist_.Count();
  ParsedPlaylist parsed;
  if (!ReadPlaylistFile(platform_.Files(), path, &parsed)) return;
  if (!options.append) ClearPlaylist();
  PlaylistFileSystem& fs = platform_.Files();
  const int added = AppendPlaylistEntries(
      playlist_, parsed, platform_.Options().sortTemplate, [&fs](const std::wstring& p) { return fs.IsUsableFile(p); },
      stop);
  ZUL_PLAYLIST_LOG(platform_, L"LoadPlaylistFile " + path + L": " + std::to_wstring(added) + L" of " +
                                  std::to_wstring(parsed.entries.size()) + L" entries added");
  AfterLoad(countBefore, options, stop);
}

void PlaylistWorkers::LoadFolder(const std::wstring& folder, const LoadOptions& options,
                                 const std::atomic<bool>* stop) {
  if (folder.empty()) return;
  const int countBefore = playlist_.Count();
  if (!options.append) ClearPlaylist();
  FolderScan scan{ExtensionSet(platform_.ExtensionList()), true, stop};
  const int added = ScanFolder(platform_.Files(), playlist_, folder, scan);
  ZUL_PLAYLIST_LOG(platform_, L"LoadFolder " + folder + L": " + std::to_wstring(added) + L" files added");
  LoadOptions folderLoad = options;
  folderLoad.useSavedIndex = false;  // the saved entry is an index into the last playlist, not into a folder
  AfterLoad(countBefore, folderLoad, stop);
}

void PlaylistWorkers::AddFileOrUrl(const std::wstring& path, bool append) {
  const int countBefore = playlist_.Count();
  if (!append) ClearPlaylist();
  playlist_.AddPath(-1, path);
  AfterLoad(countBefore, LoadOptions{.append = append, .play = true});
}

void PlaylistWorkers::ClearPlaylist() {
  StopTagReader();
  StopAutomation();
  playlist_.RemoveAll();
  playlist_.SetCurrent(0);
  platform_.StopIfPlaying();
}

void PlaylistWorkers::AfterLoad(int countBefore, const LoadOptions& load, const std::atomic<bool>* stop) {
  if (Stopped(stop)) return;
  if (playlist_.Count() == 0) {
    platform_.ListChanged();
    return;
  }
  const PlaylistOptions options = platform_.Options();
  // Every load sorts.
  if (!QuickSortLogged(options.sortTemplate, stop)) return;
  const bool choose = !load.append || countBefore == 0;
  if (choose) {
    const int count = playlist_.Count();
    if (load.randomFirst || options.shuffleMode) {
      playlist_.SetCurrent(platform_.PickShuffleStart(count));
    } else {
      // Compared unsigned: a negative saved index is out of range too.
      const bool savedValid = static_cast<unsigned>(options.savedIndex) < static_cast<unsigned>(count);
      playlist_.SetCurrent(load.useSavedIndex && savedValid ? options.savedIndex : 0);
      platform_.ClearShuffleStart();
    }
  }
  platform_.ListChanged();
  if (choose) {
    platform_.StopIfPlaying();
    if (options.autoPlay || load.play) platform_.StartPlaybackAfterLoad(playlist_.GetPath(playlist_.GetCurrent()));
  }
  StartTagReader();
}

}  // namespace zul
