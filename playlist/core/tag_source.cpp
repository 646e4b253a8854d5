#include "playlist/core/tag_source.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <utility>

namespace zul {

struct TagSourceUse::Slot {
  TagSource* source;
  int uses = 0;  // under g_mutex
};

namespace {

// The built-in MPEG input is always the first input plug-in; this is what it
// claims with its default settings.
constexpr wchar_t kBuiltInExtensions[] = L"MP3;MP2;MP1;RMP";

// How often a waiting SetTagSource runs its whileWaiting.
constexpr std::chrono::milliseconds kWaitSlice{5};

class SilentTagSource : public TagSource {
public:
  void GetFileInfo(const std::wstring&, std::wstring* title, int* lengthMs) override {
    title->clear();
    *lengthMs = -1;
  }
  bool GetExtendedFileInfo(const std::wstring&, const char*, std::wstring*) override { return false; }
  std::wstring ExtensionList() override { return kBuiltInExtensions; }
};

SilentTagSource g_silent;
std::mutex g_mutex;
std::condition_variable g_released;
std::shared_ptr<TagSourceUse::Slot> g_slot = std::make_shared<TagSourceUse::Slot>(TagSourceUse::Slot{&g_silent});
thread_local int t_noReadsDepth = 0;

}  // namespace

bool SetTagSource(TagSource* source, std::chrono::milliseconds patience, const std::function<void()>& whileWaiting) {
  using Clock = std::chrono::steady_clock;
  const bool endless = patience == std::chrono::milliseconds::max();
  const Clock::time_point deadline = endless ? Clock::time_point::max() : Clock::now() + patience;
  std::unique_lock lock(g_mutex);
  std::shared_ptr<TagSourceUse::Slot> old =
      std::exchange(g_slot, std::make_shared<TagSourceUse::Slot>(TagSourceUse::Slot{source ? source : &g_silent}));
  while (old->uses > 0) {
    const Clock::time_point now = Clock::now();
    if (!endless && now >= deadline) return false;
    if (!whileWaiting) {
      if (endless)
        g_released.wait(lock);
      else
        g_released.wait_until(lock, deadline);
      continue;
    }
    g_released.wait_until(lock, std::min(deadline, now + kWaitSlice));
    lock.unlock();
    whileWaiting();
    lock.lock();
  }
  return true;
}

TagSourceUse::TagSourceUse() {
  std::lock_guard lock(g_mutex);
  slot_ = g_slot;
  ++slot_->uses;
}

TagSourceUse::~TagSourceUse() {
  std::lock_guard lock(g_mutex);
  if (--slot_->uses == 0) g_released.notify_all();
}

TagSource* TagSourceUse::operator->() const { return slot_->source; }
TagSource& TagSourceUse::operator*() const { return *slot_->source; }

std::wstring InputExtensionList() { return TagSourceUse()->ExtensionList(); }

NoTagReads::NoTagReads() { ++t_noReadsDepth; }
NoTagReads::~NoTagReads() { --t_noReadsDepth; }
bool NoTagReads::Active() { return t_noReadsDepth > 0; }

}  // namespace zul
