#include "mpeg_input/stream/frame_header.h"

#include <cstring>

namespace zul {
namespace {

// kbit/s by [MPEG-1 ? 0 : 1][layer - 1][index]; index 0 (free format) and 15
// are refused before the lookup.
constexpr int kBitrates[2][3][15] = {
    {
        {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
        {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},
    },
    {
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
    },
};

constexpr int kMpeg1Rates[3] = {44100, 48000, 32000};

}  // namespace

std::optional<CFrameHeader> ParseFrameHeader(const uint8_t* b) {
  if (b[0] != 0xFF || (b[1] & 0xE0) != 0xE0) return std::nullopt;
  int versionBits = (b[1] >> 3) & 3;
  int layerBits = (b[1] >> 1) & 3;
  int bitrateIndex = b[2] >> 4;
  int rateIndex = (b[2] >> 2) & 3;
  // Version 01 is reserved; a decoder refuses it, so it must not pass here.
  if (versionBits == 1 || layerBits == 0 || rateIndex == 3 || bitrateIndex == 0 || bitrateIndex == 15) {
    return std::nullopt;
  }

  CFrameHeader h;
  std::memcpy(h.bytes, b, 4);
  h.mpeg25 = versionBits == 0;
  h.lsf = versionBits != 3;
  h.layer = 4 - layerBits;
  h.sampleRate = kMpeg1Rates[rateIndex] >> (h.mpeg25 ? 2 : h.lsf ? 1 : 0);
  h.channelMode = b[3] >> 6;
  h.channels = h.channelMode == 3 ? 1 : 2;
  h.bitrateKbps = kBitrates[h.lsf ? 1 : 0][h.layer - 1][bitrateIndex];
  h.padding = (b[2] >> 1) & 1;
  int pad = h.padding ? 1 : 0;
  switch (h.layer) {
    case 1:
      h.frameLength = (12000 * h.bitrateKbps / h.sampleRate + pad) * 4;
      h.samplesPerFrame = 384;
      h.decoderDelay = 0;
      break;
    case 2:
      h.frameLength = 144000 * h.bitrateKbps / h.sampleRate + pad;
      h.samplesPerFrame = 1152;
      h.decoderDelay = 481;
      break;
    default:
      h.frameLength = 144000 * h.bitrateKbps / (h.sampleRate << (h.lsf ? 1 : 0)) + pad;
      h.samplesPerFrame = h.lsf ? 576 : 1152;
      h.decoderDelay = 529;
      break;
  }
  return h;
}

bool SameStream(const CFrameHeader& a, const CFrameHeader& b) {
  return a.mpeg25 == b.mpeg25 && a.lsf == b.lsf && a.layer == b.layer && a.sampleRate == b.sampleRate &&
         a.channels == b.channels;
}

}  // namespace zul
