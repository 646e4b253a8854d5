#include "tests/mpeg_input/tags/tag_builder.h"

#include <cstdio>

namespace zul::tags::test {

ByteVector BytesOf(std::string_view s) { return ByteVector(s.begin(), s.end()); }

ByteVector Concat(std::initializer_list<ByteVector> parts) {
  ByteVector out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

ByteVector Utf16Le(std::u16string_view s, bool bom) {
  ByteVector out;
  if (bom) out = {0xFF, 0xFE};
  for (char16_t c : s) {
    out.push_back(static_cast<std::uint8_t>(c & 0xFF));
    out.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  return out;
}

ByteVector Utf16Be(std::u16string_view s, bool bom) {
  ByteVector out;
  if (bom) out = {0xFE, 0xFF};
  for (char16_t c : s) {
    out.push_back(static_cast<std::uint8_t>(c >> 8));
    out.push_back(static_cast<std::uint8_t>(c & 0xFF));
  }
  return out;
}

ByteVector Unsynchronise(const ByteVector& b) {
  ByteVector out;
  for (std::size_t i = 0; i < b.size(); ++i) {
    out.push_back(b[i]);
    if (b[i] == 0xFF && (i + 1 == b.size() || b[i + 1] >= 0xE0 || b[i + 1] == 0x00)) out.push_back(0x00);
  }
  return out;
}

ByteVector Syncsafe(std::uint32_t v) {
  return {static_cast<std::uint8_t>((v >> 21) & 0x7F), static_cast<std::uint8_t>((v >> 14) & 0x7F),
          static_cast<std::uint8_t>((v >> 7) & 0x7F), static_cast<std::uint8_t>(v & 0x7F)};
}

ByteVector BigEndian32(std::uint32_t v) {
  return {static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
          static_cast<std::uint8_t>(v)};
}

ByteVector LittleEndian32(std::uint32_t v) {
  return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
          static_cast<std::uint8_t>(v >> 24)};
}

Id3v2Builder& Id3v2Builder::Frame(std::string id, ByteVector data, std::uint8_t flags2, bool unsync) {
  frames_.push_back(Id3v2Frame{std::move(id), std::move(data), flags2, unsync});
  return *this;
}

Id3v2Builder& Id3v2Builder::Text(std::string id, std::uint8_t encoding, ByteVector text) {
  ByteVector data{encoding};
  data.insert(data.end(), text.begin(), text.end());
  return Frame(std::move(id), std::move(data));
}

ByteVector Id3v2Builder::Body() const {
  ByteVector body = extended_;
  for (const Id3v2Frame& f : frames_) {
    ByteVector data = (major_ == 4 && (f.unsynchronise || unsync_)) ? Unsynchronise(f.data) : f.data;
    body.insert(body.end(), f.id.begin(), f.id.end());
    ByteVector size = major_ == 3 ? BigEndian32(static_cast<std::uint32_t>(data.size()))
                                  : Syncsafe(static_cast<std::uint32_t>(data.size()));
    body.insert(body.end(), size.begin(), size.end());
    body.push_back(0);
    body.push_back(f.flags2);
    body.insert(body.end(), data.begin(), data.end());
  }
  if (major_ == 3 && unsync_) body = Unsynchronise(body);
  body.insert(body.end(), padding_, 0);
  return body;
}

static ByteVector Header(const char* id, int major, std::uint8_t flags, std::uint32_t size) {
  ByteVector h = BytesOf(std::string_view(id, 3));
  h.push_back(static_cast<std::uint8_t>(major));
  h.push_back(0);
  h.push_back(flags);
  ByteVector s = Syncsafe(size);
  h.insert(h.end(), s.begin(), s.end());
  return h;
}

ByteVector Id3v2Builder::Build() const {
  ByteVector body = Body();
  std::uint8_t flags = (unsync_ ? 0x80 : 0) | (extended_.empty() ? 0 : 0x40);
  auto size = claimedSize_ >= 0 ? static_cast<std::uint32_t>(claimedSize_) : static_cast<std::uint32_t>(body.size());
  return Concat({Header("ID3", major_, flags, size), body});
}

ByteVector Id3v2Builder::BuildWithFooter() const {
  ByteVector body = Body();
  std::uint8_t flags = (unsync_ ? 0x80 : 0) | (extended_.empty() ? 0 : 0x40) | 0x10;
  auto size = claimedSize_ >= 0 ? static_cast<std::uint32_t>(claimedSize_) : static_cast<std::uint32_t>(body.size());
  return Concat({Header("ID3", major_, flags, size), body, Header("3DI", major_, flags, size)});
}

ApeBuilder& ApeBuilder::Item(std::string key, std::string_view value, std::uint32_t flags) {
  ByteVector raw = Concat({LittleEndian32(static_cast<std::uint32_t>(value.size())), LittleEndian32(flags),
                           BytesOf(key), ByteVector{0}, BytesOf(value)});
  return RawItem(std::move(raw));
}

ApeBuilder& ApeBuilder::RawItem(ByteVector raw, std::uint32_t countAs) {
  items_.insert(items_.end(), raw.begin(), raw.end());
  count_ += countAs;
  return *this;
}

ByteVector ApeBuilder::Build() const {
  auto size = static_cast<std::uint32_t>(items_.size() + 32);
  if (claimedSize_ >= 0) size = static_cast<std::uint32_t>(claimedSize_);
  std::uint32_t count = claimedCount_ >= 0 ? static_cast<std::uint32_t>(claimedCount_) : count_;
  std::uint32_t flags = header_ ? (1u << 31) : 0;
  auto block = [&](std::uint32_t extra) {
    return Concat({BytesOf("APETAGEX"), LittleEndian32(version_), LittleEndian32(size), LittleEndian32(count),
                   LittleEndian32(flags | extra), ByteVector(8, 0)});
  };
  ByteVector out;
  if (header_) out = block(1u << 29);
  return Concat({out, items_, block(0)});
}

ByteVector BuildId3v1(const Id3v1Record& r) {
  ByteVector out(128, 0);
  auto put = [&](std::size_t offset, std::size_t length, const std::string& s) {
    for (std::size_t i = 0; i < length && i < s.size(); ++i) out[offset + i] = static_cast<std::uint8_t>(s[i]);
  };
  put(0, 3, "TAG");
  put(3, 30, r.title);
  put(33, 30, r.artist);
  put(63, 30, r.album);
  put(93, 4, r.year);
  put(97, r.track >= 0 ? 28 : 30, r.comment);
  if (r.track >= 0) {
    out[125] = 0;
    out[126] = static_cast<std::uint8_t>(r.track);
  }
  out[127] = r.genre;
  return out;
}

ByteVector BuildLyrics3v2(std::string_view text) {
  ByteVector block = Concat({BytesOf("LYRICSBEGIN"), BytesOf(text)});
  char size[8];
  std::snprintf(size, sizeof size, "%06zu", block.size());
  return Concat({block, BytesOf(size), BytesOf("LYRICS200")});
}

ByteVector FakeAudio(std::size_t n) {
  ByteVector out(n);
  for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<std::uint8_t>(0x20 + i % 64);
  return out;
}

}  // namespace zul::tags::test
