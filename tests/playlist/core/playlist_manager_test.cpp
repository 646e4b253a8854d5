#include "playlist/core/playlist_manager.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "tests/playlist/core/fake_tag_source.h"

namespace zul {
namespace {

using test::FakeTagSource;
using test::FullTags;

std::vector<std::wstring> Paths(PlaylistManager& p) {
  std::vector<std::wstring> out;
  for (int i = 0; i < p.Count(); ++i) out.push_back(p.GetPath(i));
  return out;
}

void Fill(PlaylistManager& p, std::initializer_list<const wchar_t*> paths) {
  for (const wchar_t* path : paths) p.AddPath(-1, path);
}

TEST(PlaylistManager, TenThousandEntriesAtMost) {
  PlaylistManager p;
  for (int i = 0; i < PlaylistManager::kMaxEntries; ++i) p.AddPath(-1, L"C:\\" + std::to_wstring(i) + L".mp3");
  ASSERT_EQ(p.Count(), 10000);
  p.AddPath(-1, L"C:\\more.mp3");
  p.InsertAt(0, CachedTag(L"C:\\more.mp3"));
  EXPECT_EQ(p.Count(), 10000);
  EXPECT_EQ(p.IndexOf(L"C:\\more.mp3"), -1);
  // Replacing adds nothing, so a full list still takes it.
  p.SetOrAdd(9999, CachedTag(L"C:\\last.mp3"));
  EXPECT_EQ(p.GetPath(9999), L"C:\\last.mp3");
}

TEST(PlaylistManager, IndexesOutOfRangeAreHarmless) {
  PlaylistManager p;
  Fill(p, {L"C:\\a.mp3"});
  for (int bad : {-2, -1, 1, 100}) {
    EXPECT_EQ(p.GetPath(bad), L"");
    EXPECT_EQ(p.GetTitle(bad), L"");
    EXPECT_EQ(p.GetLength(bad), 0);
    EXPECT_FALSE(p.IsInfoRead(bad));
    EXPECT_EQ(p.GetEntry(bad).GetPath(), L"");
    p.SetTitle(bad, L"x");
    p.RemoveAt(bad);
    if (bad != -1) p.AddPath(bad, L"C:\\b.mp3");
  }
  p.InsertAt(2, CachedTag(L"C:\\c.mp3"));
  EXPECT_EQ(Paths(p), std::vector<std::wstring>{L"C:\\a.mp3"});
  p.InsertAt(1, CachedTag(L"C:\\c.mp3"));
  p.InsertAt(0, CachedTag(L"C:\\b.mp3"));
  EXPECT_EQ(Paths(p), (std::vector<std::wstring>{L"C:\\b.mp3", L"C:\\a.mp3", L"C:\\c.mp3"}));
}

TEST(PlaylistManager, IndexOfIsExact) {
  PlaylistManager p;
  Fill(p, {L"C:\\A.mp3", L"C:\\a.mp3", L"C:\\a.mp3"});
  EXPECT_EQ(p.IndexOf(L"C:\\a.mp3"), 1);
  EXPECT_EQ(p.IndexOf(L"c:\\A.mp3"), -1);
}

TEST(PlaylistManager, CurrentEntryCopySurvivesEdits) {
  PlaylistManager p;
  Fill(p, {L"C:\\a.mp3", L"C:\\b.mp3"});
  p.SetCurrent(1);
  p.RemoveAll();
  EXPECT_EQ(p.GetCurrentEntry().GetPath(), L"C:\\b.mp3");
  p.SetCurrent(5);
  EXPECT_EQ(p.GetCurrentEntry().GetPath(), L"");
  EXPECT_EQ(p.GetCurrent(), 5);
}

TEST(PlaylistManager, RemoveAllStopsTheWorkersFirst) {
  PlaylistManager p;
  Fill(p, {L"C:\\a.mp3"});
  int countSeenByHook = -1;
  p.SetWorkerStopHook([&] { countSeenByHook = p.Count(); });
  p.RemoveAll();
  EXPECT_EQ(countSeenByHook, 1);
  EXPECT_EQ(p.Count(), 0);
}

TEST(PlaylistManager, GettersReadLazilyAndKeepTheResult) {
  FakeTagSource source;
  source.Set(L"C:\\a.mp3", FullTags(L"Artist", L"Song", 200000));
  PlaylistManager p;
  Fill(p, {L"C:\\a.mp3"});
  p.SetCurrent(0);
  EXPECT_EQ(p.GetArtist(0, true), L"");
  EXPECT_EQ(p.GetLengthText(0, true), L"");
  EXPECT_EQ(p.GetDisplayTitle(0, true), L"a");
  EXPECT_EQ(source.Reads(), 0);
  p.SetDisplayMode(kDisplayArtistTitle);
  EXPECT_EQ(p.GetDisplayTitle(0, false), L"Artist - Song");
  EXPECT_EQ(p.GetAlbum(0), L"Album");
  EXPECT_EQ(p.GetLengthText(0), L" 03:20");
  EXPECT_TRUE(p.IsInfoRead(0));
  EXPECT_EQ(source.Reads(), 1);
  // The now-playing copy learns the tags too.
  EXPECT_EQ(p.GetCurrentEntry().GetArtist(true), L"Artist");
}

TEST(PlaylistManager, ATitleFromTheListIsNotReadOver) {
  FakeTagSource source;
  source.Set(L"C:\\a.mp3", FullTags(L"Artist", L"Tag", 1000));
  PlaylistManager p;
  CachedTag e(L"C:\\a.mp3");
  e.SetTitle(L"Listed");
  p.SetOrAdd(-1, e);
  EXPECT_EQ(p.GetTitle(0), L"Listed");
  EXPECT_EQ(p.GetDisplayTitle(0, false), L"Listed");
  EXPECT_EQ(source.Reads(), 0);
}

TEST(PlaylistManager, BulkReadStopsWhenAsked) {
  FakeTagSource source;
  PlaylistManager p;
  for (int i = 0; i < 50; ++i) p.AddPath(-1, L"C:\\" + std::to_wstring(i) + L".mp3");
  std::atomic<bool> stop{false};
  EXPECT_TRUE(p.ReadAllTags(stop));
  EXPECT_EQ(source.Reads(), 50);
  EXPECT_TRUE(p.IsInfoRead(49));
  EXPECT_EQ(p.GetLength(49), -1);
  stop = true;
  EXPECT_FALSE(p.ReadAllTags(stop));
  EXPECT_EQ(source.Reads(), 50);
}

// A plug-in that, while answering, needs the UI thread: the UI thread must
// not be stuck waiting for the playlist lock.
class UiWaitingSource : public FakeTagSource {
public:
  explicit UiWaitingSource(PlaylistManager& p) : playlist_(p) {}
  std::atomic<int> blocked{0};

protected:
  void OnCall() override {
    auto ui = std::async(std::launch::async, [this] { return playlist_.Count(); });
    if (ui.wait_for(std::chrono::seconds(5)) != std::future_status::ready) ++blocked;
    // Kept, not destroyed here: a stuck future would wait for the lock
    // this very call is under.
    std::lock_guard lock(pendingMutex_);
    pending_.push_back(std::move(ui));
  }

private:
  PlaylistManager& playlist_;
  std::mutex pendingMutex_;
  std::vector<std::future<int>> pending_;
};

TEST(PlaylistManager, NoPluginCallUnderTheLock) {
  PlaylistManager p;
  UiWaitingSource source(p);
  for (int i = 0; i < 20; ++i) p.AddPath(-1, L"C:\\d\\" + std::to_wstring(i) + L".mp3");
  p.GetArtist(0);
  p.GetTitle(1);
  p.GetDisplayTitle(2, false);
  p.QuickSort(L"%1%2%7");
  std::atomic<bool> stop{false};
  p.ReadAllTags(stop);
  EXPECT_GT(source.Reads(), 20);
  EXPECT_EQ(source.blocked.load(), 0);
}

TEST(PlaylistManager, GettersStaySafeWhileWorkersChangeTheList) {
  FakeTagSource source;
  PlaylistManager p;
  for (int i = 0; i < 300; ++i) p.AddPath(-1, L"C:\\d" + std::to_wstring(i % 7) + L"\\" + std::to_wstring(i) + L".mp3");
  std::atomic<bool> done{false};
  std::thread worker([&] {
    for (int round = 0; round < 30; ++round) {
      p.QuickSort(round % 2 ? L"%7" : L"%8%9%7%1");
      p.RemoveDuplicateEntries(L"%7");
      p.AddPath(-1, L"C:\\new" + std::to_wstring(round) + L".mp3");
      p.RemoveAt(round);
      std::atomic<bool> stop{false};
      if (round % 10 == 0) p.ReadAllTags(stop);
    }
    done = true;
  });
  size_t seen = 0;
  while (!done) {
    const int n = p.Count();
    for (int i = 0; i < n; i += 17) seen += p.GetDisplayTitle(i, false).size() + p.GetFolder(i).size();
    p.SetCurrent(n / 2);
  }
  worker.join();
  EXPECT_GT(seen, 0u);
  EXPECT_EQ(p.Count(), 300);
}

}  // namespace
}  // namespace zul
