#include "mpeg_input/tags/id3v1_writer.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/mpeg_input/tags/test_support.h"

namespace zul::tags {
namespace {

using namespace test;

// A file in memory whose writes can be made to fail part-way, the way a full
// disk or a pulled stick fails: some bytes land, then the call reports failure.
class MemoryFile final : public CWritableFile {
public:
  explicit MemoryFile(ByteVector bytes) : bytes(std::move(bytes)) {}
  std::uint64_t Size() const override { return bytes.size(); }
  std::size_t ReadAt(std::int64_t offset, void* dst, std::size_t count) override {
    if (offset < 0 || static_cast<std::uint64_t>(offset) > bytes.size()) return 0;
    std::size_t n = std::min(count, bytes.size() - static_cast<std::size_t>(offset));
    std::memcpy(dst, bytes.data() + offset, n);
    return n;
  }
  bool WriteAt(std::uint64_t offset, const void* src, std::size_t count) override {
    ++writes;
    bool fail = writes == failWrite || failEveryWrite;
    std::size_t n = fail ? count / 2 : count;
    if (bytes.size() < offset + n) bytes.resize(offset + n);
    std::memcpy(bytes.data() + offset, src, n);
    return !fail;
  }
  bool Truncate(std::uint64_t size) override {
    if (failTruncate) return false;
    bytes.resize(size);
    return true;
  }
  bool Flush() override { return true; }

  ByteVector bytes;
  int writes = 0;
  int failWrite = 0;
  bool failEveryWrite = false;
  bool failTruncate = false;
};

std::string Pad(std::string s, std::size_t n) {
  s.resize(n, ' ');
  return s;
}

// The record as the published layout has it, fields filled with blanks.
ByteVector Expected(const std::string& title, const std::string& artist, const std::string& album,
                    const std::string& year, const std::string& comment, int track, std::uint8_t genre) {
  ByteVector r = BytesOf("TAG" + Pad(title, 30) + Pad(artist, 30) + Pad(album, 30) + Pad(year, 4) + Pad(comment, 30));
  if (track > 0) {
    r[125] = 0;
    r[126] = static_cast<std::uint8_t>(track);
  }
  r.push_back(genre);
  return r;
}

ByteVector Tail(const ByteVector& b) { return ByteVector(b.end() - 128, b.end()); }
ByteVector Head(const ByteVector& b, std::size_t n) { return ByteVector(b.begin(), b.begin() + n); }

const Id3v1Texts kEdit{L"New title", L"New artist", L"New album", L"2024", L"New comment"};

TEST(Id3v1Writer, KeepsEveryByteBeforeTheRecordAndTakesTrackAndGenreFromTheTags) {
  ByteVector v2 = Id3v2Builder(3).Latin1("TIT2", "v2 title").Latin1("TRCK", "7/12").Latin1("TCON", "(8)").Build();
  ByteVector v2NoNumbers = Id3v2Builder(4).Latin1("TIT2", "only a title").Build();
  ByteVector ape = ApeBuilder(2000).Item("Title", "ape title").WithHeader().Build();
  ByteVector oldV1 = BuildId3v1({"Old", "Old", "Old", "1999", "old", 3, 17});
  struct Case {
    const char* name;
    ByteVector before;  // what must stay byte for byte
    ByteVector oldRecord;
    Id3v1WriteResult result;
    int track;
    std::uint8_t genre;
  };
  const Case cases[] = {
      {"ID3v2 and APE, no ID3v1: appended, numbers from ID3v2",
       Concat({v2, FakeAudio(), ape}),
       {},
       Id3v1WriteResult::Appended,
       7,
       8},
      {"ID3v1 only: replaced, its own track and genre kept", FakeAudio(), oldV1, Id3v1WriteResult::Replaced, 3, 17},
      {"ID3v2 numbers win over the old record's", Concat({v2, FakeAudio(), ape}), oldV1, Id3v1WriteResult::Replaced, 7,
       8},
      {"ID3v2 without TRCK/TCON keeps the old record's", Concat({v2NoNumbers, FakeAudio()}), oldV1,
       Id3v1WriteResult::Replaced, 3, 17},
      {"no tags at all: appended, no track, no genre", FakeAudio(), {}, Id3v1WriteResult::Appended, 0, 255},
      {"tags only, no audio", Concat({v2, ape}), {}, Id3v1WriteResult::Appended, 7, 8},
  };
  for (const Case& c : cases) {
    MemoryFile file(Concat({c.before, c.oldRecord}));
    EXPECT_EQ(WriteId3v1(file, kEdit), c.result) << c.name;
    ASSERT_EQ(file.bytes.size(), c.before.size() + 128) << c.name;
    EXPECT_EQ(Head(file.bytes, c.before.size()), c.before) << c.name;
    EXPECT_EQ(Tail(file.bytes),
              Expected("New title", "New artist", "New album", "2024", "New comment", c.track, c.genre))
        << c.name;
  }
}

TEST(Id3v1Writer, TextsAreCutToTheirFieldsWithoutSpillingIntoTheNext) {
  Id3v1Texts texts;
  texts.title = std::wstring(40, L'T');             // cut to 30
  texts.artist = L"two\nlines";                     // line feed becomes a blank
  texts.album = L"caf\u00E9 \u4E2D";                // in Latin-1 / 1252, then one character that is not
  texts.year = L"123456";                           // cut to 4
  texts.comment = std::wstring(29, L'c') + L"END";  // with a track the comment keeps 28
  auto record = RenderId3v1(texts, 9, 0);
  ASSERT_TRUE(record);
  ByteVector expected = Expected(std::string(30, 'T'), "two lines", "caf\xE9 ?", "1234", std::string(28, 'c'), 9, 0);
  EXPECT_EQ(ByteVector(record->begin(), record->end()), expected);
}

TEST(Id3v1Writer, GenreAndTrackTexts) {
  struct Case {
    std::wstring text;
    int genre;
  } genres[] = {{L"17", 17}, {L"255", 255}, {L"256", 12}, {L"rock", 17}, {L"SynthPop", 147}, {L"Chiptune", 12}};
  for (const auto& c : genres) EXPECT_EQ(Id3v1GenreByte(c.text), c.genre) << std::string(c.text.begin(), c.text.end());
  struct TrackCase {
    std::wstring text;
    int track;
  } tracks[] = {{L"7/12", 7}, {L"255", 255}, {L"256", 0}, {L"0", 0}, {L"x3", 0}, {L"", 0}, {L"99999999", 0}};
  for (const auto& c : tracks) EXPECT_EQ(Id3v1TrackByte(c.text), c.track) << std::string(c.text.begin(), c.text.end());
}

TEST(Id3v1Writer, NothingIsWrittenWhenThereIsNothingToSay) {
  const Id3v1Texts blank{};
  struct Case {
    const char* name;
    ByteVector bytes;
    Id3v1Texts texts;
    Id3v1WriteResult result;
  };
  const Case cases[] = {
      {"blank texts, no genre, old record stays", Concat({FakeAudio(), BuildId3v1({"Keep", "", "", "", "", -1, 255})}),
       blank, Id3v1WriteResult::NothingToSave},
      {"blank texts, no record: nothing appended", FakeAudio(), blank, Id3v1WriteResult::NothingToSave},
      {"a file of 0 bytes", {}, kEdit, Id3v1WriteResult::EmptyFile},
  };
  for (const Case& c : cases) {
    MemoryFile file(c.bytes);
    EXPECT_EQ(WriteId3v1(file, c.texts), c.result) << c.name;
    EXPECT_EQ(file.bytes, c.bytes) << c.name;
    EXPECT_EQ(file.writes, 0) << c.name;
  }
}

TEST(Id3v1Writer, AFailedWriteLeavesTheFileAsItWas) {
  const ByteVector withRecord = Concat({FakeAudio(), BuildId3v1({"Old", "", "", "", "", 3, 17})});
  const ByteVector without = FakeAudio();
  {
    MemoryFile file(withRecord);
    file.failWrite = 1;  // half the new record lands, then the old one goes back
    EXPECT_EQ(WriteId3v1(file, kEdit), Id3v1WriteResult::Failed);
    EXPECT_EQ(file.bytes, withRecord);
  }
  {
    MemoryFile file(without);
    file.failWrite = 1;  // the half-appended bytes are cut off again
    EXPECT_EQ(WriteId3v1(file, kEdit), Id3v1WriteResult::Failed);
    EXPECT_EQ(file.bytes, without);
  }
  {
    MemoryFile file(without);
    file.failWrite = 1;
    file.failTruncate = true;
    EXPECT_EQ(WriteId3v1(file, kEdit), Id3v1WriteResult::Damaged);
  }
  {
    MemoryFile file(withRecord);
    file.failEveryWrite = true;
    EXPECT_EQ(WriteId3v1(file, kEdit), Id3v1WriteResult::Damaged);
  }
}

}  // namespace
}  // namespace zul::tags
