#pragma once
// Byte builders for the tag benchmarks: ID3v2.3 frames and tags, APEv2 tags
// and ID3v1 records, as taggers write them.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <utility>
#include <vector>

namespace zul::bench {

using ByteVec = std::vector<std::uint8_t>;

// By resize and copy: GCC 12 warns falsely about insert on short vectors.
inline void Append(ByteVec& out, std::string_view s) {
  const size_t at = out.size();
  out.resize(at + s.size());
  std::copy(s.begin(), s.end(), out.begin() + static_cast<std::ptrdiff_t>(at));
}
inline void Append(ByteVec& out, const ByteVec& b) {
  const size_t at = out.size();
  out.resize(at + b.size());
  std::copy(b.begin(), b.end(), out.begin() + static_cast<std::ptrdiff_t>(at));
}

inline void PutLe32(ByteVec& out, std::uint32_t v) {
  for (int shift : {0, 8, 16, 24}) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

// An ID3v2.3 frame: id, big-endian size, no flags.
inline void Frame(ByteVec& out, const char* id, const ByteVec& data) {
  Append(out, id);
  auto n = static_cast<std::uint32_t>(data.size());
  for (int shift : {24, 16, 8, 0}) out.push_back(static_cast<std::uint8_t>(n >> shift));
  out.push_back(0);
  out.push_back(0);
  Append(out, data);
}

// A text frame's data in ISO-8859-1.
inline ByteVec Text(std::string_view s) {
  ByteVec b{0};
  Append(b, s);
  return b;
}

// A COMM frame's data: Latin-1, language "eng", empty description.
inline ByteVec Comment(std::string_view s) {
  ByteVec c{0};
  Append(c, "eng");
  c.push_back(0);
  Append(c, s);
  return c;
}

// A TXXX frame's data: Latin-1 description and value.
inline ByteVec UserText(std::string_view description, std::string_view value) {
  ByteVec c = Text(description);
  c.push_back(0);
  Append(c, value);
  return c;
}

// An APIC frame's data: Latin-1, MIME type "image/jpeg", front cover,
// empty description, then `bytes` bytes of picture.
inline ByteVec Picture(std::size_t bytes) {
  ByteVec d = Text("image/jpeg");
  d.push_back(0);  // end of the MIME type
  d.push_back(3);  // front cover
  d.push_back(0);  // empty description
  d.resize(d.size() + bytes, 0xD8);
  return d;
}

// The ID3v2.3 header (syncsafe size) in front of `body` (frames and padding).
inline ByteVec Id3v2Tag(const ByteVec& body) {
  ByteVec tag;
  Append(tag, "ID3");
  tag.push_back(3);
  tag.push_back(0);
  tag.push_back(0);
  auto n = static_cast<std::uint32_t>(body.size());
  for (int shift : {21, 14, 7, 0}) tag.push_back(static_cast<std::uint8_t>((n >> shift) & 0x7F));
  Append(tag, body);
  return tag;
}

// An APEv2 tag with header and footer; items are key/UTF-8 value pairs.
inline ByteVec ApeTag(std::initializer_list<std::pair<std::string_view, std::string_view>> items) {
  ByteVec raw;
  for (const auto& [key, value] : items) {
    PutLe32(raw, static_cast<std::uint32_t>(value.size()));
    PutLe32(raw, 0);
    Append(raw, key);
    raw.push_back(0);
    Append(raw, value);
  }
  auto block = [&](std::uint32_t isHeader) {
    ByteVec b;
    Append(b, "APETAGEX");
    PutLe32(b, 2000);
    PutLe32(b, static_cast<std::uint32_t>(raw.size() + 32));
    PutLe32(b, static_cast<std::uint32_t>(items.size()));
    PutLe32(b, (1u << 31) | isHeader);
    b.resize(b.size() + 8, 0);
    return b;
  };
  ByteVec tag = block(1u << 29);
  Append(tag, raw);
  Append(tag, block(0));
  return tag;
}

// An ID3v1.1 record.
inline ByteVec Id3v1Tag(std::string_view title, std::string_view artist, std::string_view album, std::string_view year,
                        std::uint8_t track, std::uint8_t genre) {
  ByteVec tag(128, 0);
  auto put = [&tag](size_t at, std::string_view s, size_t room) {
    std::copy_n(s.begin(), std::min(s.size(), room), tag.begin() + static_cast<std::ptrdiff_t>(at));
  };
  put(0, "TAG", 3);
  put(3, title, 30);
  put(33, artist, 30);
  put(63, album, 30);
  put(93, year, 4);
  tag[126] = track;
  tag[127] = genre;
  return tag;
}

}  // namespace zul::bench
