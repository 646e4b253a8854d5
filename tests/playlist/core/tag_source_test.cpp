// The tag source registry: taking a source back waits for the reads that
// are inside it, because the plug-in host frees the DLLs behind it next.
#include "playlist/core/tag_source.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "playlist/core/cached_tag.h"

namespace zul::test {
namespace {

// Holds the first GetFileInfo until released, and counts the calls that are
// running and those that were made.
class HoldingSource : public TagSource {
public:
  void GetFileInfo(const std::wstring&, std::wstring* title, int* lengthMs) override {
    Enter();
    {
      std::unique_lock lock(mutex_);
      entered_ = true;
      changed_.notify_all();
      changed_.wait(lock, [this] { return released_; });
    }
    *title = L"held";
    *lengthMs = 1000;
    Leave();
  }
  bool GetExtendedFileInfo(const std::wstring&, const char*, std::wstring* value) override {
    Enter();
    *value = L"x";
    Leave();
    return true;
  }
  std::wstring ExtensionList() override { return L"HLD"; }

  void WaitUntilEntered() {
    std::unique_lock lock(mutex_);
    ASSERT_TRUE(changed_.wait_for(lock, std::chrono::seconds(30), [this] { return entered_; }));
  }
  void Release() {
    std::lock_guard lock(mutex_);
    released_ = true;
    changed_.notify_all();
  }
  std::atomic<int> inside{0};
  std::atomic<int> calls{0};

private:
  void Enter() {
    ++inside;
    ++calls;
  }
  void Leave() { --inside; }
  std::mutex mutex_;
  std::condition_variable changed_;
  bool entered_ = false;
  bool released_ = false;
};

TEST(TagSourceRegistry, TakingASourceBackWaitsForTheReadInsideIt) {
  HoldingSource source;
  SetTagSource(&source);
  EXPECT_EQ(InputExtensionList(), L"HLD");
  CachedTag entry(L"C:\\Music\\a.mp3");
  std::thread reader([&] { entry.ReadTags(true); });
  source.WaitUntilEntered();

  int waits = 0;
  bool readerWasInside = false;
  const bool done = SetTagSource(nullptr, std::chrono::milliseconds::max(), [&] {
    // Meanwhile new questions go to the source that answers nothing.
    if (waits++ == 0) {
      readerWasInside = source.inside.load() == 1;
      EXPECT_EQ(InputExtensionList(), L"MP3;MP2;MP1;RMP");
      source.Release();
    }
  });
  // Every call of that read (basic info and six extended fields) was over
  // before the source was given back.
  EXPECT_TRUE(done);
  EXPECT_TRUE(readerWasInside);
  EXPECT_EQ(source.inside.load(), 0);
  EXPECT_EQ(source.calls.load(), 7);
  reader.join();
  EXPECT_EQ(entry.GetArtist(true), L"x");
}

TEST(TagSourceRegistry, APatienceThatRunsOutSaysTheSourceIsStillInUse) {
  HoldingSource source;
  SetTagSource(&source);
  CachedTag entry(L"C:\\Music\\a.mp3");
  std::thread reader([&] { entry.ReadTags(true); });
  source.WaitUntilEntered();
  EXPECT_FALSE(SetTagSource(nullptr, std::chrono::milliseconds(50)));
  EXPECT_EQ(source.inside.load(), 1);
  source.Release();
  reader.join();
  // Nothing in use any more: the next change returns at once.
  EXPECT_TRUE(SetTagSource(nullptr, std::chrono::milliseconds(0)));
}

}  // namespace
}  // namespace zul::test
