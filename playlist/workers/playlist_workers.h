#pragma once
// The playlist's worker threads and the loads that end in AfterLoad: bulk
// tag reading, sort, duplicate and missing-file removal, the automation
// pass, folder and playlist-file loads. Each kind has one slot; a start
// request for a busy slot is ignored, and a worker frees its slot when it
// ends.
//
// Threads: every method may be called from the UI thread or a worker. Jobs
// run at the lowest priority (SetWorkerThreadStartHook) and change the
// playlist only through its locked operations; whole-list passes commit in
// one step or, when stopped, not at all. Stopping a worker sets its stop
// flag and waits for it (answering sent messages on the UI thread) for at
// most kStopPatience; a worker still inside one plug-in call then finishes
// that call alone with its slot already free. Who waits for whom: loads
// wait for the automation pass and the tag reader, the automation pass for
// the tag reader and the sort, duplicate and missing-file workers; those
// wait for nobody, so no cycle can form. Never call a Stop method while
// holding the playlist lock.
#include <chrono>
#include <functional>
#include <string>

#include "playlist/core/playlist_manager.h"
#include "playlist/workers/load_options.h"
#include "playlist/workers/playlist_platform.h"
#include "playlist/workers/worker_slot.h"

namespace zul {

class PlaylistWorkers {
public:
  static constexpr std::chrono::milliseconds kStopPatience{3000};

  // Installs the playlist's stop hook (RemoveAll stops the tag reader and
  // the automation pass).
  PlaylistWorkers(PlaylistManager& playlist, PlaylistPlatform& platform);
  // Stops every worker, waiting without limit.
  ~PlaylistWorkers();
  PlaylistWorkers(const PlaylistWorkers&) = delete;
  PlaylistWorkers& operator=(const PlaylistWorkers&) = delete;

  void StartTagReader();
  void StopTagReader();
  // Stores the template as the sort template, then sorts by it.
  void StartSortWorker(const std::wstring& tmpl);
  void StartMissingWorker();
  void StartDuplicatesWorker();
  // The automation pass, unless it or a sort, missing-file or duplicate
  // worker runs. False when it was not started.
  bool PerformAutomation();
  void StopAutomation();
  // Asks every worker to stop and waits up to `patience` for each; false
  // when one was left running.
  bool StopAll(std::chrono::milliseconds patience);
  // Waits until no worker runs (tests, benchmarks, the quit sequence).
  bool WaitIdle(std::chrono::milliseconds patience);

  // Loads on their own threads, one of each kind at a time; false when one
  // of that kind already runs.
  bool LoadPlaylistFileAsync(const std::wstring& path, const LoadOptions& options);
  bool LoadFolderAsync(const std::wstring& folder, const LoadOptions& options);

  // The loads themselves, on the calling thread.
  void LoadPlaylistFile(const std::wstring& path, const LoadOptions& options, const std::atomic<bool>* stop = nullptr);
  // useSavedIndex does not apply.
  void LoadFolder(const std::wstring& folder, const LoadOptions& options, const std::atomic<bool>* stop = nullptr);
  // One path unchecked (a URL or a single file).
  void AddFileOrUrl(const std::wstring& path, bool append);

  void ClearPlaylist();
  void AfterLoad(int countBefore, const LoadOptions& options, const std::atomic<bool>* stop = nullptr);
  // ceil(1.5 * count + 1) exchanges; the sort template becomes "%7".
  void ShufflePlaylist(const std::function<int()>& rand);

  bool TagReaderRunning() const { return tagReader_.Running(); }
  bool AutomationRunning() const { return automation_.Running(); }
  bool MaintenanceRunning() const { return sort_.Running() || missing_.Running() || duplicates_.Running(); }

private:
  void ReadAllTagsThread(StopToken stop);
  void SortThread(const std::wstring& tmpl, StopToken stop);
  void MissingThread(StopToken stop);
  void DuplicatesThread(StopToken stop);
  void PerformAutomationThread(const PlaylistOptions& options, StopToken stop);
  void Rescan(const PlaylistOptions& options, StopToken stop);
  bool QuickSortLogged(const std::wstring& tmpl, const std::atomic<bool>* stop);
  bool StopSlot(WorkerSlot& slot);
  std::function<void()> Waiting();

  PlaylistManager& playlist_;
  PlaylistPlatform& platform_;
  WorkerSlot tagReader_;
  WorkerSlot sort_;
  WorkerSlot missing_;
  WorkerSlot duplicates_;
  WorkerSlot automation_;
  WorkerSlot folderLoad_;
  WorkerSlot fileLoad_;
};

}  // namespace zul
