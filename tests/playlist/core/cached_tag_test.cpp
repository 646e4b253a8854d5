#include "playlist/core/cached_tag.h"

#include <gtest/gtest.h>

#include "tests/playlist/core/fake_tag_source.h"

namespace zul {
namespace {

using test::FakeTags;
using test::FakeTagSource;
using test::FullTags;

TEST(CachedTag, PathPartsFollowTheRuntimeSplitter) {
  struct Case {
    const wchar_t* path;
    const wchar_t *drive, *folder, *fileName, *ext, *defaultTitle;
  } cases[] = {
      {L"C:\\Music\\a.b.mp3", L"C:", L"\\Music\\", L"a.b.mp3", L".mp3", L"a.b"},
      {L"\\\\server\\share\\x.ogg", L"", L"\\\\server\\share\\", L"x.ogg", L".ogg", L"x"},
      {L"C:/mixed\\dir/track", L"C:", L"/mixed\\dir/", L"track", L"", L"track"},
      {L"C:\\dotted.dir\\noext", L"C:", L"\\dotted.dir\\", L"noext", L"", L"noext"},
      {L"relative.mp3", L"", L"", L"relative.mp3", L".mp3", L"relative"},
      {L"C:", L"C:", L"", L"", L"", L""},
      {L"", L"", L"", L"", L"", L""},
  };
  for (const Case& c : cases) {
    CachedTag e(c.path);
    EXPECT_EQ(e.GetDrive(), c.drive) << c.path;
    EXPECT_EQ(e.GetFolder(), c.folder) << c.path;
    EXPECT_EQ(e.GetFileName(), c.fileName) << c.path;
    EXPECT_EQ(e.GetExtension(), c.ext) << c.path;
    EXPECT_EQ(e.GetDefaultTitle(), c.defaultTitle) << c.path;
  }
}

TEST(CachedTag, UrlsAreNamedWhole) {
  CachedTag e(L"http://radio.example:8000/live.mp3");
  EXPECT_TRUE(e.IsUrl());
  EXPECT_EQ(e.GetFileName(), L"http://radio.example:8000/live.mp3");
  EXPECT_EQ(e.GetDefaultTitle(), L"http://radio.example:8000/live.mp3");
  EXPECT_EQ(e.GetFolder(), L"");
  EXPECT_EQ(e.GetDrive(), L"");
  EXPECT_EQ(e.GetExtension(), L".mp3");
}

TEST(CachedTag, CopiesKeepTheirOwnSplit) {
  CachedTag a(L"C:\\one\\a.mp3");
  CachedTag b = a;
  b.SetPath(L"D:\\two\\longer name.flac");
  a = CachedTag(L"E:\\x.wav");
  EXPECT_EQ(b.GetFileName(), L"longer name.flac");
  EXPECT_EQ(b.GetDrive(), L"D:");
  EXPECT_EQ(a.GetFolder(), L"\\");
}

TEST(CachedTag, CharactersBeyondTheBasicPlaneSurvive) {
  const std::wstring path = std::wstring(L"C:\\\u00e9t\u00e9\\") + L"\U0001F3B5 \u6771.mp3";
  CachedTag e(path);
  EXPECT_EQ(e.GetPath(), path);
  EXPECT_EQ(e.GetDefaultTitle(), L"\U0001F3B5 \u6771");
}

TEST(CachedTag, LengthTexts) {
  struct Case {
    int seconds;
    const wchar_t* text;
  } cases[] = {{3725, L" 62:05"}, {59, L" 00:59"}, {60, L" 01:00"}, {600000, L" 10000:00"}, {0, L""}, {-1, L""}};
  for (const Case& c : cases) EXPECT_EQ(FormatLengthText(c.seconds), c.text) << c.seconds;
}

TEST(CachedTag, ReadTagsTakesEveryExtendedField) {
  FakeTagSource source;
  source.Set(L"C:\\m\\a.mp3", FullTags(L"Artist", L"Song", 3725000));
  CachedTag e(L"C:\\m\\a.mp3");
  e.ReadTags(false);
  EXPECT_TRUE(e.infoRead);
  EXPECT_EQ(e.length, 3725);
  EXPECT_EQ(e.GetTitle(), L"Song");
  EXPECT_EQ(e.GetArtist(), L"Artist");
  EXPECT_EQ(e.GetAlbum(), L"Album");
  EXPECT_EQ(e.GetYear(), L"1999");
  EXPECT_EQ(e.GetComment(), L"c");
  EXPECT_EQ(e.GetLengthText(), L" 62:05");
  EXPECT_EQ(source.Reads(), 1);
  e.ReadTags(false);
  EXPECT_EQ(source.Reads(), 1);
  e.ReadTags(true);
  EXPECT_EQ(source.Reads(), 2);
}

TEST(CachedTag, LengthAndTitleWhenPluginsAnswerLittle) {
  FakeTagSource source;
  struct Case {
    const char* what;
    FakeTags tags;
    int length;
    const wchar_t* title;
  } cases[] = {
      {"nothing at all", FakeTags{}, -1, L"a"},
      {"basic info only keeps its length", FakeTags{L"Basic", 61500, {}}, 61, L"a"},
      {"unknown basic length is not wrapped", FakeTags{L"", -1, {{"length", L"0"}}}, -1, L"a"},
      {"extended 0 keeps the basic length", FakeTags{L"", 90000, {{"length", L"0"}}}, 90, L"a"},
      {"extended length wins", FakeTags{L"", 90000, {{"length", L"125999 ms"}}}, 125, L"a"},
      {"empty extended length, no basic one", FakeTags{L"", 0, {{"length", L""}}}, -1, L"a"},
      {"empty title answer", FakeTags{L"", 1000, {{"title", L""}, {"artist", L"X"}}}, 1, L"a"},
  };
  for (Case& c : cases) {
    source.Set(L"C:\\a.mp3", c.tags);
    CachedTag e(L"C:\\a.mp3");
    e.ReadTags(false);
    EXPECT_EQ(e.length, c.length) << c.what;
    EXPECT_EQ(e.GetTitle(), c.title) << c.what;
  }
}

TEST(CachedTag, CachedOnlyAccessorsNeverRead) {
  FakeTagSource source;
  source.Set(L"C:\\a.mp3", FullTags(L"Artist", L"Song", 1000));
  CachedTag e(L"C:\\a.mp3");
  EXPECT_EQ(e.GetArtist(true), L"");
  EXPECT_EQ(e.GetTitle(true), L"a");
  EXPECT_EQ(e.GetLengthText(true), L"");
  EXPECT_EQ(e.GetDisplayTitle(kDisplayArtistTitle, true), L"a");
  EXPECT_EQ(e.GetDisplayTitle(kDisplayFileName, false), L"a.mp3");
  EXPECT_EQ(source.Reads(), 0);
  EXPECT_EQ(e.GetDisplayTitle(kDisplayArtistTitle, false), L"Artist - Song");
  EXPECT_EQ(source.Reads(), 1);
  EXPECT_EQ(e.GetDisplayTitle(7, false), L"");
}

TEST(CachedTag, ATitleFromAPlaylistLineIsKeptUnread) {
  FakeTagSource source;
  source.Set(L"C:\\a.mp3", FullTags(L"", L"Tag title", 1000));
  CachedTag e(L"C:\\a.mp3");
  e.SetTitle(L"Listed title");
  EXPECT_EQ(e.GetTitle(false), L"Listed title");
  EXPECT_EQ(e.GetDisplayTitle(kDisplayTitle, false), L"Listed title");
  EXPECT_EQ(source.Reads(), 0);
  // Mode 1 asks for the artist, which reads; an empty artist leaves the
  // title alone, with no separator.
  EXPECT_EQ(e.GetDisplayTitle(kDisplayArtistTitle, false), L"Tag title");
}

TEST(CachedTag, SuppressedReadsLeaveTheEntryUnread) {
  FakeTagSource source;
  source.Set(L"C:\\a.mp3", FullTags(L"Artist", L"Song", 1000));
  CachedTag e(L"C:\\a.mp3");
  {
    NoTagReads guard;
    EXPECT_EQ(e.GetArtist(false), L"");
    EXPECT_EQ(e.GetTitle(false), L"a");
  }
  EXPECT_FALSE(e.infoRead);
  EXPECT_EQ(source.Reads(), 0);
  CachedTag empty;
  empty.ReadTags(true);
  EXPECT_EQ(source.Reads(), 0);
}

}  // namespace
}  // namespace zul
