#pragma once
// Builds tags byte by byte for the tests, including the forms that no
// tagging tool at hand writes: unsynchronisation, extended headers, per-frame
// flags, appended ID3v2.4 tags, APE tags and Lyrics3 v2 blocks.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zul::tags::test {

using ByteVector = std::vector<std::uint8_t>;

ByteVector BytesOf(std::string_view s);
ByteVector Concat(std::initializer_list<ByteVector> parts);
ByteVector Utf16Le(std::u16string_view s, bool bom = true);
ByteVector Utf16Be(std::u16string_view s, bool bom = false);

// Inserts 0x00 after every 0xFF that is followed by 0xE0..0xFF or 0x00, and
// after a final 0xFF.
ByteVector Unsynchronise(const ByteVector& b);

struct Id3v2Frame {
  std::string id;
  ByteVector data;
  std::uint8_t flags2 = 0;  // second flag byte, as stored
  // 2.4: the data is unsynchronised before it is stored (bit 1 is not set
  // by this; set it in flags2 when the frame should say so).
  bool unsynchronise = false;
};

class Id3v2Builder {
public:
  explicit Id3v2Builder(int major) : major_(major) {}
  Id3v2Builder& Frame(std::string id, ByteVector data, std::uint8_t flags2 = 0, bool unsync = false);
  // Encoding byte + bytes, for the common text frame.
  Id3v2Builder& Text(std::string id, std::uint8_t encoding, ByteVector text);
  Id3v2Builder& Latin1(std::string id, std::string_view text) { return Text(std::move(id), 0, BytesOf(text)); }
  // 2.3: the whole body is unsynchronised and header flag bit 7 set.
  // 2.4: header flag bit 7 set and every frame unsynchronised.
  Id3v2Builder& UnsyncTag() {
    unsync_ = true;
    return *this;
  }
  Id3v2Builder& ExtendedHeader(ByteVector raw) {
    extended_ = std::move(raw);
    return *this;
  }
  Id3v2Builder& Padding(std::size_t n) {
    padding_ = n;
    return *this;
  }
  // Overrides the size in the header (to lie about it).
  Id3v2Builder& ClaimSize(std::uint32_t size) {
    claimedSize_ = size;
    return *this;
  }
  // Header, body (with padding).
  ByteVector Build() const;
  // Header, body, then the "3DI" footer: a tag to append at a file's end.
  ByteVector BuildWithFooter() const;

private:
  ByteVector Body() const;
  int major_;
  std::vector<Id3v2Frame> frames_;
  bool unsync_ = false;
  ByteVector extended_;
  std::size_t padding_ = 0;
  std::int64_t claimedSize_ = -1;
};

ByteVector Syncsafe(std::uint32_t v);
ByteVector BigEndian32(std::uint32_t v);
ByteVector LittleEndian32(std::uint32_t v);

struct ApeItem {
  std::string key;
  ByteVector value;
  std::uint32_t flags = 0;
};

class ApeBuilder {
public:
  explicit ApeBuilder(std::uint32_t version) : version_(version) {}
  ApeBuilder& Item(std::string key, std::string_view value, std::uint32_t flags = 0);
  ApeBuilder& RawItem(ByteVector raw, std::uint32_t countAs = 1);
  ApeBuilder& WithHeader() {
    header_ = true;
    return *this;
  }
  ApeBuilder& ClaimSize(std::uint32_t size) {
    claimedSize_ = size;
    return *this;
  }
  ApeBuilder& ClaimCount(std::uint32_t count) {
    claimedCount_ = count;
    return *this;
  }
  ByteVector Build() const;

private:
  std::uint32_t version_;
  ByteVector items_;
  std::uint32_t count_ = 0;
  bool header_ = false;
  std::int64_t claimedSize_ = -1;
  std::int64_t claimedCount_ = -1;
};

struct Id3v1Record {
  std::string title, artist, album, year, comment;
  int track = -1;  // -1: ID3v1.0 (comment keeps all 30 bytes)
  std::uint8_t genre = 255;
};
ByteVector BuildId3v1(const Id3v1Record& r);

// "LYRICSBEGIN" + text, its six-digit size and "LYRICS200".
ByteVector BuildLyrics3v2(std::string_view text);

// A stand-in for audio between the tags: bytes that no tag reader takes for
// a tag.
ByteVector FakeAudio(std::size_t n = 400);

}  // namespace zul::tags::test
