// Loads, AfterLoad and the maintenance workers against a fake platform.
#include "playlist/workers/playlist_workers.h"

#include <gtest/gtest.h>

#include "tests/playlist/core/fake_tag_source.h"
#include "tests/playlist/workers/fake_platform.h"

namespace zul::test {
namespace {

using namespace std::chrono_literals;

std::vector<std::wstring> Paths(const PlaylistManager& p) {
  std::vector<std::wstring> out;
  for (const CachedTag& e : p.Snapshot()) out.push_back(e.GetPath());
  return out;
}

// The workers go first at the end: their threads use everything else.
struct Fixture {
  FakeTagSource tags;
  FakePlatform platform;
  PlaylistManager playlist;
  PlaylistWorkers workers{playlist, platform};

  void Idle() { ASSERT_TRUE(workers.WaitIdle(20s)); }
};

TEST(PlaylistLoad, FileLoadDropsMissingLinesSortsChoosesTheSavedEntryAndReadsTags) {
  Fixture f;
  f.platform.fs.Put(L"C:\\L\\b.mp3", "x");
  f.platform.fs.Put(L"C:\\L\\a.mp3", "x");
  f.platform.fs.Put(L"C:\\L\\Sub\\c.mp3", "x");
  f.platform.fs.Put(L"C:\\L\\list.m3u", "b.mp3\r\ngone.mp3\r\nSub\\c.mp3\r\na.mp3\r\nhttp://s.example/x\r\n");
  f.tags.Set(L"C:\\L\\a.mp3", FullTags(L"A", L"Ta", 1000));
  PlaylistOptions o;
  o.savedIndex = 2;
  f.platform.SetOptions(o);

  ASSERT_TRUE(f.workers.LoadPlaylistFileAsync(L"C:\\L\\list.m3u", {.play = true, .useSavedIndex = true}));
  f.Idle();
  // Default template: sub-folder first, then by name; the URL keeps its text.
  EXPECT_EQ(Paths(f.playlist),
            (std::vector<std::wstring>{L"C:\\L\\Sub\\c.mp3", L"C:\\L\\a.mp3", L"C:\\L\\b.mp3", L"http://s.example/x"}));
  EXPECT_EQ(f.playlist.GetCurrent(), 2);
  EXPECT_EQ(f.platform.Started(), std::vector<std::wstring>{L"C:\\L\\b.mp3"});
  for (int i = 0; i < f.playlist.Count(); ++i) EXPECT_TRUE(f.playlist.IsInfoRead(i)) << i;
  EXPECT_EQ(f.playlist.GetArtist(1, true), L"A");
  EXPECT_TRUE(f.platform.Logged(L"D\u00e9but ReadAllTagsThread"));
  EXPECT_TRUE(f.platform.Logged(L"Fin ReadAllTagsThread"));
  EXPECT_EQ(f.platform.tagsRead, 1);
}

TEST(PlaylistLoad, AnUnreadableFileChangesNothing) {
  Fixture f;
  f.playlist.AddPath(-1, L"C:\\kept.mp3");
  f.playlist.SetCurrent(0);
  f.workers.LoadPlaylistFile(L"C:\\none.m3u", {.play = true});
  f.Idle();
  EXPECT_EQ(Paths(f.playlist), std::vector<std::wstring>{L"C:\\kept.mp3"});
  EXPECT_EQ(f.platform.stops, 0);
  EXPECT_TRUE(f.platform.Started().empty());
}

TEST(PlaylistLoad, AfterLoadChoosesTheCurrentEntry) {
  struct Case {
    const char* what;
    bool append;
    int before;  // entries already there
    bool pickRandom, shuffleMode, useSaved;
    int saved;
    bool autoPlay, play;
    int current;   // expected, -1: unchanged from 0
    bool picked;   // the shuffle generator chose it
    bool started;  // playback was started
  } cases[] = {
      {"saved index", false, 0, false, false, true, 2, true, false, 2, false, true},
      {"saved index past the end", false, 0, false, false, true, 3, true, false, 0, false, true},
      {"negative saved index", false, 0, false, false, true, -1, true, false, 0, false, true},
      {"saved index not asked", false, 0, false, false, false, 2, true, false, 0, false, true},
      {"random first", false, 0, true, false, true, 2, true, false, 1, true, true},
      {"shuffle mode", false, 0, false, true, false, 0, true, false, 1, true, true},
      {"append to a list", true, 1, false, false, false, 0, true, true, 0, false, false},
      {"append to nothing", true, 0, false, false, false, 0, false, true, 0, false, true},
      {"no play, no AutoPlay", false, 0, false, false, false, 0, false, false, 0, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Fixture f;
    f.platform.shufflePick = 1;
    PlaylistOptions o;
    o.shuffleMode = c.shuffleMode;
    o.savedIndex = c.saved;
    o.autoPlay = c.autoPlay;
    f.platform.SetOptions(o);
    for (int i = 0; i < c.before; ++i) f.playlist.AddPath(-1, L"C:\\M\\0.mp3");
    f.playlist.SetCurrent(0);
    // What a load added.
    for (const wchar_t* p : {L"C:\\M\\c.mp3", L"C:\\M\\a.mp3", L"C:\\M\\b.mp3"}) f.playlist.AddPath(-1, p);
    f.workers.AfterLoad(c.before, {c.append, c.pickRandom, c.play, c.useSaved});
    f.Idle();
    EXPECT_EQ(f.playlist.GetCurrent(), c.current);
    EXPECT_EQ(f.platform.shufflePicks, c.picked ? 1 : 0);
    EXPECT_EQ(f.platform.Started().size(), c.started ? 1u : 0u);
    if (c.started) {
      EXPECT_EQ(f.platform.Started()[0], f.playlist.GetPath(c.current));
    }
  }
}

TEST(PlaylistLoad, FolderLoadReplacesAndAddFileOrUrlAppendsUnchecked) {
  Fixture f;
  f.playlist.AddPath(-1, L"C:\\old.mp3");
  f.platform.fs.Put(L"C:\\M\\a.mp3", "x");
  f.platform.fs.Put(L"C:\\M\\cover.jpg", "x");
  ASSERT_TRUE(f.workers.LoadFolderAsync(L"C:\\M\\", {}));
  f.Idle();
  EXPECT_EQ(Paths(f.playlist), std::vector<std::wstring>{L"C:\\M\\a.mp3"});
  EXPECT_GE(f.platform.stops, 1);  // the clear stopped playback
  f.workers.AddFileOrUrl(L"http://radio.example/x", true);
  f.Idle();
  EXPECT_EQ(Paths(f.playlist), (std::vector<std::wstring>{L"C:\\M\\a.mp3", L"http://radio.example/x"}));
  EXPECT_EQ(f.playlist.GetCurrent(), 0);  // appended to a list: current kept
}

TEST(PlaylistMaintenance, AutomationRemovesSortsDeduplicatesAndRescans) {
  Fixture f;
  f.platform.fs.Put(L"C:\\M\\a.mp3", "x");
  f.platform.fs.Put(L"C:\\M\\b.mp3", "x");
  f.platform.fs.Put(L"C:\\New\\n.mp3", "x");
  for (const wchar_t* p : {L"C:\\M\\b.mp3", L"C:\\M\\gone.mp3", L"C:\\M\\a.mp3", L"C:\\M\\b.mp3"})
    f.playlist.AddPath(-1, p);
  PlaylistOptions o;
  o.autRemove = o.autSort = o.autRemoveDuplicates = o.autRescan = true;
  o.autDirs = {L"C:\\New\\", L"C:\\M\\"};
  f.platform.SetOptions(o);

  ASSERT_TRUE(f.workers.PerformAutomation());
  f.Idle();
  EXPECT_EQ(Paths(f.playlist), (std::vector<std::wstring>{L"C:\\M\\a.mp3", L"C:\\M\\b.mp3", L"C:\\New\\n.mp3"}));
  auto log = f.platform.Log();
  auto at = [&](const std::wstring& line) { return std::find(log.begin(), log.end(), line) - log.begin(); };
  EXPECT_LT(at(L"PerformAutomationThread"), at(L"Remove not existant files"));
  EXPECT_LT(at(L"Remove not existant files"), at(L"Sort playlist"));
  EXPECT_LT(at(L"Sort playlist"), at(L"Remove duplicate files"));
  EXPECT_LT(at(L"Rescan folders C:\\New\\"), at(L"Rescan folders C:\\M\\"));
  EXPECT_LT(at(L"Rescan folders C:\\M\\"), at(L"End PerformAutomationThread"));
  EXPECT_LT(at(L"End PerformAutomationThread"), static_cast<long>(log.size()));
  EXPECT_LT(at(L"Fin Removene"), static_cast<long>(log.size()));
  EXPECT_LT(at(L"Fin RemoveDuplicateEntries"), static_cast<long>(log.size()));
}

// A rescan that fills an empty playlist makes the first entry, or the drawn
// shuffle start, current; that entry is the one to play and is not skipped.
TEST(PlaylistMaintenance, RescanOfAnEmptyListChoosesTheEntryToPlay) {
  struct Case {
    bool shuffle;
    int drawn;
    int current;
  };
  for (const Case k : {Case{false, 0, 0}, Case{true, 2, 2}, Case{true, 1, 1}}) {
    SCOPED_TRACE(k.shuffle ? "shuffle" : "in order");
    Fixture f;
    f.platform.fs.Put(L"C:\\M\\a.mp3", "x");
    f.platform.fs.Put(L"C:\\M\\b.mp3", "x");
    f.platform.fs.Put(L"C:\\M\\c.mp3", "x");
    f.platform.shufflePick = k.drawn;
    PlaylistOptions o;
    o.autRescan = true;
    o.shuffleMode = k.shuffle;
    o.autDirs = {L"C:\\M\\"};
    f.platform.SetOptions(o);
    ASSERT_TRUE(f.workers.PerformAutomation());
    f.Idle();
    ASSERT_EQ(f.playlist.Count(), 3);
    EXPECT_EQ(f.playlist.GetCurrent(), k.current);
    EXPECT_EQ(f.playlist.GetCurrentEntry().GetPath(), f.playlist.GetPath(k.current));
    EXPECT_TRUE(f.playlist.IsInfoRead(k.current));
    EXPECT_EQ(f.platform.shuffleCleared, k.shuffle ? 0 : 1);
    EXPECT_EQ(f.platform.stops, 1);
  }
}

TEST(PlaylistMaintenance, AutomationWaitsForNoMaintenanceWorker) {
  Fixture f;
  for (int i = 0; i < 200; ++i) f.playlist.AddPath(-1, L"C:\\M\\" + std::to_wstring(i) + L".mp3");
  f.platform.fs.SetCheckDelay(2ms);
  f.workers.StartMissingWorker();
  EXPECT_TRUE(f.workers.MaintenanceRunning());
  EXPECT_FALSE(f.workers.PerformAutomation());
  ASSERT_TRUE(f.workers.StopAll(10s));
  EXPECT_FALSE(f.workers.MaintenanceRunning());
  // The stopped pass removed nothing, though every file was missing.
  EXPECT_EQ(f.playlist.Count(), 200);
  EXPECT_FALSE(f.platform.Logged(L"Fin Removene"));
  EXPECT_EQ(f.platform.listChanging, f.platform.listChanged);  // redraw came back on
}

TEST(PlaylistMaintenance, StoppingTheTagReaderLogsAndLeavesUnreadEntriesUnread) {
  class SlowTags : public FakeTagSource {
    void OnCall() override { std::this_thread::sleep_for(2ms); }
  };
  SlowTags tags;
  FakePlatform platform;
  PlaylistManager playlist;
  PlaylistWorkers workers{playlist, platform};
  for (int i = 0; i < 300; ++i) playlist.AddPath(-1, L"C:\\M\\" + std::to_wstring(i) + L".mp3");
  workers.StartTagReader();
  while (!playlist.IsInfoRead(0)) std::this_thread::sleep_for(1ms);
  workers.StopTagReader();
  EXPECT_FALSE(workers.TagReaderRunning());
  EXPECT_TRUE(platform.Logged(L"Fin forc\u00e9e ReadAllTagsThread"));
  EXPECT_FALSE(platform.Logged(L"Fin ReadAllTagsThread"));
  EXPECT_FALSE(playlist.IsInfoRead(299));
  EXPECT_EQ(platform.tagsRead, 0);
}

TEST(PlaylistMaintenance, SortAndShuffleStoreTheirTemplate) {
  Fixture f;
  for (const wchar_t* p : {L"C:\\B\\x.mp3", L"C:\\A\\y.mp3", L"C:\\A\\B\\z.mp3"}) f.playlist.AddPath(-1, p);
  f.workers.StartSortWorker(L"%7");
  f.Idle();
  EXPECT_EQ(f.platform.GetOptions().sortTemplate, L"%7");
  EXPECT_EQ(Paths(f.playlist), (std::vector<std::wstring>{L"C:\\B\\x.mp3", L"C:\\A\\y.mp3", L"C:\\A\\B\\z.mp3"}));
  f.workers.StartSortWorker(L"%8\\%9\\%7");
  f.Idle();
  EXPECT_EQ(Paths(f.playlist), (std::vector<std::wstring>{L"C:\\A\\B\\z.mp3", L"C:\\A\\y.mp3", L"C:\\B\\x.mp3"}));

  int calls = 0;
  f.workers.ShufflePlaylist([&] { return calls++; });
  EXPECT_EQ(calls, 2 * 6);  // ceil(1.5 * 3 + 1) exchanges, two draws each
  EXPECT_EQ(f.platform.GetOptions().sortTemplate, L"%7");
}

}  // namespace
}  // namespace zul::test
