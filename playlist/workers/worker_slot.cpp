#include "playlist/workers/worker_slot.h"

#include <condition_variable>
#include <thread>

namespace zul {
namespace {

std::atomic<void (*)()> g_startHook{nullptr};

}  // namespace

void SetWorkerThreadStartHook(void (*hook)()) { g_startHook.store(hook); }

struct WorkerSlot::Run {
  std::atomic<bool> stop{false};
  std::mutex mutex;
  std::condition_variable ended;
  bool done = false;
};

WorkerSlot::~WorkerSlot() { Stop(std::chrono::milliseconds::max()); }

bool WorkerSlot::Start(std::function<void(StopToken)> job) {
  std::lock_guard lock(mutex_);
  if (run_) {
    std::lock_guard runLock(run_->mutex);
    if (!run_->done) return false;
  }
  auto run = std::make_shared<Run>();
  // The job and its arguments are moved into the thread before the
  // constructor returns, so nothing the caller owns is read later. The
  // thread keeps its Run alive by itself: a slot that gave up waiting, or
  // was destroyed, is never touched by the thread.
  std::thread thread([run, job = std::move(job)] {
    if (auto hook = g_startHook.load()) hook();
    job(run->stop);
    std::lock_guard runLock(run->mutex);
    run->done = true;
    run->ended.notify_all();
  });
  thread.detach();
  run_ = std::move(run);
  return true;
}

std::shared_ptr<WorkerSlot::Run> WorkerSlot::CurrentRun() const {
  std::lock_guard lock(mutex_);
  return run_;
}

bool WorkerSlot::Running() const {
  std::shared_ptr<Run> run = CurrentRun();
  if (!run) return false;
  std::lock_guard runLock(run->mutex);
  return !run->done;
}

bool WorkerSlot::WaitFor(const std::shared_ptr<Run>& run, std::chrono::milliseconds patience,
                         const std::function<void()>& whileWaiting) {
  using Clock = std::chrono::steady_clock;
  const bool forever = patience == std::chrono::milliseconds::max();
  const Clock::time_point deadline = forever ? Clock::time_point::max() : Clock::now() + patience;
  // Slices keep whileWaiting answering while the job runs.
  const auto slice = whileWaiting ? std::chrono::milliseconds(5) : std::chrono::milliseconds(200);
  std::unique_lock runLock(run->mutex);
  for (;;) {
    if (run->done) return true;
    if (!forever && Clock::now() >= deadline) return false;
    run->ended.wait_for(runLock, slice);
    if (run->done) return true;
    if (whileWaiting) {
      runLock.unlock();
      whileWaiting();
      runLock.lock();
    }
  }
}

bool WorkerSlot::Stop(std::chrono::milliseconds patience, const std::function<void()>& whileWaiting) {
  std::shared_ptr<Run> run = CurrentRun();
  if (!run) return true;
  run->stop.store(true);
  if (WaitFor(run, patience, whileWaiting)) return true;
  // Left to finish alone: a step in progress (one entry's tags, one file
  // check) completes whole, then the job reads its stop flag and ends.
  std::lock_guard lock(mutex_);
  if (run_ == run) run_.reset();
  return false;
}

bool WorkerSlot::Wait(std::chrono::milliseconds patience, const std::function<void()>& whileWaiting) {
  std::shared_ptr<Run> run = CurrentRun();
  return !run || WaitFor(run, patience, whileWaiting);
}

}  // namespace zul
