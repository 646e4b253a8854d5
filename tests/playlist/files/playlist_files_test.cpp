// Folder scans and playlist files over an in-memory file system.
#include "playlist/files/playlist_files.h"

#include <gtest/gtest.h>

#include "playlist/core/tag_source.h"
#include "playlist/files/folder_scan.h"
#include "tests/playlist/core/fake_tag_source.h"
#include "tests/playlist/workers/fake_platform.h"

namespace zul::test {
namespace {

std::vector<std::wstring> Paths(const PlaylistManager& p) {
  std::vector<std::wstring> out;
  for (const CachedTag& e : p.Snapshot()) out.push_back(e.GetPath());
  return out;
}

TEST(ExtensionRule, ComparesTheFirstThreeCharactersOfTheLastExtension) {
  // The built-in input's list names the playlist types as well.
  const std::wstring set = ExtensionSet(L"mp3;MP2;;m3u;pls;fla;");
  EXPECT_EQ(set, L";MP3;MP2;FLA;");
  struct Case {
    const wchar_t* name;
    bool match;
  } cases[] = {
      {L"a.mp3", true},     {L"a.MP3", true},      {L"a.b.mp2", true},    {L"a.mp3x", true},  // three characters only
      {L"x.flac", true},    {L"b.mp4", false},     {L"a.mp", false},      {L"a.", false},  // empty pieces never match
      {L"mp3", true},       {L"mp3file", true},    {L"a.mp3.txt", false},                  // no dot: the name's start
      {L"list.m3u", false}, {L"radio.PLS", false},                                         // playlists are no tracks
  };
  for (const Case& c : cases)
    EXPECT_EQ(MatchesExtensionSet(c.name, set), c.match) << std::string(c.name, c.name + wcslen(c.name));
  EXPECT_FALSE(MatchesExtensionSet(L"a.mp3", ExtensionSet(L"")));
}

TEST(FolderScan, AddsSupportedNonEmptyFilesDepthFirstAndSkipsDuplicates) {
  MemoryFileSystem fs;
  fs.Put(L"C:\\M\\a.mp3", "x");
  fs.Put(L"C:\\M\\b.flac", "x");
  fs.Put(L"C:\\M\\c.mp3", "");  // empty: skipped
  fs.Put(L"C:\\M\\Sub\\d.MP2", "x");
  fs.Put(L"C:\\M\\e.mp3", "x");
  PlaylistManager p;
  p.AddPath(-1, L"c:\\m\\E.MP3");  // already there, other case

  FolderScan scan{ExtensionSet(L"MP3;MP2"), true, nullptr};
  EXPECT_EQ(ScanFolder(fs, p, L"C:\\M", scan), 2);
  EXPECT_EQ(Paths(p), (std::vector<std::wstring>{L"c:\\m\\E.MP3", L"C:\\M\\Sub\\d.MP2", L"C:\\M\\a.mp3"}));

  // Without the check the same file comes in again.
  scan.checkDuplicates = false;
  EXPECT_EQ(ScanFolder(fs, p, L"C:\\M\\", scan), 3);
  EXPECT_EQ(p.Count(), 6);
  EXPECT_EQ(ScanFolder(fs, p, L"", scan), 0);
}

TEST(FolderScan, StopsBetweenFiles) {
  MemoryFileSystem fs;
  for (int i = 0; i < 5; ++i) fs.Put(L"C:\\M\\" + std::to_wstring(i) + L".mp3", "x");
  PlaylistManager p;
  std::atomic<bool> stop{true};
  EXPECT_EQ(ScanFolder(fs, p, L"C:\\M\\", FolderScan{ExtensionSet(L"MP3"), false, &stop}), 0);
  EXPECT_EQ(p.Count(), 0);
}

TEST(PlaylistFiles, SavedExtendedPlaylistReadsBackWithoutTags) {
  FakeTagSource tags;
  tags.Set(L"C:\\Music\\Album\\x.mp3", FullTags(L"Art", L"Song", 3725000));
  MemoryFileSystem fs;
  PlaylistManager p;
  p.AddPath(-1, L"C:\\Music\\Album\\x.mp3");
  p.AddPath(-1, L"D:\\Other\\y.mp3");
  p.AddPath(-1, L"http://radio.example:8000/live");
  p.ReadTagsAt(0, false);
  p.SetDisplayMode(kDisplayArtistTitle);

  ASSERT_TRUE(SaveCurrentPlaylist(fs, L"C:\\Music\\Lists\\zul.m3u", p, true));
  EXPECT_EQ(fs.Get(L"C:\\Music\\Lists\\zul.m3u"),
            "#EXTM3U\r\n..\\Album\\x.mp3\r\n#EXTINF:3725,Art - Song\r\nD:\\Other\\y.mp3\r\n"
            "http://radio.example:8000/live\r\n");

  ParsedPlaylist parsed;
  ASSERT_TRUE(ReadPlaylistFile(fs, L"C:\\Music\\Lists\\zul.m3u", &parsed));
  ASSERT_EQ(parsed.entries.size(), 3u);
  EXPECT_EQ(parsed.entries[0].path, L"C:\\Music\\Album\\x.mp3");
  EXPECT_EQ(parsed.entries[0].artist, L"Art");
  EXPECT_EQ(parsed.entries[0].title, L"Song");
  EXPECT_EQ(parsed.entries[0].length, 3725);
  EXPECT_FALSE(ReadPlaylistFile(fs, L"C:\\nowhere.m3u", &parsed));
}

TEST(PlaylistFiles, SavedRowsAreComparedExactlyAndInRowOrder) {
  MemoryFileSystem fs;
  PlaylistManager p;
  p.AddPath(-1, L"C:\\Music\\a.mp3");
  p.AddPath(-1, L"C:\\Music\\b.mp3");
  p.AddPath(-1, L"C:\\Music\\c.mp3");
  ASSERT_TRUE(SavePlaylistRows(fs, L"c:\\music\\sel.m3u", p, {2, 7, 0}, false));
  // The drive differs in case, so the full paths are written.
  EXPECT_EQ(fs.Get(L"c:\\music\\sel.m3u"), "C:\\Music\\c.mp3\r\nC:\\Music\\a.mp3\r\n");
  ASSERT_TRUE(SavePlaylistRows(fs, L"C:\\Music\\sel.m3u", p, {1}, false));
  EXPECT_EQ(fs.Get(L"C:\\Music\\sel.m3u"), "b.mp3\r\n");
}

TEST(PlaylistFiles, FailedWritesLeaveTheOldFile) {
  MemoryFileSystem fs;
  fs.Put(L"C:\\L\\a.m3u", "old.mp3\r\n");
  PlaylistManager p;
  p.AddPath(-1, L"C:\\L\\new.mp3");
  fs.FailWrites(true);
  EXPECT_FALSE(SaveCurrentPlaylist(fs, L"C:\\L\\a.m3u", p, false));
  EXPECT_FALSE(AddToExistingPlaylist(fs, L"C:\\L\\a.m3u", {L"C:\\L\\new.mp3"}));
  EXPECT_EQ(fs.Get(L"C:\\L\\a.m3u"), "old.mp3\r\n");
  fs.FailWrites(false);
  EXPECT_FALSE(AddToExistingPlaylist(fs, L"C:\\L\\missing.m3u", {L"C:\\L\\new.mp3"}));
  EXPECT_FALSE(fs.Has(L"C:\\L\\missing.m3u"));
  ASSERT_TRUE(AddToExistingPlaylist(fs, L"C:\\L\\a.m3u", {L"C:\\L\\Sub\\new.mp3", L"C:\\Else\\x.mp3"}));
  EXPECT_EQ(fs.Get(L"C:\\L\\a.m3u"), "old.mp3\r\nSub\\new.mp3\r\n\\Else\\x.mp3\r\n");
}

TEST(PlaylistFiles, OversizedFilesAreRefused) {
  MemoryFileSystem fs;
  fs.Put(L"C:\\big.m3u", std::string(kMaxPlaylistFileBytes + 1, 'a'));
  ParsedPlaylist parsed;
  EXPECT_FALSE(ReadPlaylistFile(fs, L"C:\\big.m3u", &parsed));
}

class CountingHost : public TagSource {
public:
  void GetFileInfo(const std::wstring&, std::wstring* title, int* lengthMs) override {
    *title = L"t";
    *lengthMs = 5000;
  }
  bool GetExtendedFileInfo(const std::wstring&, const char* field, std::wstring* value) override {
    if (std::string(field) != "artist") return false;
    *value = L"Host artist";
    return true;
  }
  std::wstring ExtensionList() override { return L"OGG"; }
};

TEST(TagSourceRegistry, RegisteredHostAnswersTagsAndExtensions) {
  EXPECT_EQ(InputExtensionList(), L"MP3;MP2;MP1;RMP");
  CachedTag e(L"C:\\a.ogg");
  e.ReadTags(false);
  EXPECT_EQ(e.GetArtist(true), L"");
  EXPECT_EQ(e.length, -1);
  CountingHost host;
  SetTagSource(&host);
  EXPECT_EQ(InputExtensionList(), L"OGG");
  e.ReadTags(true);
  EXPECT_EQ(e.GetArtist(true), L"Host artist");
  EXPECT_EQ(e.length, 5);
  EXPECT_EQ(e.GetTitle(true), L"a");  // no extended title: the file name
  SetTagSource(nullptr);
  e.ReadTags(true);
  EXPECT_EQ(e.GetArtist(true), L"");
}

}  // namespace
}  // namespace zul::test
