#include "mpeg_input/tags/ape.h"

#include <gtest/gtest.h>

#include "tests/mpeg_input/tags/test_support.h"

namespace zul::tags {
namespace {

using namespace test;

struct Read {
  bool found = false;
  CTagFields fields;
  ReplayGainValues gain;
};

Read ReadBytes(const ByteVector& bytes) {
  CMemorySource source(bytes);
  Read r;
  r.found = ReadApe(source, &r.fields, &r.gain);
  return r;
}

ApeBuilder FullTag(std::uint32_t version) {
  return std::move(ApeBuilder(version)
                       .Item("Title", "T")
                       .Item("ARTIST", "A")  // keys compare without case
                       .Item("Comment", "C")
                       .Item("Album", "Al")
                       .Item("Year", "1999")
                       .Item("Genre", "Jazz")
                       .Item("Track", "4/9")
                       .Item("Composer", "Co")
                       .Item("OrigArtist", "O")
                       .Item("Copyright", "(c)")
                       .Item("EncodedBy", "E")
                       .Item("Album Artist", "not a field"));
}

TEST(Ape, FindsTheFooterWhereverTheFileKeepsIt) {
  ByteVector v1 = BuildId3v1({"v1", "", "", "", "", -1, 0});
  ByteVector tag = FullTag(2000).Build();
  ByteVector tagWithHeader = FullTag(2000).WithHeader().Build();
  struct Case {
    const char* name;
    ByteVector file;
  };
  const Case cases[] = {
      {"at the end", Concat({FakeAudio(), tag})},
      {"with a header", Concat({FakeAudio(), tagWithHeader})},
      {"before ID3v1", Concat({FakeAudio(), tag, v1})},
      {"before Lyrics3 v2 and ID3v1", Concat({FakeAudio(), tag, BuildLyrics3v2("IND00003110LYR00005hello"), v1})},
      {"the whole file", tag},
      {"version 1", Concat({FakeAudio(), FullTag(1000).Build()})},
  };
  for (const Case& c : cases) {
    Read r = ReadBytes(c.file);
    ASSERT_TRUE(r.found) << c.name;
    const CTagFields& f = r.fields;
    EXPECT_EQ(f[TagField::Title], L"T") << c.name;
    EXPECT_EQ(f[TagField::Artist], L"A") << c.name;
    EXPECT_EQ(f[TagField::Comment], L"C") << c.name;
    EXPECT_EQ(f[TagField::Album], L"Al") << c.name;
    EXPECT_EQ(f[TagField::Year], L"1999") << c.name;
    EXPECT_EQ(f[TagField::Genre], L"Jazz") << c.name;
    EXPECT_EQ(f[TagField::Track], L"4/9") << c.name;
    EXPECT_EQ(f[TagField::Composer], L"Co") << c.name;
    EXPECT_EQ(f[TagField::OriginalArtist], L"O") << c.name;
    EXPECT_EQ(f[TagField::Copyright], L"(c)") << c.name;
    EXPECT_EQ(f[TagField::Encoder], L"E") << c.name;
    EXPECT_EQ(f[TagField::AlbumArtist], L"") << c.name;
  }
}

TEST(Ape, ItemValues) {
  struct Case {
    const char* name;
    ApeBuilder tag;
    std::wstring title;
  };
  const Case cases[] = {
      {"2.0 is utf-8", std::move(ApeBuilder(2000).Item("Title", "Caf\xC3\xA9")), L"Caf\u00E9"},
      {"1.0 is ansi", std::move(ApeBuilder(1000).Item("Title", "Caf\xE9")), L"Caf\u00E9"},
      {"2.0 binary item skipped", std::move(ApeBuilder(2000).Item("Title", "bin", 1u << 1).Item("Title", "text")),
       L"text"},
      {"1.0 has no binary flag", std::move(ApeBuilder(1000).Item("Title", "bin", 1u << 1)), L"bin"},
      {"2.0 external locator is text", std::move(ApeBuilder(2000).Item("Title", "link", 2u << 1)), L"link"},
      {"first of a key wins", std::move(ApeBuilder(2000).Item("Title", "one").Item("title", "two")), L"one"},
      {"value list keeps the first", std::move(ApeBuilder(2000).Item("Title", std::string_view("a\0b", 3))), L"a"},
      {"value cut to 511", std::move(ApeBuilder(2000).Item("Title", std::string(700, 'q'))), std::wstring(511, L'q')},
  };
  for (const Case& c : cases) {
    Read r = ReadBytes(Concat({FakeAudio(), c.tag.Build()}));
    ASSERT_TRUE(r.found) << c.name;
    EXPECT_EQ(r.fields[TagField::Title], c.title) << c.name;
  }
}

TEST(Ape, ReplayGainItems) {
  Read r = ReadBytes(Concat({FakeAudio(), ApeBuilder(2000)
                                              .Item("REPLAYGAIN_TRACK_GAIN", "-7.89 dB")
                                              .Item("replaygain_track_peak", "0.5")
                                              .Item("Replaygain_Album_Gain", "+2.00 dB")
                                              .Item("replaygain_album_peak", "")
                                              .Build()}));
  ASSERT_TRUE(r.found);
  ASSERT_TRUE(r.gain.trackGain && r.gain.trackPeak && r.gain.albumGain);
  EXPECT_DOUBLE_EQ(*r.gain.trackGain, -7.89);
  EXPECT_DOUBLE_EQ(*r.gain.trackPeak, 0.5);
  EXPECT_DOUBLE_EQ(*r.gain.albumGain, 2.0);
  EXPECT_FALSE(r.gain.albumPeak);
}

TEST(Ape, LyingSizesEndCleanly) {
  ByteVector v1 = BuildId3v1({"v1", "", "", "", "", -1, 0});
  ByteVector lyrics = BuildLyrics3v2("IND00003110");
  ByteVector badLyricsSize = Concat({FakeAudio(), ApeBuilder(2000).Item("Title", "T").Build(), lyrics, v1});
  badLyricsSize[badLyricsSize.size() - 128 - 15] = 'x';  // first of the six digits
  ByteVector headerOnly = ApeBuilder(2000).WithHeader().Build();
  headerOnly.resize(kApeFooterSize);  // the header block alone
  struct Case {
    const char* name;
    ByteVector file;
  };
  const Case cases[] = {
      {"tag larger than the file",
       Concat({FakeAudio(10), ApeBuilder(2000).Item("Title", "T").ClaimSize(5000).Build()})},
      {"tag size below the footer", Concat({FakeAudio(), ApeBuilder(2000).ClaimSize(31).Build()})},
      {"tag size of 4 GiB", Concat({FakeAudio(), ApeBuilder(2000).ClaimSize(0xFFFFFFFF).Build()})},
      {"unknown version", Concat({FakeAudio(), ApeBuilder(1500).Item("Title", "T").Build()})},
      {"a header where the footer belongs", Concat({FakeAudio(), headerOnly})},
      {"lyrics size not decimal", badLyricsSize},
      {"lyrics block larger than the file",
       Concat({ApeBuilder(2000).Item("Title", "T").Build(), BytesOf("999999LYRICS200"), v1})},
      {"nothing", FakeAudio()},
  };
  for (const Case& c : cases) EXPECT_FALSE(ReadBytes(c.file).found) << c.name;
}

TEST(Ape, ItemsClaimingMoreThanTheTagStopTheWalk) {
  struct Case {
    const char* name;
    ApeBuilder tag;
  };
  const Case cases[] = {
      {"value size past the footer",
       std::move(
           ApeBuilder(2000)
               .Item("Title", "Kept")
               .RawItem(Concat({LittleEndian32(1000), LittleEndian32(0), BytesOf("Artist"), {0}, BytesOf("x")})))},
      {"value size of 4 GiB",
       std::move(ApeBuilder(2000)
                     .Item("Title", "Kept")
                     .RawItem(Concat({LittleEndian32(0xFFFFFFFF), LittleEndian32(0), BytesOf("Artist"), {0}})))},
      {"key without terminator",
       std::move(ApeBuilder(2000)
                     .Item("Title", "Kept")
                     .RawItem(Concat({LittleEndian32(1), LittleEndian32(0), BytesOf("Artist")})))},
      {"item header cut", std::move(ApeBuilder(2000).Item("Title", "Kept").RawItem({1, 0, 0}))},
      {"count larger than the items", std::move(ApeBuilder(2000).Item("Title", "Kept").ClaimCount(0xFFFFFFFF))},
  };
  for (const Case& c : cases) {
    Read r = ReadBytes(Concat({FakeAudio(), c.tag.Build()}));
    ASSERT_TRUE(r.found) << c.name;
    EXPECT_EQ(r.fields[TagField::Title], L"Kept") << c.name;
    EXPECT_EQ(r.fields[TagField::Artist], L"") << c.name;
  }
  // A count smaller than the items reads only that many.
  Read few =
      ReadBytes(Concat({FakeAudio(), ApeBuilder(2000).Item("Title", "T").Item("Artist", "A").ClaimCount(1).Build()}));
  EXPECT_EQ(few.fields[TagField::Title], L"T");
  EXPECT_EQ(few.fields[TagField::Artist], L"");
}

}  // namespace
}  // namespace zul::tags
