#pragma once
// The VBR header some encoders put into the first frame: "Xing" (VBR) or
// "Info" (CBR) with LAME's extension, or Fraunhofer's "VBRI".
#include <cstddef>
#include <cstdint>
#include <string>

#include "mpeg_input/stream/frame_header.h"

namespace zul {

struct CVbrHeader {
  enum Flags : uint32_t { kFrames = 1, kBytes = 2, kToc = 4, kQuality = 8 };

  bool vbr = false;  // "Xing" and "VBRI"; "Info" marks a CBR file
  bool mpeg1 = false;
  int sampleRate = 0;
  uint32_t xingFlags = 0;
  int64_t frames = -1;    // -1: absent
  int64_t bytes = -1;     // -1: absent
  uint8_t toc[100] = {};  // kept for the information window; seeking does not trust it
  int quality = -1;
  int frameLength = 0;  // of the frame that carries the header

  bool lame = false;    // the extension passed its CRC and names LAME
  std::string encoder;  // up to 9 characters, trailing blanks removed
  double peak = 0.0;    // 0 when the encoder did not measure it
  bool hasTrackGain = false;
  double trackGainDb = 0.0;
  bool hasAlbumGain = false;
  double albumGainDb = 0.0;
  int encoderDelay = -1;  // samples; -1: absent
  int padding = -1;       // samples; -1: absent
};

// Bytes of the first frame the header can occupy.
inline constexpr size_t kVbrHeaderBytes = 192;

// Reads the VBR header of the frame `h` whose first bytes are `frame`
// (`available` of them, at most the frame's length). Returns false when the
// frame carries none.
bool ParseVbrHeader(const uint8_t* frame, size_t available, const CFrameHeader& h, CVbrHeader& out);

// CRC-16/ARC (polynomial 0x8005 reflected, initial value 0), as LAME stores it.
uint16_t Crc16Arc(const uint8_t* data, size_t count);

}  // namespace zul
