#include "pluginhost/extensions/extension_lists.h"

#include <gtest/gtest.h>

namespace zul::extensions {
namespace {

using namespace std::string_literals;

// The built-in MPEG input's pairs.
const std::vector<ExtensionPair> kMpegPairs = {
    {L"MP3;MP2;MP1;RMP", L"MPEG Audio Files (*.MP3;*.MP2;*.MP1;*.RMP)"},
    {L"m3u;pls", L"Playlists (*.m3u, *.pls)"},
};

TEST(ExtensionPairs, SplitStopsAtTheEmptyListAndSurvivesShortInput) {
  auto pairs = SplitExtensionPairs("MP3;MP2\0MPEG\0m3u\0Lists\0\0ignored\0after\0"s);
  ASSERT_EQ(pairs.size(), 2u);
  EXPECT_EQ(pairs[0].extensions, "MP3;MP2");
  EXPECT_EQ(pairs[0].description, "MPEG");
  EXPECT_EQ(pairs[1].extensions, "m3u");
  EXPECT_EQ(pairs[1].description, "Lists");

  EXPECT_TRUE(SplitExtensionPairs(""s).empty());
  EXPECT_TRUE(SplitExtensionPairs("\0MP3\0x\0\0"s).empty());
  // Bytes cut by the copy limit: the last string ends with the bytes, a
  // missing description is empty.
  pairs = SplitExtensionPairs("A\0Desc A\0B;C"s);
  ASSERT_EQ(pairs.size(), 2u);
  EXPECT_EQ(pairs[1].extensions, "B;C");
  EXPECT_EQ(pairs[1].description, "");
}

TEST(ExtensionText, EachListFollowedBySemicolonAndCut) {
  EXPECT_EQ(ExtensionText(kMpegPairs), L"MP3;MP2;MP1;RMP;m3u;pls;");
  EXPECT_EQ(ExtensionText({}), L"");
  std::vector<ExtensionPair> huge(2000, ExtensionPair{L"abcd", L"x"});
  EXPECT_EQ(ExtensionText(huge).size(), kMaxExtensionText);
}

TEST(ExtensionText, PiecesSkipEmptyOnes) {
  EXPECT_EQ(ExtensionPieces(L";mp3;;WAV;"), (std::vector<std::wstring>{L"mp3", L"WAV"}));
  EXPECT_TRUE(ExtensionPieces(L";;").empty());
}

TEST(ExtensionMatch, EndOfLocationWithoutRegardToCase) {
  struct Case {
    const wchar_t* location;
    const wchar_t* text;
    bool match;
  } cases[] = {
      {L"C:\\Music\\SONG.Mp3", L"mp3;", true},
      {L"C:\\Music\\song.mp3", L"MP3;MP2;MP1;RMP;m3u;pls;", true},
      {L"amp3", L"mp3;", true},  // no dot required
      {L"song.mp", L"mp3;", false},
      {L"mp3", L"mp3", true},
      {L"p3", L"mp3;", false},  // piece longer than the location
      {L"song.wav", L";;wav;", true},
      {L"song.wav", L"", false},
      {L"song.wav", L";;", false},
      {L"song.ogg", L"mp3;wav;", false},
      {L"song.mp3.txt", L"mp3;", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MatchesExtensionText(c.location, c.text), c.match)
        << std::string(c.location, c.location + wcslen(c.location));
}

TEST(ExtensionMatch, StreamsAreLocationsWithScheme) {
  EXPECT_TRUE(IsStreamLocation(L"http://radio.example/live.mp3"));
  EXPECT_TRUE(IsStreamLocation(L"x://"));
  EXPECT_FALSE(IsStreamLocation(L"C:\\music\\a.mp3"));
  EXPECT_FALSE(IsStreamLocation(L"http:/one-slash"));
}

TEST(OpenFilter, BuiltInInputGivesTheKnownLine) {
  EXPECT_EQ(BuildOpenFilter({kMpegPairs}),
            L"All supported files|*.MP3;*.MP2;*.MP1;*.RMP;*.m3u;*.pls;|"
            L"MPEG Audio Files (*.MP3;*.MP2;*.MP1;*.RMP)|*.MP3;*.MP2;*.MP1;*.RMP|"
            L"Playlists (*.m3u, *.pls)|*.m3u;*.pls|");
}

TEST(OpenFilter, PluginsInOrderAndPairsWithoutDescription) {
  EXPECT_EQ(BuildOpenFilter({}), L"All supported files||");
  // A pair without description before any described one only widens "all";
  // after one it extends the previous pattern.
  std::vector<ExtensionPair> first = {{L"raw", L""}, {L"ogg", L"Ogg Vorbis"}, {L"oga;;", L""}};
  std::vector<ExtensionPair> second = {{L"wav", L"Wave"}, {L"", L"never reached"}, {L"aif", L"AIFF"}};
  EXPECT_EQ(BuildOpenFilter({first, second}),
            L"All supported files|*.raw;*.ogg;*.oga;*.wav;|Ogg Vorbis|*.ogg;*.oga|Wave|*.wav|");
}

TEST(ExtensionListText, EveryPluginsTextEndsWithSemicolon) {
  EXPECT_EQ(BuildExtensionList({L"MP3;MP2;", L"", L"ogg", L"wav;"}), L"MP3;MP2;ogg;wav;");
  EXPECT_EQ(BuildExtensionList({}), L"");
}

}  // namespace
}  // namespace zul::extensions
