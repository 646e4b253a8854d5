#include "mpeg_input/tags/id3v1.h"

#include <gtest/gtest.h>

#include "tests/mpeg_input/tags/test_support.h"

namespace zul::tags {
namespace {

using namespace test;

TEST(Id3v1, ReadsEveryFieldOfTheRecord) {
  ByteVector file = Concat({FakeAudio(), BuildId3v1({"Song  ", "Band", "Record", "1987", "Nice", 7, 17})});
  CMemorySource source(file);
  CTagFields f;
  f[TagField::FilePath] = L"C:\\x.mp3";
  f[TagField::Composer] = L"stale";
  ASSERT_TRUE(ReadId3v1(source, f));
  EXPECT_EQ(f[TagField::Title], L"Song");  // trailing blanks stripped
  EXPECT_EQ(f[TagField::Artist], L"Band");
  EXPECT_EQ(f[TagField::Album], L"Record");
  EXPECT_EQ(f[TagField::Year], L"1987");
  EXPECT_EQ(f[TagField::Comment], L"Nice");
  EXPECT_EQ(f[TagField::Track], L"7");
  EXPECT_EQ(f[TagField::Genre], L"Rock");
  EXPECT_EQ(f[TagField::Composer], L"");  // fields ID3v1 lacks are emptied
  EXPECT_EQ(f[TagField::FilePath], L"C:\\x.mp3");
}

TEST(Id3v1, CommentTrackAndGenreBytes) {
  struct Case {
    const char* name;
    std::string comment;
    int track;
    std::uint8_t genre;
    std::wstring comment_;
    std::wstring track_;
    std::wstring genre_;
  };
  const std::string thirty(30, 'c');
  const Case cases[] = {
      {"v1.0 full 30-byte comment", thirty, -1, 0, std::wstring(30, L'c'), L"", L"Blues"},
      {"v1.1 comment cut to 28", thirty, 7, 146, std::wstring(28, L'c'), L"7", L"JPop"},
      {"v1.1 track 255", "x", 255, 147, L"x", L"255", L"SynthPop"},
      {"genre past the list", "x", -1, 148, L"x", L"", L""},
      {"genre 255 means none", "x", -1, 255, L"x", L"", L""},
      {"Winamp spellings", "", -1, 67, L"", L"", L"Psychadelic"},
  };
  for (const Case& c : cases) {
    ByteVector file = BuildId3v1({"t", "a", "b", "2000", c.comment, c.track, c.genre});
    CTagFields f;
    ASSERT_TRUE(ParseId3v1(file, f)) << c.name;
    EXPECT_EQ(f[TagField::Comment], c.comment_) << c.name;
    EXPECT_EQ(f[TagField::Track], c.track_) << c.name;
    EXPECT_EQ(f[TagField::Genre], c.genre_) << c.name;
  }
}

TEST(Id3v1, TextIsAnsiLatin1Natively) {
  ByteVector file = BuildId3v1({"Caf\xE9", "", "", "", "", -1, 0});
  CTagFields f;
  ASSERT_TRUE(ParseId3v1(file, f));
  EXPECT_EQ(f[TagField::Title], L"Caf\u00E9");
}

TEST(Id3v1, AbsentRecordLeavesFieldsAlone) {
  const ByteVector cases[] = {
      {},
      BytesOf("TAG"),                                                     // shorter than a record
      ByteVector(127, 'x'),                                               // one byte short
      Concat({BuildId3v1({"t", "", "", "", "", -1, 0}), FakeAudio(10)}),  // not at the end
      Concat({BytesOf("TAB"), ByteVector(125, 0)}),
  };
  for (const ByteVector& file : cases) {
    CMemorySource source(file);
    CTagFields f;
    f[TagField::Title] = L"keep";
    EXPECT_FALSE(ReadId3v1(source, f));
    EXPECT_EQ(f[TagField::Title], L"keep");
  }
}

TEST(Id3v1, GenreListHasAllEntries) {
  for (int i = 0; i < kId3v1GenreCount; ++i) EXPECT_FALSE(Id3v1Genre(i).empty()) << i;
  EXPECT_EQ(Id3v1Genre(17), "Rock");
  EXPECT_EQ(Id3v1Genre(123), "A capella");
  EXPECT_EQ(Id3v1Genre(128), "Club House");
  EXPECT_EQ(Id3v1Genre(136), "Christian Gangsta");
  EXPECT_EQ(Id3v1Genre(140), "Contemporary C");
  EXPECT_TRUE(Id3v1Genre(-1).empty());
  EXPECT_TRUE(Id3v1Genre(148).empty());
}

}  // namespace
}  // namespace zul::tags
