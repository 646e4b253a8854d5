#pragma once
// MPEG-1, MPEG-2 and MPEG-2.5 audio frame headers (Layers I, II and III):
// the 4 header bytes decoded into what the scanner, the seek table and the
// stream synchroniser need. Independent of any decoder library.
#include <cstdint>
#include <optional>

namespace zul {

struct CFrameHeader {
  uint8_t bytes[4] = {};
  bool mpeg25 = false;  // MPEG-2.5 (lsf is then set as well)
  bool lsf = false;     // MPEG-2 or MPEG-2.5: half-size granules
  int layer = 0;        // 1, 2 or 3
  int sampleRate = 0;   // Hz
  int channelMode = 0;  // 0 stereo, 1 joint stereo, 2 dual channel, 3 single channel
  int channels = 0;
  int bitrateKbps = 0;
  bool padding = false;
  int frameLength = 0;  // bytes, header included
  int samplesPerFrame = 0;
  int decoderDelay = 0;  // samples the synthesis lags behind the input

  bool IsMpeg1() const { return !lsf; }
};

// Decodes a header, or nothing when the bytes cannot start a frame we play:
// no sync, reserved version, layer or sample rate, free format (bitrate
// index 0: its length cannot be known from the header) or bitrate index 15.
std::optional<CFrameHeader> ParseFrameHeader(const uint8_t* bytes);

// Two headers belong to the same stream when version, layer, sample rate and
// channel count agree; bitrate and padding may change from frame to frame.
bool SameStream(const CFrameHeader& a, const CFrameHeader& b);

// Longest frame any acceptable header can announce (MPEG-2.5 Layer II at
// 160 kbit/s and 8 kHz, padded).
inline constexpr int kMaxFrameLength = 2881;

}  // namespace zul
