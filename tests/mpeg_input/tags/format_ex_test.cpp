#include "mpeg_input/tags/format_ex.h"

#include <gtest/gtest.h>

#include "mpeg_input/tags/tag_text.h"

namespace zul::tags {
namespace {

CTagFields Song() {
  CTagFields f;
  f[TagField::FilePath] = L"C:\\Music\\Band\\01 Song.mp3";
  f[TagField::Title] = L"Song";
  f[TagField::Album] = L"Record";
  f[TagField::Year] = L"1999";
  f[TagField::Genre] = L"Rock";
  f[TagField::Track] = L"3/12";
  f[TagField::Composer] = L"Comp";
  f[TagField::OriginalArtist] = L"Orig";
  f[TagField::Copyright] = L"(c)";
  f[TagField::Encoder] = L"LAME";
  f[TagField::Comment] = L"Nice";
  return f;  // no artist
}

TEST(FormatEx, Template) {
  struct Case {
    const wchar_t* format;
    std::wstring expected;
  };
  const Case cases[] = {
      {kDefaultFormatEx, L"Song"},  // no artist: the block goes
      {L"[%title% - ]%album%", L"Song - Record"},
      {L"%track%. %title%", L"03. Song"},
      {L"%year%|%genre%|%comment%|%composer%|%origartist%|%copyright%|%encoder%", L"1999|Rock|Nice|Comp|Orig|(c)|LAME"},
      {L"%filepath%|%filename%|%fileext%", L"C:\\Music\\Band\\|01 Song|mp3"},
      {L"%TITLE%", L"Song"},
      {L"%nosuchfield%x", L"x"},
      {L"100%% [sure]", L"100% "},  // a block without fields inserts nothing
      {L"%[%title%%]", L"[Song]"},
      {L"[a[%artist%]b]c", L"c"},
      {L"[a[%artist%]b%title%]c", L"abSongc"},
      {L"[a[%title%]b]", L"aSongb"},
      {L"[1[2[3[4[5[6[7[8%title%]]]]]]]]", L"12345678Song"},
      {L"x[1[2[3[4[5[6[7[8[9%title%]]]]]]]]]", L"x"},  // a ninth level ends the formatting
      {L"a]b", L"a"},                                  // an unmatched "]" ends it too
      {L"[%title%", L"Song"},                          // an open block closes at the end
      {L"[%artist%", L""},
      {L"50% off", L"50% off"},  // no closing "%"
      {L"", L""},
  };
  CTagFields f = Song();
  for (const Case& c : cases) EXPECT_EQ(FormatEx(c.format, f), c.expected) << c.format;
}

TEST(FormatEx, TrackNumbers) {
  struct Case {
    std::wstring track, expected;
  };
  const Case cases[] = {
      {L"7", L"07"},    {L"12", L"12"}, {L"3/12", L"03"}, {L" 4", L"04"}, {L"007", L"07"},
      {L"123", L"123"}, {L"", L""},     {L"A1", L""},     {L"0", L"00"},
  };
  for (const Case& c : cases) {
    CTagFields f;
    f[TagField::Track] = c.track;
    EXPECT_EQ(FormatEx(L"%track%", f), c.expected) << c.track;
  }
}

TEST(FormatEx, PathParts) {
  struct Case {
    std::wstring path, folder, name, ext;
  };
  const Case cases[] = {
      {L"C:\\a\\b.c.mp3", L"C:\\a\\", L"b.c", L"mp3"},
      {L"/music/song.mp3", L"/music/", L"song", L"mp3"},
      {L"D:song.mp2", L"D:", L"song", L"mp2"},
      {L"noext", L"", L"noext", L""},
      {L"C:\\dir.x\\noext", L"C:\\dir.x\\", L"noext", L""},
      {L"", L"", L"", L""},
  };
  for (const Case& c : cases) {
    PathParts p = SplitPath(c.path);
    EXPECT_EQ(p.folder, c.folder) << c.path;
    EXPECT_EQ(p.name, c.name) << c.path;
    EXPECT_EQ(p.ext, c.ext) << c.path;
  }
}

TEST(FormatEx, StopsAtTheTitleBuffer) {
  CTagFields f;
  f[TagField::Title] = std::wstring(200, L't');
  f[TagField::Artist] = std::wstring(200, L'a');
  std::wstring title = FormatEx(L"[%artist% - ]%title%", f);
  EXPECT_EQ(title.size(), kTitleUnits);
  EXPECT_EQ(title, std::wstring(200, L'a') + L" - " + std::wstring(56, L't'));
  // A long template of fields never grows past the buffer either.
  std::wstring many;
  for (int i = 0; i < 100; ++i) many += L"%title%";
  EXPECT_EQ(FormatEx(many, f).size(), kTitleUnits);
  // No half of a surrogate pair at the cut.
  CTagFields g;
  g[TagField::Title] = std::wstring(4, L'x');
  AppendCodePoint(g[TagField::Title], U'\U0001F3B5');
  std::wstring cut = FormatEx(L"%title%", g, 5);
  EXPECT_EQ(cut, L"xxxx");
}

}  // namespace
}  // namespace zul::tags
