#include <gtest/gtest.h>

#include <deque>

#include "playlist/core/playlist_manager.h"
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

TEST(PlaylistSort, SubfoldersFirstAndTheCurrentEntryFollows) {
  PlaylistManager p;
  Fill(p, {L"C:\\A\\x.mp3", L"C:\\A\\B\\y.mp3", L"C:\\A\\a.mp3"});
  p.SetCurrent(0);
  p.QuickSort(L"%8\\%9\\%7");
  EXPECT_EQ(Paths(p), (std::vector<std::wstring>{L"C:\\A\\B\\y.mp3", L"C:\\A\\a.mp3", L"C:\\A\\x.mp3"}));
  EXPECT_EQ(p.GetCurrent(), 2);
  EXPECT_EQ(p.GetCurrentEntry().GetPath(), L"C:\\A\\x.mp3");
  EXPECT_EQ(p.GetFormatted(0), L"C:\\A\\B\\y.mp3");
}

TEST(PlaylistSort, EmptyTemplateSortsByFileName) {
  PlaylistManager p;
  Fill(p, {L"C:\\z\\b.mp3", L"C:\\a\\c.mp3", L"C:\\y\\a.mp3"});
  p.QuickSort(L"");
  EXPECT_EQ(Paths(p), (std::vector<std::wstring>{L"C:\\y\\a.mp3", L"C:\\z\\b.mp3", L"C:\\a\\c.mp3"}));
  EXPECT_EQ(p.GetFormatted(0), L"a.mp3");
  EXPECT_EQ(p.GetCurrent(), -1);
}

TEST(PlaylistSort, ByTagsReadsThemOnceAndKeepsThem) {
  FakeTagSource source;
  source.Set(L"C:\\1.mp3", FullTags(L"Zed", L"t", 1000));
  source.Set(L"C:\\2.mp3", FullTags(L"Abba", L"t", 1000));
  PlaylistManager p;
  Fill(p, {L"C:\\1.mp3", L"C:\\2.mp3"});
  p.QuickSort(L"%1");
  EXPECT_EQ(Paths(p), (std::vector<std::wstring>{L"C:\\2.mp3", L"C:\\1.mp3"}));
  EXPECT_EQ(source.Reads(), 2);
  EXPECT_TRUE(p.IsInfoRead(0));
  p.QuickSort(L"%8%9%7");
  EXPECT_EQ(source.Reads(), 2);
}

TEST(PlaylistDuplicates, EqualPathsEndUpSideBySide) {
  PlaylistManager p;
  Fill(p, {L"C:\\A", L"C:\\A", L"C:\\B", L"C:\\A"});
  p.SetCurrent(3);
  p.RemoveDuplicateEntries(L"%7");
  EXPECT_EQ(Paths(p), (std::vector<std::wstring>{L"C:\\A", L"C:\\B"}));
  EXPECT_EQ(p.GetCurrent(), 0);
}

TEST(PlaylistDuplicates, CurrentIndexFollowsItsEntry) {
  // Sorted by "%7": a a a b c c d.
  struct Case {
    int current;
    int expected;
  } cases[] = {{-1, -1}, {0, 0}, {2, 0}, {3, 1}, {5, 2}, {6, 3}};
  for (const Case& c : cases) {
    PlaylistManager p;
    Fill(p, {L"a", L"a", L"a", L"b", L"c", L"c", L"d"});
    p.SetCurrent(c.current);
    p.RemoveDuplicateEntries(L"%7");
    EXPECT_EQ(Paths(p), (std::vector<std::wstring>{L"a", L"b", L"c", L"d"}));
    EXPECT_EQ(p.GetCurrent(), c.expected) << c.current;
  }
}

TEST(PlaylistDuplicates, OnlyNeighboursCount) {
  PlaylistManager p;
  Fill(p, {L"C:\\x\\a.mp3", L"C:\\y\\a.mp3", L"C:\\x\\a.mp3"});
  // By file name the two C:\x\a.mp3 need not meet; by path they do.
  p.RemoveDuplicateEntries(L"%8%9%7");
  EXPECT_EQ(Paths(p), (std::vector<std::wstring>{L"C:\\x\\a.mp3", L"C:\\y\\a.mp3"}));
}

TEST(PlaylistMissing, RemovedFilesAndTheCurrentIndex) {
  auto usable = [](const std::wstring& path) { return path.find(L"gone") == std::wstring::npos; };
  struct Case {
    int current;
    int expected;
  } cases[] = {{-1, -1}, {0, 0}, {1, -1}, {2, 1}, {4, -1}};
  for (const Case& c : cases) {
    PlaylistManager p;
    Fill(p, {L"C:\\a.mp3", L"C:\\gone.mp3", L"http://gone/stream", L"://gone", L"C:\\gone2.mp3"});
    p.SetCurrent(c.current);
    p.RemoveMissingFiles(usable);
    EXPECT_EQ(Paths(p), (std::vector<std::wstring>{L"C:\\a.mp3", L"http://gone/stream"}));
    EXPECT_EQ(p.GetCurrent(), c.expected) << c.current;
  }
}

class ScriptedRand {
public:
  explicit ScriptedRand(std::deque<int> values) : values_(std::move(values)) {}
  int operator()() {
    ++calls;
    if (values_.empty()) return 0;
    int v = values_.front();
    values_.pop_front();
    return v;
  }
  int calls = 0;

private:
  std::deque<int> values_;
};

TEST(PlaylistShuffle, SwapCountAndCurrentEntry) {
  struct Case {
    int count;
    int swaps;
  } cases[] = {{2, 4}, {3, 6}, {10, 16}};
  for (const Case& c : cases) {
    PlaylistManager p;
    for (int i = 0; i < c.count; ++i) p.AddPath(-1, std::to_wstring(i));
    ScriptedRand rand({});
    p.ShufflePlaylist(std::ref(rand));
    EXPECT_EQ(rand.calls, 2 * c.swaps) << c.count;
  }
  PlaylistManager p;
  Fill(p, {L"a", L"b", L"c"});
  p.SetCurrent(0);
  // Swaps (0,2) (1,1) (2,32767 % 3 = 1) (0,1), then (0,0) twice.
  ScriptedRand rand({0, 2, 1, 1, 2, 32767, 0, 1});
  p.ShufflePlaylist(std::ref(rand));
  EXPECT_EQ(Paths(p), (std::vector<std::wstring>{L"a", L"c", L"b"}));
  EXPECT_EQ(p.GetPath(p.GetCurrent()), L"a");
  PlaylistManager one;
  Fill(one, {L"a"});
  ScriptedRand none({});
  one.ShufflePlaylist(std::ref(none));
  EXPECT_EQ(none.calls, 0);
}

TEST(PlaylistShuffle, FullListStillMovesEntriesWithTheCurrentIndex) {
  PlaylistManager p;
  for (int i = 0; i < PlaylistManager::kMaxEntries; ++i) p.AddPath(-1, std::to_wstring(i));
  p.SetCurrent(5);
  ScriptedRand rand({5, 9});
  p.ShufflePlaylist(std::ref(rand));
  EXPECT_EQ(p.GetPath(p.GetCurrent()), L"5");
}

}  // namespace
}  // namespace zul
