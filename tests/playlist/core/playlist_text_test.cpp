#include <gtest/gtest.h>

#include "playlist/core/playlist_load.h"
#include "playlist/core/playlist_paths.h"
#include "playlist/core/playlist_reader.h"
#include "playlist/core/playlist_writer.h"
#include "tests/playlist/core/fake_tag_source.h"

namespace zul {
namespace {

CachedTag Read(const wchar_t* path, int length, const wchar_t* artist, const wchar_t* title) {
  CachedTag e(path);
  e.length = length;
  e.SetArtist(artist);
  e.SetTitle(title);
  e.infoRead = true;
  return e;
}

std::vector<CachedTag> SampleList() {
  return {Read(L"C:\\Music\\Album\\x.mp3", 245, L"Art", L"Ti"), CachedTag(L"C:\\Music\\Lists\\y.mp3"),
          Read(L"D:\\z\u00e9.mp3", -1, L"", L"Zed"), CachedTag(L"http://radio/x")};
}

TEST(PlaylistPaths, LinesResolveAgainstThePlaylist) {
  struct Case {
    const wchar_t *playlist, *line, *path;
  } cases[] = {
      {L"C:\\Lists\\p.m3u", L"..\\Album\\x.mp3", L"C:\\Album\\x.mp3"},
      {L"C:\\Lists\\p.m3u", L".\\x.mp3", L"C:\\Lists\\.\\x.mp3"},
      {L"C:\\Lists\\p.m3u", L"x.mp3", L"C:\\Lists\\x.mp3"},
      {L"C:\\Lists\\p.m3u", L"Sub\\x.mp3", L"C:\\Lists\\Sub\\x.mp3"},
      {L"C:\\Lists\\p.m3u", L"\\Music\\x.mp3", L"C:\\Music\\x.mp3"},
      {L"C:\\Lists\\p.m3u", L"\\\\srv\\s\\x.mp3", L"\\\\srv\\s\\x.mp3"},
      {L"C:\\Lists\\p.m3u", L"D:\\x.mp3", L"D:\\x.mp3"},
      {L"C:\\Lists\\p.m3u", L"http://h/x", L"http://h/x"},
      {L"C:\\Lists\\p.m3u", L"..\\..\\..\\x.mp3", L"C:\\x.mp3"},
      {L"C:\\Music\\Lists\\p.m3u", L"..\\..\\x.mp3", L"C:\\x.mp3"},
  };
  for (const Case& c : cases) EXPECT_EQ(ResolvePlaylistLine(c.line, LocatePlaylist(c.playlist)), c.path) << c.line;
}

TEST(PlaylistPaths, PathsAreWrittenRelativeAndReadBackTheSame) {
  struct Case {
    const wchar_t *playlist, *path, *line;
  } cases[] = {
      {L"C:\\Music\\Lists\\a.m3u", L"C:\\Music\\Album\\x.mp3", L"..\\Album\\x.mp3"},
      {L"C:\\Music\\Lists\\a.m3u", L"C:\\Music\\Lists\\x.mp3", L"x.mp3"},
      {L"C:\\Music\\Lists\\a.m3u", L"C:\\Music\\Lists\\Sub\\x.mp3", L"Sub\\x.mp3"},
      {L"C:\\Music\\Lists\\a.m3u", L"C:\\x.mp3", L"..\\..\\x.mp3"},
      {L"C:\\Music\\Lists\\a.m3u", L"C:\\Other\\Music\\Lists\\x.mp3", L"..\\..\\Other\\Music\\Lists\\x.mp3"},
      {L"C:\\Music\\Lists\\a.m3u", L"C:\\Music2\\x.mp3", L"..\\..\\Music2\\x.mp3"},
      {L"C:\\Music\\Lists\\a.m3u", L"D:\\x.mp3", L"D:\\x.mp3"},
      {L"C:\\Music\\Lists\\a.m3u", L"http://h/x", L"http://h/x"},
      {L"D:\\a.m3u", L"C:\\Music\\Album\\x.mp3", L"C:\\Music\\Album\\x.mp3"},
      {L"\\\\srv\\share\\l\\p.m3u", L"\\\\srv\\share\\x.mp3", L"..\\x.mp3"},
      {L"\\\\srv\\share\\l\\p.m3u", L"\\\\other\\s\\x.mp3", L"..\\..\\..\\other\\s\\x.mp3"},
      {L"\\\\srv\\share\\l\\p.m3u", L"ftp://h/x", L"ftp://h/x"},
  };
  for (const Case& c : cases) {
    PlaylistLocation where = LocatePlaylist(c.playlist);
    std::wstring line = RelativePlaylistLine(c.path, where, PathCompare::kExact);
    EXPECT_EQ(line, c.line) << c.path;
    EXPECT_EQ(ResolvePlaylistLine(line, where), c.path) << c.path;
  }
}

TEST(PlaylistPaths, TheOwnPlaylistIgnoresCaseOfDriveAndFolder) {
  PlaylistLocation where = LocatePlaylist(L"C:\\Music\\Lists\\a.m3u");
  EXPECT_EQ(RelativePlaylistLine(L"c:\\music\\lists\\x.mp3", where, PathCompare::kDriveAndFolderIgnoreCase), L"x.mp3");
  EXPECT_EQ(RelativePlaylistLine(L"c:\\music\\lists\\x.mp3", where, PathCompare::kExact), L"c:\\music\\lists\\x.mp3");
  EXPECT_EQ(RelativePlaylistLine(L"c:\\music\\x.mp3", where, PathCompare::kDriveAndFolderIgnoreCase),
            L"..\\..\\music\\x.mp3");
}

TEST(PlaylistWriter, EightBitFilesStayAsTheyWere) {
  PlaylistWriteOptions extended{true, kDisplayArtistTitle, PathCompare::kDriveAndFolderIgnoreCase};
  EXPECT_EQ(WritePlaylistText(SampleList(), L"C:\\Music\\Lists\\a.m3u", extended),
            "#EXTM3U\r\n..\\Album\\x.mp3\r\n#EXTINF:245,Art - Ti\r\ny.mp3\r\nD:\\z\xE9.mp3\r\n#EXTINF:-1,Zed\r\n"
            "http://radio/x\r\n");
  PlaylistWriteOptions plain{false, kDisplayTitle, PathCompare::kExact};
  EXPECT_EQ(WritePlaylistText(SampleList(), L"C:\\Music\\Lists\\a.m3u", plain),
            "..\\Album\\x.mp3\r\ny.mp3\r\nD:\\z\xE9.mp3\r\nhttp://radio/x\r\n");
  EXPECT_EQ(WritePlaylistText({}, L"C:\\a.m3u", plain), "");
}

TEST(PlaylistReader, OwnExtendedFormatRestoresTitlesWithoutReading) {
  PlaylistWriteOptions extended{true, kDisplayArtistTitle, PathCompare::kExact};
  std::string bytes = WritePlaylistText(SampleList(), L"C:\\Music\\Lists\\a.m3u", extended);
  ParsedPlaylist parsed = ParsePlaylistText(bytes, L"C:\\Music\\Lists\\a.m3u");
  EXPECT_FALSE(parsed.infoBeforePath);
  ASSERT_EQ(parsed.entries.size(), 4u);
  const PlaylistFileEntry& x = parsed.entries[0];
  EXPECT_EQ(x.path, L"C:\\Music\\Album\\x.mp3");
  EXPECT_TRUE(x.hasInfo);
  EXPECT_EQ(x.length, 245);
  EXPECT_EQ(x.artist, L"Art");
  EXPECT_EQ(x.title, L"Ti");
  EXPECT_EQ(parsed.entries[1].path, L"C:\\Music\\Lists\\y.mp3");
  EXPECT_FALSE(parsed.entries[1].hasInfo);
  EXPECT_EQ(parsed.entries[2].path, L"D:\\z\u00e9.mp3");
  EXPECT_EQ(parsed.entries[2].length, -1);
  EXPECT_EQ(parsed.entries[2].title, L"Zed");
  EXPECT_FALSE(parsed.entries[3].hasInfo);

  test::FakeTagSource source;
  PlaylistManager playlist;
  auto everythingExists = [](const std::wstring&) { return true; };
  EXPECT_EQ(AppendPlaylistEntries(playlist, parsed, L"%8%9%7", everythingExists), 4);
  EXPECT_EQ(playlist.GetTitle(0), L"Ti");
  EXPECT_EQ(playlist.GetArtist(0, true), L"");  // tags still unread...
  EXPECT_EQ(playlist.GetLength(0), 245);
  EXPECT_FALSE(playlist.IsInfoRead(0));
  EXPECT_EQ(playlist.GetFormatted(0), L"C:\\Music\\Album\\x.mp3");
  EXPECT_EQ(source.Reads(), 0);
  EXPECT_EQ(playlist.GetDisplayTitle(2, true), L"Zed");
}

TEST(PlaylistReader, CommonExtendedFormatKeepsItsTitles) {
  const std::string bytes =
      "#EXTM3U\r\n#EXTINF:123,Artist One - Song One\r\n#EXTVLCOPT:network-caching=1000\r\none.mp3\r\n"
      "#EXTINF:-1 tvg-id=\"r\",Radio\r\nhttp://radio/stream\r\n#EXTINF:7\r\nthree.mp3\n\nfour.mp3\n";
  ParsedPlaylist parsed = ParsePlaylistText(bytes, L"C:\\L\\p.m3u");
  EXPECT_TRUE(parsed.infoBeforePath);
  ASSERT_EQ(parsed.entries.size(), 4u);
  EXPECT_EQ(parsed.entries[0].path, L"C:\\L\\one.mp3");
  EXPECT_EQ(parsed.entries[0].length, 123);
  EXPECT_EQ(parsed.entries[0].artist, L"Artist One");
  EXPECT_EQ(parsed.entries[0].title, L"Song One");
  EXPECT_EQ(parsed.entries[1].path, L"http://radio/stream");
  EXPECT_EQ(parsed.entries[1].length, -1);
  EXPECT_EQ(parsed.entries[1].title, L"Radio");
  EXPECT_FALSE(parsed.entries[2].hasInfo);  // "#EXTINF:7" names no title
  EXPECT_FALSE(parsed.entries[3].hasInfo);
}

TEST(PlaylistReader, OwnOrderIsRecognisedWhenTheFirstEntryHasNoInfo) {
  const std::string bytes = "#EXTM3U\r\nC:\\a.mp3\r\nC:\\b.mp3\r\n#EXTINF:5,B\r\n#TAG=x\r\n";
  ParsedPlaylist parsed = ParsePlaylistText(bytes, L"C:\\p.m3u");
  EXPECT_FALSE(parsed.infoBeforePath);
  ASSERT_EQ(parsed.entries.size(), 2u);
  EXPECT_FALSE(parsed.entries[0].hasInfo);
  EXPECT_EQ(parsed.entries[1].title, L"B");
  EXPECT_EQ(parsed.entries[1].length, 5);
}

TEST(PlaylistReader, InfoOfAMissingFileIsDroppedWithIt) {
  const std::string bytes = "C:\\a.mp3\r\n#EXTINF:5,A\r\nC:\\gone.mp3\r\n#EXTINF:6,Gone\r\nC:\\c.mp3\r\n";
  ParsedPlaylist parsed = ParsePlaylistText(bytes, L"C:\\p.m3u");
  test::FakeTagSource source;
  PlaylistManager playlist;
  playlist.AddPath(-1, L"C:\\before.mp3");
  auto exists = [](const std::wstring& p) { return p.find(L"gone") == std::wstring::npos; };
  EXPECT_EQ(AppendPlaylistEntries(playlist, parsed, L"%7", exists), 2);
  ASSERT_EQ(playlist.Count(), 3);
  EXPECT_EQ(playlist.GetTitle(0, true), L"before");
  EXPECT_EQ(playlist.GetTitle(1, true), L"A");
  EXPECT_EQ(playlist.GetTitle(2, true), L"c");
  EXPECT_EQ(playlist.GetLength(2), 0);
}

TEST(PlaylistReader, PlsTakesOnlyFileLines) {
  const std::string bytes =
      "[playlist]\nFile1=C:\\a.mp3\nTitle1=Something\nLength1=100\nfile2 = x.mp3\nFILE3=\n#EXTINF:1,t\n"
      "NumberOfEntries=2\n";
  ParsedPlaylist parsed = ParsePlaylistText(bytes, L"C:\\L\\radio.PlS");
  ASSERT_EQ(parsed.entries.size(), 2u);
  EXPECT_EQ(parsed.entries[0].path, L"C:\\a.mp3");
  EXPECT_FALSE(parsed.entries[0].hasInfo);
  EXPECT_EQ(parsed.entries[1].path, L"C:\\L\\x.mp3");
}

TEST(PlaylistReader, Encodings) {
  struct Case {
    const char* what;
    std::string bytes;
    std::wstring path;
  } cases[] = {
      {"no marker: one character per byte", "C:\\\xC3\xA9.mp3\r\n", L"C:\\\u00c3\u00a9.mp3"},
      {"marker line", "\xEF\xBB\xBF#EXTM3U\r\nC:\\\xC3\xA9.mp3\r\n", L"C:\\\u00e9.mp3"},
      {"marker line later in the file", "C:\\a\r\n\xEF\xBB\xBF#EXTM3U\r\nC:\\\xE6\x9D\xB1.mp3", L"C:\\\u6771.mp3"},
      {"byte order mark alone",
       "\xEF\xBB\xBF"
       "C:\\\xC3\xA9.mp3\r\n",
       L"C:\\\u00e9.mp3"},
      {"invalid UTF-8 after the marker", "\xEF\xBB\xBF#EXTM3U\nC:\\\xE9t\xE9.mp3\n", L"C:\\\u00e9t\u00e9.mp3"},
  };
  for (const Case& c : cases) {
    ParsedPlaylist parsed = ParsePlaylistText(c.bytes, L"C:\\p.m3u");
    ASSERT_FALSE(parsed.entries.empty()) << c.what;
    EXPECT_EQ(parsed.entries.back().path, c.path) << c.what;
  }
}

TEST(PlaylistWriter, WideCharactersReadBackExactly) {
  const std::wstring wide = L"C:\\Music\\\u6771\u4eac \U0001F3B5\\\u00e9t\u00e9.mp3";
  std::vector<CachedTag> list = {Read(wide.c_str(), 61, L"\u0391\u03b8", L"\u2013 T\u00eftle"),
                                 CachedTag(L"C:\\Music\\Lists\\plain.mp3")};
  for (bool extended : {false, true}) {
    PlaylistWriteOptions options{extended, kDisplayArtistTitle, PathCompare::kExact};
    std::string bytes = WritePlaylistText(list, L"C:\\Music\\Lists\\a.m3u", options);
    EXPECT_TRUE(bytes.starts_with("\xEF\xBB\xBF#EXTM3U\r\n"));
    EXPECT_EQ(bytes.find("#EXTM3U", 4), std::string::npos);  // the marker is the only header
    ParsedPlaylist parsed = ParsePlaylistText(bytes, L"C:\\Music\\Lists\\a.m3u");
    ASSERT_EQ(parsed.entries.size(), 2u);
    EXPECT_EQ(parsed.entries[0].path, wide);
    EXPECT_EQ(parsed.entries[1].path, L"C:\\Music\\Lists\\plain.mp3");
    if (extended) {
      EXPECT_EQ(parsed.entries[0].artist, L"\u0391\u03b8");
      EXPECT_EQ(parsed.entries[0].title, L"\u2013 T\u00eftle");
    }
  }
}

TEST(PlaylistWriter, NamesThatLookLikeTheMarkerReadBack) {
  for (const wchar_t* name : {L"C:\\x\\\u00ef\u00bb\u00bfa.mp3", L"C:\\x\\\u00ef\u00bb\u00bf#EXTM3U"}) {
    std::vector<CachedTag> list = {CachedTag(L"C:\\x\\first.mp3"), CachedTag(name)};
    for (size_t skip : {0u, 1u}) {
      std::span<const CachedTag> part(list.data() + skip, list.size() - skip);
      std::string bytes = WritePlaylistText(part, L"C:\\x\\p.m3u", PlaylistWriteOptions{});
      ParsedPlaylist parsed = ParsePlaylistText(bytes, L"C:\\x\\p.m3u");
      ASSERT_FALSE(parsed.entries.empty());
      EXPECT_EQ(parsed.entries.back().path, name);
    }
  }
}

TEST(PlaylistWriter, TitlesWithLineBreaksStayOnOneLine) {
  std::vector<CachedTag> list = {Read(L"C:\\a.mp3", 1, L"", L"two\r\nlines"), CachedTag(L"C:\\b.mp3")};
  PlaylistWriteOptions options{true, kDisplayTitle, PathCompare::kExact};
  ParsedPlaylist parsed = ParsePlaylistText(WritePlaylistText(list, L"C:\\p.m3u", options), L"C:\\p.m3u");
  ASSERT_EQ(parsed.entries.size(), 2u);
  EXPECT_EQ(parsed.entries[0].title, L"two  lines");
  EXPECT_EQ(parsed.entries[1].path, L"C:\\b.mp3");
}

TEST(PlaylistWriter, AddingToAnExistingList) {
  const std::string existing = "x.mp3\r\n#EXTINF:1,a\r\n\\Music\\y.mp3\r\nD:\\z.mp3\r\n#TAG=t\r\n\r\n";
  EXPECT_EQ(
      WriteAddedPlaylistText(existing, L"C:\\Lists\\p.m3u",
                             {L"C:\\Lists\\Sub\\n.mp3", L"http://h/s", L"C:\\Other\\o.mp3", L"\\\\srv\\s\\u.mp3"}),
      "x.mp3\r\n\\Music\\y.mp3\r\nD:\\z.mp3\r\nSub\\n.mp3\r\nhttp://h/s\r\n\\Other\\o.mp3\r\n\\\\srv\\s\\u.mp3\r\n");
  std::string wide = WriteAddedPlaylistText("", L"C:\\Lists\\p.m3u", {L"C:\\Lists\\\u6771.mp3"});
  EXPECT_EQ(ReadPlaylistPaths(wide, L"C:\\Lists\\p.m3u"), std::vector<std::wstring>{L"C:\\Lists\\\u6771.mp3"});
}

TEST(PlaylistReader, PlaylistNames) {
  EXPECT_TRUE(IsPlaylistFileName(L"C:\\a.M3u"));
  EXPECT_TRUE(IsPlaylistFileName(L"radio.pls"));
  EXPECT_FALSE(IsPlaylistFileName(L"C:\\a.m3u8"));
  EXPECT_FALSE(IsPlaylistFileName(L"C:\\m3u"));
  EXPECT_TRUE(IsPlsName(L"x.PLS"));
  EXPECT_FALSE(IsPlsName(L"pls"));
}

}  // namespace
}  // namespace zul
