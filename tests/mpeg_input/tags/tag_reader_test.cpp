#include "mpeg_input/tags/tag_reader.h"

#include <gtest/gtest.h>

#include "tests/mpeg_input/tags/test_support.h"

namespace zul::tags {
namespace {

using namespace test;

ByteVector Txxx(std::string_view description, std::string_view value) {
  return Concat({{0}, BytesOf(description), {0}, BytesOf(value)});
}

// ID3v2 at the start, APE and ID3v1 at the end, each with its own title and
// each lacking something the others have.
ByteVector AllThreeKinds() {
  return Concat({Id3v2Builder(3).Latin1("TIT2", "v2").Latin1("TPE1", "v2 artist").Build(), FakeAudio(),
                 ApeBuilder(2000).Item("Title", "ape").Item("Album", "ape album").Build(),
                 BuildId3v1({"v1", "", "v1 album", "", "", 3, 0})});
}

TEST(TagPriority, FirstKindPresentSuppliesTheWholeRecord) {
  ByteVector file = AllThreeKinds();
  struct Case {
    int priority;
    TagKind kind;
    std::wstring title, artist, album, track;
  };
  const Case cases[] = {
      {0, TagKind::Id3v2, L"v2", L"v2 artist", L"", L""},  // never filled from the others
      {1, TagKind::Id3v2, L"v2", L"v2 artist", L"", L""},
      {2, TagKind::Ape, L"ape", L"", L"ape album", L""},
      {3, TagKind::Ape, L"ape", L"", L"ape album", L""},
      {4, TagKind::Id3v1, L"v1", L"", L"v1 album", L"3"},
      {5, TagKind::Id3v1, L"v1", L"", L"v1 album", L"3"},
      {-1, TagKind::Id3v2, L"v2", L"v2 artist", L"", L""},  // out of range reads like 0
      {6, TagKind::Id3v2, L"v2", L"v2 artist", L"", L""},
  };
  for (const Case& c : cases) {
    CMemorySource source(file);
    CTagFields f;
    f[TagField::FilePath] = L"f.mp3";
    EXPECT_EQ(ReadTagFields(source, c.priority, f), c.kind) << c.priority;
    EXPECT_EQ(f[TagField::Title], c.title) << c.priority;
    EXPECT_EQ(f[TagField::Artist], c.artist) << c.priority;
    EXPECT_EQ(f[TagField::Album], c.album) << c.priority;
    EXPECT_EQ(f[TagField::Track], c.track) << c.priority;
    EXPECT_EQ(f[TagField::FilePath], L"f.mp3") << c.priority;
  }
}

TEST(TagPriority, MissingKindsAreSkippedInOrder) {
  ByteVector v1Only = Concat({FakeAudio(), BuildId3v1({"v1", "", "", "", "", -1, 0})});
  ByteVector apeOnly = Concat({FakeAudio(), ApeBuilder(2000).Item("Title", "ape").Build()});
  ByteVector apeAndV1 =
      Concat({FakeAudio(), ApeBuilder(2000).Item("Title", "ape").Build(), BuildId3v1({"v1", "", "", "", "", -1, 0})});
  struct Case {
    const char* name;
    const ByteVector* file;
    int priority;
    TagKind kind;
  };
  const Case cases[] = {
      {"v1 only, ID3v2 first", &v1Only, 0, TagKind::Id3v1},
      {"ape only, ID3v1 first", &apeOnly, 4, TagKind::Ape},
      {"ape and v1, 0 puts APE second", &apeAndV1, 0, TagKind::Ape},
      {"ape and v1, 1 puts ID3v1 second", &apeAndV1, 1, TagKind::Id3v1},
  };
  for (const Case& c : cases) {
    CMemorySource source(*c.file);
    CTagFields f;
    EXPECT_EQ(ReadTagFields(source, c.priority, f), c.kind) << c.name;
  }
  ByteVector none = FakeAudio();
  CMemorySource source(none);
  CTagFields f;
  f[TagField::Title] = L"keep";
  EXPECT_EQ(ReadTagFields(source, 0, f), TagKind::None);
  EXPECT_EQ(f[TagField::Title], L"keep");
}

TEST(TagPriority, RealFiles) {
  struct Case {
    const char* file;
    int priority;
    TagKind kind;
    std::wstring title;
  };
  const Case cases[] = {
      {"lame_v23_utf16.mp3", 0, TagKind::Id3v2, L"Title Lame"},
      {"lame_v23_utf16.mp3", 4, TagKind::Id3v1, L"Title Lame"},
      {"id3v2tool_v23_latin1.mp3", 5, TagKind::Id3v1, L"Title Tool"},
      {"ffmpeg_v24_utf8.mp3", 4, TagKind::Id3v2, L"T\u00EFtle Ffmpeg"},  // no ID3v1 written
      {"untagged.mp3", 0, TagKind::None, L""},
      {"untagged.mp3", 3, TagKind::None, L""},
  };
  for (const Case& c : cases) {
    std::unique_ptr<CByteSource> source = OpenFileSource(FixturePath(c.file));
    ASSERT_TRUE(source) << c.file;
    CTagFields f;
    EXPECT_EQ(ReadTagFields(*source, c.priority, f), c.kind) << c.file << " " << c.priority;
    EXPECT_EQ(f[TagField::Title], c.title) << c.file << " " << c.priority;
  }
}

TEST(TagReplayGain, SourcesAndOrder) {
  ByteVector both =
      Concat({Id3v2Builder(3).Frame("TXXX", Txxx("replaygain_track_gain", "-1 dB")).Build(), FakeAudio(),
              ApeBuilder(2000).Item("replaygain_track_gain", "-2 dB").Item("replaygain_album_gain", "-3 dB").Build()});
  ByteVector apeOnly = Concat({Id3v2Builder(3).Latin1("TIT2", "no gain here").Build(), FakeAudio(),
                               ApeBuilder(2000).Item("replaygain_album_gain", "-3 dB").Build()});
  struct Case {
    const char* name;
    const ByteVector* file;
    int sources;
    int priority;
    std::optional<double> track, album;
  };
  const Case cases[] = {
      {"ID3v2 first; values never mixed", &both, 3, 0, -1.0, std::nullopt},
      {"priority 1 reads ID3v2 first", &both, 3, 1, -1.0, std::nullopt},
      {"priority 4 reads ID3v2 first", &both, 3, 4, -1.0, std::nullopt},
      {"priority 2 reads APE first", &both, 3, 2, -2.0, -3.0},
      {"priority 3 reads APE first", &both, 3, 3, -2.0, -3.0},
      {"priority 5 reads APE first", &both, 3, 5, -2.0, -3.0},
      {"APE only by the bits", &both, 2, 0, -2.0, -3.0},
      {"ID3v2 only by the bits", &both, 1, 2, -1.0, std::nullopt},
      {"LAME bit alone reads no tag", &both, 4, 0, std::nullopt, std::nullopt},
      {"no source", &both, 0, 0, std::nullopt, std::nullopt},
      {"first source without values is passed over", &apeOnly, 3, 0, std::nullopt, -3.0},
  };
  for (const Case& c : cases) {
    CMemorySource source(*c.file);
    ReplayGainValues v = ReadTagReplayGain(source, c.sources, c.priority);
    EXPECT_EQ(v.trackGain, c.track) << c.name;
    EXPECT_EQ(v.albumGain, c.album) << c.name;
  }
}

}  // namespace
}  // namespace zul::tags
