#include "mpeg_input/tags/id3v2.h"

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
  r.found = ReadId3v2(source, &r.fields, &r.gain);
  return r;
}

// A tag at the start of a file with some audio after it.
Read ReadTag(const Id3v2Builder& b) { return ReadBytes(Concat({b.Build(), FakeAudio()})); }

TEST(Id3v2, ReadsTagsWrittenByRealTools) {
  struct Case {
    const char* file;
    std::wstring title, artist, album, year, comment, genre, track, albumArtist;
  };
  const Case cases[] = {
      {"lame_v23_utf16.mp3", L"Title Lame", L"Artist Lame", L"Album Lame", L"2001", L"Comment Lame", L"Rock", L"7",
       L""},
      {"id3v2tool_v23_latin1.mp3", L"Title Tool", L"Artist Tool", L"Album Tool", L"1999", L"Comment Tool", L"Rock",
       L"3/12", L""},
      {"ffmpeg_v24_utf8.mp3", L"T\u00EFtle Ffmpeg", L"Artist Ffmpeg", L"", L"2020", L"", L"Jazz", L"5", L"Band"},
  };
  for (const Case& c : cases) {
    std::unique_ptr<CByteSource> source = OpenFileSource(FixturePath(c.file));
    ASSERT_TRUE(source) << c.file;
    CTagFields f;
    ASSERT_TRUE(ReadId3v2(*source, &f, nullptr)) << c.file;
    EXPECT_EQ(f[TagField::Title], c.title) << c.file;
    EXPECT_EQ(f[TagField::Artist], c.artist) << c.file;
    EXPECT_EQ(f[TagField::Album], c.album) << c.file;
    EXPECT_EQ(f[TagField::Year], c.year) << c.file;
    EXPECT_EQ(f[TagField::Comment], c.comment) << c.file;
    EXPECT_EQ(f[TagField::Genre], c.genre) << c.file;
    EXPECT_EQ(f[TagField::Track], c.track) << c.file;
    EXPECT_EQ(f[TagField::AlbumArtist], c.albumArtist) << c.file;
  }
}

TEST(Id3v2, ReplayGainFromTxxxWrittenByFfmpeg) {
  std::unique_ptr<CByteSource> source = OpenFileSource(FixturePath("ffmpeg_v24_utf8.mp3"));
  ASSERT_TRUE(source);
  ReplayGainValues gain;
  ASSERT_TRUE(ReadId3v2(*source, nullptr, &gain));
  ASSERT_TRUE(gain.trackGain && gain.trackPeak);
  EXPECT_DOUBLE_EQ(*gain.trackGain, -6.5);
  EXPECT_DOUBLE_EQ(*gain.trackPeak, 0.988525);
  EXPECT_FALSE(gain.albumGain || gain.albumPeak);
}

TEST(Id3v2, UnsynchronisationExtendedHeadersAndFrameFlags) {
  const ByteVector ff = {0, 0xFF, 0xE9, 0xFF, 0x00, '!'};  // Latin-1 "ÿéÿ" NUL "!"
  const std::wstring ffText = L"\u00FF\u00E9\u00FF";
  struct Case {
    const char* name;
    Id3v2Builder tag;
    std::wstring title;
    std::wstring artist = L"Artist";
  };
  const Case cases[] = {
      {"2.3 whole-tag unsync", Id3v2Builder(3).UnsyncTag().Frame("TIT2", ff).Latin1("TPE1", "Artist"), ffText},
      // 2.4 counts the stored bytes: undoing the whole body would eat into
      // the next frame.
      {"2.4 tag flag unsyncs each frame", Id3v2Builder(4).UnsyncTag().Frame("TIT2", ff).Latin1("TPE1", "Artist"),
       ffText},
      {"2.4 frame flag", Id3v2Builder(4).Frame("TIT2", ff, 0x02, true).Latin1("TPE1", "Artist"), ffText},
      {"2.4 unsync and data length",
       Id3v2Builder(4).Frame("TIT2", Concat({Syncsafe(6), ff}), 0x03, true).Latin1("TPE1", "Artist"), ffText},
      {"2.3 extended header with padding",
       Id3v2Builder(3)
           .ExtendedHeader(Concat({BigEndian32(6), {0, 0}, BigEndian32(64)}))
           .Latin1("TIT2", "T")
           .Latin1("TPE1", "Artist")
           .Padding(64),
       L"T"},
      {"2.3 extended header with crc",
       Id3v2Builder(3)
           .ExtendedHeader(Concat({BigEndian32(10), {0x80, 0}, BigEndian32(0), BigEndian32(0x12345678)}))
           .Latin1("TIT2", "T")
           .Latin1("TPE1", "Artist"),
       L"T"},
      {"2.4 extended header",
       Id3v2Builder(4).ExtendedHeader(Concat({Syncsafe(6), {1, 0}})).Latin1("TIT2", "T").Latin1("TPE1", "Artist"),
       L"T"},
      {"2.4 extended header larger than the tag",
       Id3v2Builder(4).ExtendedHeader(Concat({Syncsafe(5000), {1, 0}})).Latin1("TIT2", "T"), L"", L""},
      {"2.4 extended header too small",
       Id3v2Builder(4).ExtendedHeader(Concat({Syncsafe(2), {1, 0}})).Latin1("TIT2", "T"), L"", L""},
      {"2.3 compressed skipped",
       Id3v2Builder(3).Frame("TIT2", BytesOf("xxxxx"), 0x80).Latin1("TIT2", "Plain").Latin1("TPE1", "Artist"),
       L"Plain"},
      {"2.3 encrypted skipped",
       Id3v2Builder(3).Frame("TIT2", BytesOf("xxxxx"), 0x40).Latin1("TIT2", "Plain").Latin1("TPE1", "Artist"),
       L"Plain"},
      {"2.4 compressed skipped",
       Id3v2Builder(4).Frame("TIT2", BytesOf("xxxxx"), 0x08 | 0x01).Latin1("TIT2", "Plain").Latin1("TPE1", "Artist"),
       L"Plain"},
      {"2.4 encrypted skipped",
       Id3v2Builder(4).Frame("TIT2", BytesOf("xxxxx"), 0x04).Latin1("TIT2", "Plain").Latin1("TPE1", "Artist"),
       L"Plain"},
      {"2.3 group byte",
       Id3v2Builder(3).Frame("TIT2", Concat({{0x42, 0}, BytesOf("G")}), 0x20).Latin1("TPE1", "Artist"), L"G"},
      {"2.4 group byte and data length",
       Id3v2Builder(4).Frame("TIT2", Concat({{0x42}, Syncsafe(2), {0}, BytesOf("G")}), 0x41).Latin1("TPE1", "Artist"),
       L"G"},
      {"zero byte ends the frames", Id3v2Builder(4).Latin1("TIT2", "T").Padding(20), L"T", L""},
  };
  for (const Case& c : cases) {
    Read r = ReadTag(c.tag);
    ASSERT_TRUE(r.found) << c.name;
    EXPECT_EQ(r.fields[TagField::Title], c.title) << c.name;
    EXPECT_EQ(r.fields[TagField::Artist], c.artist) << c.name;
  }
}

TEST(Id3v2, TextEncodings) {
  struct Case {
    const char* name;
    std::uint8_t encoding;
    ByteVector text;
    std::wstring expected;
  };
  const Case cases[] = {
      {"0 ansi", 0, {'C', 'a', 'f', 0xE9}, L"Caf\u00E9"},
      {"1 utf-16 le bom", 1, Utf16Le(u"Caf\u00E9"), L"Caf\u00E9"},
      {"1 utf-16 be bom", 1, Utf16Be(u"Caf\u00E9", true), L"Caf\u00E9"},
      {"2 utf-16 be", 2, Utf16Be(u"Caf\u00E9"), L"Caf\u00E9"},
      {"3 utf-8", 3, BytesOf("Caf\xC3\xA9"), L"Caf\u00E9"},
      {"3 utf-8 list keeps first", 3, BytesOf(std::string_view("One\0Two", 7)), L"One"},
      {"unknown encoding", 4, BytesOf("Cafe"), L""},
      {"empty text", 3, {}, L""},
  };
  for (const Case& c : cases) {
    Read r = ReadTag(Id3v2Builder(4).Text("TIT2", c.encoding, c.text));
    ASSERT_TRUE(r.found) << c.name;
    EXPECT_EQ(r.fields[TagField::Title], c.expected) << c.name;
  }
  Read empty = ReadTag(Id3v2Builder(4).Frame("TIT2", {}));
  EXPECT_EQ(empty.fields[TagField::Title], L"");
}

TEST(Id3v2, CommentUrlAndGenreFrames) {
  auto comm = [](std::uint8_t enc, ByteVector rest) { return Concat({{enc}, BytesOf("eng"), rest}); };
  struct Case {
    const char* name;
    Id3v2Builder tag;
    TagField field;
    std::wstring expected;
  };
  const Case cases[] = {
      {"comment text", Id3v2Builder(3).Frame("COMM", comm(0, BytesOf(std::string_view("desc\0text", 9)))),
       TagField::Comment, L"text"},
      {"comment empty description", Id3v2Builder(3).Frame("COMM", comm(0, BytesOf(std::string_view("\0text", 5)))),
       TagField::Comment, L"text"},
      {"comment description only", Id3v2Builder(3).Frame("COMM", comm(0, BytesOf(std::string_view("desc\0", 5)))),
       TagField::Comment, L"desc"},
      {"comment without terminator", Id3v2Builder(3).Frame("COMM", comm(0, BytesOf("desc"))), TagField::Comment,
       L"desc"},
      {"comment utf-16 each with bom",
       Id3v2Builder(3).Frame("COMM", comm(1, Concat({Utf16Le(u"d"), {0, 0}, Utf16Be(u"T\u00E9xt", true)}))),
       TagField::Comment, L"T\u00E9xt"},
      {"comment utf-16 odd-aligned zeros",
       Id3v2Builder(3).Frame("COMM", comm(2, Concat({Utf16Be(u"\u0100"), {0, 0}, Utf16Be(u"ok")}))), TagField::Comment,
       L"ok"},
      {"comment too short", Id3v2Builder(3).Frame("COMM", {0, 'e'}), TagField::Comment, L""},
      {"first comment wins",
       Id3v2Builder(3)
           .Frame("COMM", comm(0, BytesOf(std::string_view("\0first", 6))))
           .Frame("COMM", comm(0, BytesOf(std::string_view("\0second", 7)))),
       TagField::Comment, L"first"},
      {"url after a utf-16 description",
       Id3v2Builder(3).Frame("WXXX", Concat({{1}, Utf16Le(u"home"), {0, 0}, BytesOf("http://x.org/\xE9")})),
       TagField::Url, L"http://x.org/\u00E9"},
      {"url without description end", Id3v2Builder(3).Frame("WXXX", Concat({{0}, BytesOf("http://x")})), TagField::Url,
       L""},
      {"genre (17)", Id3v2Builder(3).Latin1("TCON", "(17)"), TagField::Genre, L"Rock"},
      {"genre (17)Classic", Id3v2Builder(3).Latin1("TCON", "(17)Classic"), TagField::Genre, L"Classic"},
      {"genre (147)", Id3v2Builder(3).Latin1("TCON", "(147)"), TagField::Genre, L"SynthPop"},
      {"genre (200)", Id3v2Builder(3).Latin1("TCON", "(200)"), TagField::Genre, L""},
      {"genre huge number", Id3v2Builder(3).Latin1("TCON", "(99999999999999)"), TagField::Genre, L""},
      {"genre plain text", Id3v2Builder(4).Latin1("TCON", "Jazz"), TagField::Genre, L"Jazz"},
      {"genre (RX)", Id3v2Builder(3).Latin1("TCON", "(RX)"), TagField::Genre, L"(RX)"},
      {"genre unclosed", Id3v2Builder(3).Latin1("TCON", "(17"), TagField::Genre, L"(17"},
      {"2.3 year is TYER", Id3v2Builder(3).Latin1("TDRC", "2004").Latin1("TYER", "2003"), TagField::Year, L"2003"},
      {"2.4 year is TDRC", Id3v2Builder(4).Latin1("TYER", "2003").Latin1("TDRC", "2004-05-06"), TagField::Year,
       L"2004-05-06"},
      {"album artist", Id3v2Builder(4).Latin1("TPE2", "AA"), TagField::AlbumArtist, L"AA"},
      {"composer", Id3v2Builder(4).Latin1("TCOM", "C"), TagField::Composer, L"C"},
      {"original artist", Id3v2Builder(4).Latin1("TOPE", "O"), TagField::OriginalArtist, L"O"},
      {"copyright", Id3v2Builder(4).Latin1("TCOP", "(c)"), TagField::Copyright, L"(c)"},
      {"encoder", Id3v2Builder(4).Latin1("TENC", "E"), TagField::Encoder, L"E"},
      {"part of set", Id3v2Builder(4).Latin1("TPOS", "1/2"), TagField::PartOfSet, L"1/2"},
      {"first title wins", Id3v2Builder(4).Latin1("TIT2", "A").Latin1("TIT2", "B"), TagField::Title, L"A"},
      {"value cut to 511", Id3v2Builder(4).Latin1("TIT2", std::string(600, 'z')), TagField::Title,
       std::wstring(511, L'z')},
  };
  for (const Case& c : cases) {
    Read r = ReadTag(c.tag);
    ASSERT_TRUE(r.found) << c.name;
    EXPECT_EQ(r.fields[c.field], c.expected) << c.name;
  }
}

TEST(Id3v2, ReplayGainTxxxFrames) {
  auto txxx = [](std::string_view description, std::string_view value) {
    return Concat({{0}, BytesOf(description), {0}, BytesOf(value)});
  };
  Read r = ReadTag(Id3v2Builder(3)
                       .Frame("TXXX", txxx("REPLAYGAIN_TRACK_GAIN", "+1.25 dB"))
                       .Frame("TXXX", txxx("replaygain_track_gain", "-9 dB"))
                       .Frame("TXXX", txxx("replaygain_album_gain", "-3.10 dB"))
                       .Frame("TXXX", txxx("replaygain_album_peak", "1.05"))
                       .Frame("TXXX", txxx("replaygain_track_peak", "loud"))
                       .Frame("TXXX", Concat({{1}, Utf16Le(u"other"), {0, 0}, Utf16Le(u"1")})));
  ASSERT_TRUE(r.found);
  ASSERT_TRUE(r.gain.trackGain && r.gain.albumGain && r.gain.albumPeak);
  EXPECT_DOUBLE_EQ(*r.gain.trackGain, 1.25);  // the first frame of a kind wins
  EXPECT_DOUBLE_EQ(*r.gain.albumGain, -3.1);
  EXPECT_DOUBLE_EQ(*r.gain.albumPeak, 1.05);
  EXPECT_FALSE(r.gain.trackPeak);  // not a number: absent

  Read utf16 = ReadTag(
      Id3v2Builder(3).Frame("TXXX", Concat({{1}, Utf16Le(u"replaygain_track_gain"), {0, 0}, Utf16Le(u"-6.50 dB")})));
  ASSERT_TRUE(utf16.gain.trackGain);
  EXPECT_DOUBLE_EQ(*utf16.gain.trackGain, -6.5);
}

TEST(Id3v2, TagAppendedBehindA24Footer) {
  ByteVector tag = Id3v2Builder(4).Latin1("TIT2", "At the end").BuildWithFooter();
  Read r = ReadBytes(Concat({FakeAudio(), tag}));
  ASSERT_TRUE(r.found);
  EXPECT_EQ(r.fields[TagField::Title], L"At the end");

  // A tag at the start wins over one at the end.
  Read both = ReadBytes(Concat({Id3v2Builder(3).Latin1("TIT2", "Front").Build(), FakeAudio(), tag}));
  EXPECT_EQ(both.fields[TagField::Title], L"Front");
  // The whole file may be just the appended tag.
  EXPECT_TRUE(ReadBytes(tag).found);
}

TEST(Id3v2, LyingOrUnknownHeadersEndCleanly) {
  ByteVector good = Id3v2Builder(3).Latin1("TIT2", "T").Build();
  ByteVector v22 = good;
  v22[3] = 2;
  ByteVector v5 = good;
  v5[3] = 5;
  ByteVector appended23 = Concat({FakeAudio(), Id3v2Builder(3).Latin1("TIT2", "T").BuildWithFooter()});
  appended23[appended23.size() - 7] = 3;  // a 2.3 footer does not exist
  struct Case {
    const char* name;
    ByteVector bytes;
  };
  const Case cases[] = {
      {"empty", {}},
      {"header only, cut", ByteVector(good.begin(), good.begin() + 9)},
      {"2.2", v22},
      {"unknown major version", v5},
      {"claims more than the file", Id3v2Builder(3).Latin1("TIT2", "T").ClaimSize(100000).Build()},
      {"claims the maximum size", Id3v2Builder(4).Latin1("TIT2", "T").ClaimSize(0x0FFFFFFF).Build()},
      {"footer claims more than the file",
       Concat({FakeAudio(10), Id3v2Builder(4).Latin1("TIT2", "T").ClaimSize(5000).BuildWithFooter()})},
      {"2.3 footer", appended23},
  };
  for (const Case& c : cases) {
    Read r = ReadBytes(c.bytes);
    EXPECT_FALSE(r.found) << c.name;
    EXPECT_EQ(r.fields[TagField::Title], L"") << c.name;
  }
}

TEST(Id3v2, FrameClaimingMoreThanTheTagStopsTheWalk) {
  for (int major : {3, 4}) {
    ByteVector tag = Id3v2Builder(major).Latin1("TIT2", "Kept").Latin1("TPE1", "Lost").Build();
    // TPE1's size field starts 4 bytes into the second frame header.
    std::size_t second = 10 + 10 + 5;
    tag[second + 4] = 0x7F;
    Read r = ReadBytes(Concat({tag, FakeAudio()}));
    ASSERT_TRUE(r.found) << major;
    EXPECT_EQ(r.fields[TagField::Title], L"Kept") << major;
    EXPECT_EQ(r.fields[TagField::Artist], L"") << major;

    // A frame header cut short by the end of the tag.
    ByteVector cut = Id3v2Builder(major).Latin1("TIT2", "Kept").Frame("TPE1", BytesOf("x")).Build();
    cut.resize(cut.size() - 4);
    ByteVector resized = Id3v2Builder(major).ClaimSize(static_cast<std::uint32_t>(cut.size() - 10)).Build();
    std::copy(resized.begin(), resized.begin() + 10, cut.begin());
    Read c = ReadBytes(cut);
    ASSERT_TRUE(c.found) << major;
    EXPECT_EQ(c.fields[TagField::Title], L"Kept") << major;
  }
}

TEST(Id3v2, FoundWithoutKnownFramesAndFieldsAreReset) {
  CTagFields f;
  f[TagField::FilePath] = L"/music/a.mp3";
  f[TagField::Title] = L"stale";
  ByteVector bytes = Id3v2Builder(3).Latin1("TXYZ", "x").Build();
  CMemorySource source(bytes);
  ASSERT_TRUE(ReadId3v2(source, &f, nullptr));
  EXPECT_EQ(f[TagField::Title], L"");
  EXPECT_EQ(f[TagField::FilePath], L"/music/a.mp3");
}

// Counts the bytes a reader asks for.
class CountingSource final : public CByteSource {
public:
  explicit CountingSource(const ByteVector& bytes) : inner_(bytes) {}
  std::uint64_t Size() const override { return inner_.Size(); }
  size_t ReadAt(int64_t offset, void* dst, size_t count) override {
    const size_t n = inner_.ReadAt(offset, dst, count);
    bytesRead += n;
    return n;
  }
  std::uint64_t bytesRead = 0;

private:
  CMemorySource inner_;
};

TEST(Id3v2, PicturesAreNeverLoaded) {
  ByteVector picture = Concat({{0}, BytesOf("image/jpeg"), {0, 3, 0}, ByteVector(4 << 20, 0xD8)});
  for (int major : {3, 4}) {
    ByteVector file = Concat({Id3v2Builder(major)
                                  .Latin1("TIT2", "Before")
                                  .Frame("APIC", picture)
                                  .Latin1("TPE1", "After")
                                  .Frame("TXXX", Concat({{0}, BytesOf("replaygain_album_gain"), {0}, BytesOf("-1 dB")}))
                                  .Build(),
                              FakeAudio()});
    CountingSource source(file);
    CTagFields f;
    ReplayGainValues gain;
    ASSERT_TRUE(ReadId3v2(source, &f, &gain)) << major;
    EXPECT_EQ(f[TagField::Title], L"Before") << major;
    EXPECT_EQ(f[TagField::Artist], L"After") << major;
    EXPECT_EQ(gain.albumGain, -1.0) << major;
    EXPECT_LT(source.bytesRead, 1024u) << major;
  }
}

TEST(Id3v2, RemoveUnsynchronisationUndoesOnlyFfZeroPairs) {
  ByteVector in = {0xFF, 0x00, 0xE0, 0xFF, 0x01, 0x00, 0xFF, 0x00, 0x00, 0xFF};
  EXPECT_EQ(RemoveUnsynchronisation(in), (ByteVector{0xFF, 0xE0, 0xFF, 0x01, 0x00, 0xFF, 0x00, 0xFF}));
  for (const ByteVector& plain : {ByteVector{0xFF, 0xE9, 0xFF}, ByteVector{0xFF, 0x00, 0xFF, 0xFF}})
    EXPECT_EQ(RemoveUnsynchronisation(Unsynchronise(plain)), plain);
}

}  // namespace
}  // namespace zul::tags
