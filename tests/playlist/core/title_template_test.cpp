#include "playlist/core/title_template.h"

#include <gtest/gtest.h>

#include "tests/playlist/core/fake_tag_source.h"

namespace zul {
namespace {

using test::FakeTagSource;
using test::FullTags;

TEST(TitleTemplate, ReplacementIsLeftToRightAndNotRescanned) {
  struct Case {
    const wchar_t *text, *what, *with, *result;
  } cases[] = {
      {L"%%1", L"%1", L"X", L"%X"},           {L"%1%1", L"%1", L"%1", L"%1%1"}, {L"aaa", L"aa", L"b", L"ba"},
      {L"\\\\\\\\", L"\\\\", L"\\", L"\\\\"}, {L"none", L"%2", L"X", L"none"},
  };
  for (const Case& c : cases) {
    std::wstring text = c.text;
    ReplaceAll(text, c.what, c.with);
    EXPECT_EQ(text, c.result) << c.text;
  }
}

TEST(TitleTemplate, SortKeys) {
  FakeTagSource source;
  source.Set(L"C:\\Music\\a.mp3", FullTags(L"Art", L"Song", 61000));
  struct Case {
    const wchar_t *path, *tmpl, *key;
  } cases[] = {
      {L"C:\\Music\\a.mp3", L"%8\\%9\\%7", L"C:\\Music\\a.mp3"},
      {L"C:\\Music\\a.mp3", L"%8%9%7", L"C:\\Music\\a.mp3"},
      {L"C:\\Music\\a.mp3", L"%7", L"a.mp3"},
      {L"http://host:80/s", L"%7", L"http://host:80/s"},
      {L"http://host:80/s", L"%8%9%7", L"http://host:80/s"},
      {L"C:\\Music\\a.mp3", L"%1 %2 %3 %4 %5%6 %9", L"Art Song Album 1999 c 01:01 \\Music\\"},
      {L"C:\\Music\\a.mp3", L"%%1 100%", L"%Art 100%"},
      {L"C:\\Music\\a.mp3", L"%x%0", L"%x%0"},
  };
  for (const Case& c : cases) {
    CachedTag e(c.path);
    FormatEntry(e, c.tmpl);
    EXPECT_EQ(e.GetFormatted(), c.key) << c.tmpl;
  }
}

TEST(TitleTemplate, SortKeysReadTagsOnlyForTagPlaceholders) {
  FakeTagSource source;
  source.Set(L"C:\\M\\a.mp3", FullTags(L"Art", L"Song", 1000));
  source.Set(L"C:\\M\\100%.mp3", FullTags(L"Art", L"Song", 1000));
  struct Case {
    const wchar_t *path, *tmpl;
    bool reads;
  } cases[] = {
      {L"C:\\M\\a.mp3", L"%8%9%7", false},  {L"C:\\M\\a.mp3", L"%8\\%9\\%7", false},
      {L"C:\\M\\100%.mp3", L"%7", false},  // a "%" is left, but no tag placeholder
      {L"C:\\M\\a.mp3", L"100% %7", false}, {L"C:\\M\\a.mp3", L"%7 %1", true},
      {L"C:\\M\\a.mp3", L"%6", true},
  };
  for (const Case& c : cases) {
    const int before = source.Reads();
    CachedTag e(c.path);
    FormatEntry(e, c.tmpl);
    EXPECT_EQ(source.Reads() - before, c.reads ? 1 : 0) << c.path << " " << c.tmpl;
  }
}

TEST(TitleTemplate, SharedSetForExportAndMessenger) {
  FakeTagSource source;
  source.Set(L"C:\\M\\a.mp3", FullTags(L"Art", L"Song", 125000));
  CachedTag e(L"C:\\M\\a.mp3");
  EXPECT_EQ(FormatNowPlayingText(L"  Now playing: %1 - %2\\r\\n%7\\t ", e), L"Now playing: Art - Song\r\na.mp3\\t");
  EXPECT_EQ(FormatMessengerText(L"%1 [%A]%6", e, 754), L"Art [12:34] 02:05");
  CachedTag none;
  EXPECT_EQ(FormatNowPlayingText(L"Now stopped: %7%1", none), L"Now stopped:");
}

TEST(TitleTemplate, TooltipFindsAlbumArtOnlyWhenAsked) {
  FakeTagSource source;
  source.Set(L"C:\\M\\a.mp3", FullTags(L"Art", L"Song", 1000));
  CachedTag e(L"C:\\M\\a.mp3");
  std::wstring searched;
  AlbumArtFinder finder = [&](const std::wstring& folder) -> std::optional<std::wstring> {
    searched = folder;
    return folder + L"cover.JPG";
  };
  EXPECT_EQ(FormatTooltipText(L"%2\\n%1", e, finder), L"Song\nArt");
  EXPECT_TRUE(searched.empty());
  EXPECT_EQ(FormatTooltipText(L"<img %A>\\t%A", e, finder), L"<img C:\\M\\cover.JPG>\tC:\\M\\cover.JPG");
  EXPECT_EQ(searched, L"C:\\M\\");
  AlbumArtFinder nothing = [](const std::wstring&) { return std::optional<std::wstring>(); };
  EXPECT_EQ(FormatTooltipText(L"%A", e, nothing), L"%A");
  CachedTag url(L"http://h/s");
  searched.clear();
  EXPECT_EQ(FormatTooltipText(L"%A", url, finder), L"%A");
  EXPECT_TRUE(searched.empty());
}

TEST(TitleTemplate, AlbumArtNames) {
  struct Case {
    const wchar_t* name;
    bool picture;
  } cases[] = {{L"cover.JPG", true}, {L"back.bmp", true}, {L"x.jpeg", false}, {L"x.jp", false},
               {L"x.b", false},      {L"README", false},  {L"a.mp3", false},  {L"x.BMPX", true}};
  for (const Case& c : cases) EXPECT_EQ(IsAlbumArtFileName(c.name), c.picture) << c.name;
}

TEST(TitleTemplate, RenameNames) {
  struct Case {
    const wchar_t* tmpl;
    int position, track;
    const wchar_t *artist, *title, *album, *path, *name;
  } cases[] = {
      {L"%1 - %3", 3, 2, L"", L"", L"", L"C:\\m\\x.mp3", L"03 - Track02.mp3"},
      {L"%2 - %3 (%4) %5", 12, 7, L"AC/DC", L"Live?", L"A<b>", L"C:\\m\\x.MP3", L"AC_DC - Live_ (A_b_) 07.MP3"},
      {L"%3", 1, 1, L"", L"AC/DC: Live?", L"", L"C:\\m\\noext", L"AC_DC_ Live_"},
      {L"%3", 1, 1, L"", L"t", L"", L"C:\\a.dir\\noext", L"t"},
      {L"%2|%4", 1, 1, L"", L"", L"", L"C:\\x.ogg", L"Unknown artist_Unknown album.ogg"},
      {L"%3", 1, 1, L"", L"tab\there", L"", L"C:\\x.ogg", L"tab_here.ogg"},
      {L"%1", 100, 1, L"", L"", L"", L"x.mp3", L"100.mp3"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatRenameName(c.tmpl, c.position, c.track, c.artist, c.title, c.album, c.path), c.name) << c.tmpl;
  }
}

TEST(TitleTemplate, Id3v1NamesComeFromTheLast128Bytes) {
  std::string tag(128, '\0');
  tag.replace(0, 3, "TAG");
  tag.replace(3, 9, "Title   \t");
  tag.replace(33, 6, "Artist");
  tag.replace(63, 30, std::string(30, 'A'));
  std::string file = "audio" + tag;
  auto names = ParseId3v1Names(file, file.size());
  ASSERT_TRUE(names.has_value());
  EXPECT_EQ(names->title, "Title");
  EXPECT_EQ(names->artist, "Artist");
  EXPECT_EQ(names->album, std::string(30, 'A'));
  EXPECT_FALSE(ParseId3v1Names(tag, 128).has_value());  // a file that is only a tag holds no audio
  EXPECT_FALSE(ParseId3v1Names("audio" + std::string(128, 'x'), 133).has_value());
  EXPECT_FALSE(ParseId3v1Names("TAG", 500).has_value());
}

}  // namespace
}  // namespace zul
