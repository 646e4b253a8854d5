#pragma once
// One handle slot of a playlist worker: at most one thread per slot, started
// on demand and gone when its job ends.
//
// Threads: Start, Stop, Running and Wait may be called from any thread. The
// worker's job runs on its own thread and reads its StopToken between steps;
// the slot is free again the moment the job returns (the worker clears its
// own slot), or when Stop gives up waiting for it (see Stop).
// Never call Stop or Wait while holding the playlist lock: the job may be
// waiting for that lock and would never see its stop flag.
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace zul {

// Read by a running job between its steps; a job that sees it set ends
// without changing anything more.
using StopToken = const std::atomic<bool>&;

// Run on every worker thread before its job (the Win32 build lowers the
// thread to the lowest priority there). Set once at start-up.
void SetWorkerThreadStartHook(void (*hook)());

class WorkerSlot {
public:
  WorkerSlot() = default;
  // Stops a running job and waits for it without limit.
  ~WorkerSlot();
  WorkerSlot(const WorkerSlot&) = delete;
  WorkerSlot& operator=(const WorkerSlot&) = delete;

  // Starts job on a new thread unless the slot holds a running one; false
  // when it was busy. The job gets its stop flag.
  bool Start(std::function<void(StopToken)> job);
  bool Running() const;

  // Sets the stop flag of the running job and waits until it returned:
  // true. whileWaiting runs every few milliseconds during the wait (the
  // UI thread passes one that answers messages sent to its windows, since
  // a plug-in asked for tags on the worker may be sending one). After
  // `patience` the job is left to finish alone with its stop flag set, and
  // the slot is free for a new one: false. Without a running job: true.
  bool Stop(std::chrono::milliseconds patience, const std::function<void()>& whileWaiting = {});

  // Waits until the running job has returned on its own; false when
  // `patience` ran out first.
  bool Wait(std::chrono::milliseconds patience, const std::function<void()>& whileWaiting = {});

private:
  struct Run;
  std::shared_ptr<Run> CurrentRun() const;
  bool WaitFor(const std::shared_ptr<Run>& run, std::chrono::milliseconds patience,
               const std::function<void()>& whileWaiting);

  mutable std::mutex mutex_;
  std::shared_ptr<Run> run_;
};

}  // namespace zul
