#include "mpeg_input/stream/stream_bounds.h"

#include <algorithm>
#include <cstring>

namespace zul {
namespace {

uint32_t Le32(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

// Syncsafe integers keep bit 7 of each byte clear; a tag that sets it anyway
// is read as if it did not, as tag readers commonly do.
int64_t Syncsafe(const uint8_t* p) {
  return (int64_t{p[0] & 0x7F} << 21) | (int64_t{p[1] & 0x7F} << 14) | (int64_t{p[2] & 0x7F} << 7) | (p[3] & 0x7F);
}

bool ReadExact(CByteSource& source, int64_t offset, void* dst, size_t count) {
  return offset >= 0 && source.ReadAt(offset, dst, count) == count;
}

// Walks the chunks of a RIFF form whose type is "RMP3" or "WAVE" to its
// "data" chunk. The chunk's size decides the audio range, but never past the
// end of the file: a truncated download keeps what it has.
bool FindRiffData(CByteSource& source, int64_t fileSize, CStreamBounds& out) {
  uint8_t head[12];
  if (!ReadExact(source, 0, head, sizeof head)) return false;
  if (std::memcmp(head + 8, "RMP3", 4) != 0 && std::memcmp(head + 8, "WAVE", 4) != 0) return false;
  int64_t formEnd = std::min<int64_t>(fileSize, 8 + int64_t{Le32(head + 4)});
  int64_t pos = 12;
  while (pos + 8 <= formEnd) {
    uint8_t chunk[8];
    if (!ReadExact(source, pos, chunk, sizeof chunk)) return false;
    int64_t size = Le32(chunk + 4);
    if (std::memcmp(chunk, "data", 4) == 0) {
      out.start = pos + 8;
      out.end = std::min(out.start + size, fileSize);
      out.riff = true;
      return true;
    }
    pos += 8 + size + (size & 1);  // chunks are padded to even sizes
  }
  return false;
}

}  // namespace

bool FindStreamBounds(CByteSource& source, CStreamBounds& out) {
  out = CStreamBounds{};
  int64_t fileSize = source.Size();
  uint8_t head[10] = {};
  if (fileSize < 4 || !ReadExact(source, 0, head, 4)) return false;

  if (std::memcmp(head, "ID3", 3) == 0) {
    if (fileSize < 10 || !ReadExact(source, 0, head, 10)) return false;
    out.start = 10 + Syncsafe(head + 6) + ((head[5] & 0x10) ? 10 : 0);
  } else if (std::memcmp(head, "RIFF", 4) == 0) {
    return FindRiffData(source, fileSize, out);
  }
  if (out.start >= fileSize) return false;
  out.end = fileSize - TrailingTagBytes(source, fileSize, out.start);
  return true;
}

int64_t TrailingTagBytes(CByteSource& source, int64_t fileSize, int64_t dataStart) {
  int64_t room = fileSize - dataStart;
  auto fits = [room](int64_t bytes) { return bytes > 0 && bytes <= room; };
  uint8_t b[32];

  if (room >= 10 && ReadExact(source, fileSize - 10, b, 10) && std::memcmp(b, "3DI", 3) == 0 && b[3] >= 4) {
    int64_t bytes = Syncsafe(b + 6) + 20;
    if (fits(bytes)) return bytes;
  }
  for (int64_t behind : {0, 128}) {
    if (room < 32 + behind || !ReadExact(source, fileSize - 32 - behind, b, 32)) continue;
    if (std::memcmp(b, "APETAGEX", 8) != 0) continue;
    // The size counts the items and this footer; bit 31 of the flags says
    // a header of another 32 bytes precedes them.
    int64_t tagSize = Le32(b + 12);
    int64_t bytes = tagSize + ((Le32(b + 20) & 0x80000000u) ? 32 : 0) + behind;
    if (tagSize >= 32 && fits(bytes)) return bytes;
  }
  if (room >= 128 && ReadExact(source, fileSize - 128, b, 3) && std::memcmp(b, "TAG", 3) == 0) return 128;
  return 0;
}

}  // namespace zul
