// Readers on the UI side while the sort, duplicate, missing-file and tag
// workers run and are stopped at random moments: readers never see a torn
// list, every stop ends its worker with the slot free and the lock
// released, and each pass either happened whole or not at all.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <thread>

#include "playlist/workers/playlist_workers.h"
#include "tests/playlist/core/fake_tag_source.h"
#include "tests/playlist/workers/fake_platform.h"

namespace zul::test {
namespace {

using namespace std::chrono_literals;

class SlowTags : public FakeTagSource {
  void OnCall() override { std::this_thread::sleep_for(20us); }
};

std::map<std::wstring, int> Multiset(const PlaylistManager& p) {
  std::map<std::wstring, int> m;
  for (const CachedTag& e : p.Snapshot()) ++m[e.GetPath()];
  return m;
}

TEST(PlaylistWorkersStress, StopsAtRandomMomentsKeepTheListWholeAndTheLockFree) {
  constexpr int kFiles = 600;
  SlowTags tags;
  FakePlatform platform;
  PlaylistManager playlist;
  PlaylistWorkers workers{playlist, platform};
  platform.fs.SetCheckDelay(10us);

  std::set<std::wstring> known, missing;
  for (int i = 0; i < kFiles; ++i) {
    std::wstring path = L"C:\\S\\" + std::to_wstring(i % 7) + L"\\f" + std::to_wstring(i) + L".mp3";
    known.insert(path);
    if (i % 10 == 3) {
      missing.insert(path);
    } else {
      platform.fs.Put(path, "x");
      tags.Set(path, FullTags(L"A" + std::to_wstring(i % 5), L"T", 1000 * i));
    }
    playlist.AddPath(-1, path);
    if (i % 13 == 0) playlist.AddPath(-1, path);  // a duplicate
  }
  playlist.SetCurrent(5);

  std::atomic<bool> done{false};
  std::atomic<long> reads{0};
  std::atomic<int> badReads{0};
  auto reader = [&] {
    while (!done) {
      auto lock = playlist.Lock();  // a whole view, as the playlist window takes it
      const int n = playlist.Count();
      for (int i = 0; i < n; i += 37) {
        const std::wstring p = playlist.GetPath(i);
        if (!known.count(p)) ++badReads;
        playlist.GetDisplayTitle(i, true);
      }
      lock.unlock();
      if (!known.count(playlist.GetCurrentEntry().GetPath()) && playlist.GetCurrent() >= 0) ++badReads;
      ++reads;
    }
  };
  std::thread ui1(reader), ui2(reader);

  std::mt19937 rng(1234);
  int stoppedWhileRunning = 0;
  for (int round = 0; round < 40; ++round) {
    const auto before = Multiset(playlist);
    switch (round % 4) {
      case 0:
        workers.StartSortWorker(round % 8 ? L"%8%9%7" : L"%1%2%7");
        break;
      case 1:
        workers.StartDuplicatesWorker();
        break;
      case 2:
        workers.StartMissingWorker();
        break;
      case 3:
        workers.StartTagReader();
        break;
    }
    if (round % 3 == 0) workers.StartTagReader();
    std::this_thread::sleep_for(std::chrono::microseconds(rng() % 4000));
    const bool wasRunning = workers.MaintenanceRunning() || workers.TagReaderRunning();
    ASSERT_TRUE(workers.StopAll(10s)) << "round " << round;
    if (wasRunning) ++stoppedWhileRunning;
    EXPECT_FALSE(workers.MaintenanceRunning());
    EXPECT_FALSE(workers.TagReaderRunning());

    // The lock is free for another thread right after the stop.
    bool locked = false;
    std::thread([&] {
      auto l = playlist.Lock();
      locked = true;
    }).join();
    EXPECT_TRUE(locked);

    // Every pass removes only what it should: duplicates down to one copy,
    // missing files entirely; nothing else appears or vanishes.
    const auto after = Multiset(playlist);
    for (const auto& [path, n] : after) {
      ASSERT_TRUE(before.count(path)) << "round " << round;
      EXPECT_LE(n, before.at(path));
    }
    for (const auto& [path, n] : before) {
      if (!missing.count(path)) {
        EXPECT_TRUE(after.count(path)) << "round " << round << " lost an existing file";
      }
    }
  }
  done = true;
  ui1.join();
  ui2.join();
  EXPECT_EQ(badReads, 0);
  EXPECT_GT(reads, 0);
  EXPECT_GT(stoppedWhileRunning, 10) << "the stops came too late to catch workers running";

  // Run everything to the end once more: the list is then clean and sorted.
  workers.StartMissingWorker();
  ASSERT_TRUE(workers.WaitIdle(60s));
  workers.StartDuplicatesWorker();
  ASSERT_TRUE(workers.WaitIdle(60s));
  const auto final = Multiset(playlist);
  EXPECT_EQ(final.size(), known.size() - missing.size());
  for (const auto& [path, n] : final) EXPECT_EQ(n, 1);
}

}  // namespace
}  // namespace zul::test
