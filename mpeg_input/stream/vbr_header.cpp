#include "mpeg_input/stream/vbr_header.h"

#include <cstring>

namespace zul {
namespace {

uint32_t Be32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

uint16_t Be16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

// A ReplayGain word of the LAME tag: name code in bits 13..15, originator in
// 10..12 (0: not set), sign in bit 9, tenths of a dB in bits 0..8.
bool ReadGain(uint16_t word, int expectedName, double* db) {
  int name = word >> 13;
  int originator = (word >> 10) & 7;
  if (name != expectedName || originator == 0) return false;
  double value = (word & 0x1FF) / 10.0;
  *db = (word & 0x200) ? -value : value;
  return true;
}

// Offset 34 of the extension holds the CRC of every frame byte before it.
// That is the first 190 bytes in an MPEG-1 stereo frame, fewer where the side
// information is shorter (mono, MPEG-2): a fixed 190 would reject the tags of
// all those files. A frame that fails it may carry random audio data there.
constexpr size_t kLameCrcOffset = 34;

void ReadLameExtension(const uint8_t* frame, size_t available, size_t ext, CVbrHeader& out) {
  if (ext + kLameCrcOffset + 2 > available) return;
  if (Crc16Arc(frame, ext + kLameCrcOffset) != Be16(frame + ext + kLameCrcOffset)) return;
  const uint8_t* e = frame + ext;
  if (std::memcmp(e, "LAME", 4) != 0) return;

  out.lame = true;
  out.encoder.assign(reinterpret_cast<const char*>(e), 9);
  out.encoder.resize(std::strlen(out.encoder.c_str()));
  while (!out.encoder.empty() && out.encoder.back() == ' ') out.encoder.pop_back();

  out.peak = Be32(e + 11) / 8388608.0;  // 2^23
  out.hasTrackGain = ReadGain(Be16(e + 15), 1, &out.trackGainDb);
  out.hasAlbumGain = ReadGain(Be16(e + 17), 2, &out.albumGainDb);

  int delay = (e[21] << 4) | (e[22] >> 4);
  int padding = ((e[22] & 0x0F) << 8) | e[23];
  // Real encoders stay far below; larger values come from damaged tags.
  out.encoderDelay = delay <= 3000 ? delay : -1;
  out.padding = padding <= 3000 ? padding : -1;
}

bool ParseXing(const uint8_t* frame, size_t available, size_t at, CVbrHeader& out) {
  size_t p = at + 8;
  if (p > available) return false;
  uint32_t flags = Be32(frame + at + 4);
  // Every flagged field must lie inside the frame, or the header is damaged.
  size_t need = p + ((flags & CVbrHeader::kFrames) ? 4 : 0) + ((flags & CVbrHeader::kBytes) ? 4 : 0) +
                ((flags & CVbrHeader::kToc) ? 100 : 0) + ((flags & CVbrHeader::kQuality) ? 4 : 0);
  if (need > available) return false;

  out.xingFlags = flags;
  if (flags & CVbrHeader::kFrames) {
    out.frames = Be32(frame + p);
    p += 4;
  }
  if (flags & CVbrHeader::kBytes) {
    out.bytes = Be32(frame + p);
    p += 4;
  }
  if (flags & CVbrHeader::kToc) {
    std::memcpy(out.toc, frame + p, 100);
    p += 100;
  }
  if (flags & CVbrHeader::kQuality) {
    out.quality = static_cast<int>(Be32(frame + p) & 0x7FFFFFFF);
    p += 4;
  }
  ReadLameExtension(frame, available, p, out);
  return true;
}

}  // namespace

uint16_t Crc16Arc(const uint8_t* data, size_t count) {
  uint16_t crc = 0;
  for (size_t i = 0; i < count; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
  }
  return crc;
}

bool ParseVbrHeader(const uint8_t* frame, size_t available, const CFrameHeader& h, CVbrHeader& out) {
  out = CVbrHeader{};
  out.mpeg1 = h.IsMpeg1();
  out.sampleRate = h.sampleRate;
  out.frameLength = h.frameLength;
  if (available > static_cast<size_t>(h.frameLength)) available = h.frameLength;
  if (available > kVbrHeaderBytes) available = kVbrHeaderBytes;

  // The header follows the side information, whose size depends on the
  // version and on mono/stereo.
  bool mono = h.channelMode == 3;
  size_t at = h.IsMpeg1() ? (mono ? 21 : 36) : (mono ? 13 : 21);
  if (at + 4 <= available) {
    if (std::memcmp(frame + at, "Xing", 4) == 0) {
      out.vbr = true;
      if (ParseXing(frame, available, at, out)) return true;
      out = CVbrHeader{};
      return false;
    }
    if (std::memcmp(frame + at, "Info", 4) == 0) {
      out.vbr = false;
      if (ParseXing(frame, available, at, out)) return true;
      out = CVbrHeader{};
      return false;
    }
  }
  if (54 <= available && std::memcmp(frame + 36, "VBRI", 4) == 0) {
    out.vbr = true;
    out.bytes = Be32(frame + 46);
    out.frames = Be32(frame + 50);
    return true;
  }
  return false;
}

}  // namespace zul
