// Feeds arbitrary bytes to the stream scanner as a whole file, and to the VBR
// header parser as a first frame, then walks the seek table of whatever was
// found. Aborts on any result that breaks the scanner's promises.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "mpeg_input/stream/seek_table.h"
#include "mpeg_input/stream/stream_scan.h"
#include "mpeg_input/stream/vbr_header.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void FuzzVbrHeader(const uint8_t* data, size_t size) {
  // The first 4 bytes choose the frame format when they form a header;
  // otherwise a 128 kbit/s MPEG-1 stereo frame is assumed.
  static const uint8_t kDefault[4] = {0xFF, 0xFB, 0x90, 0x44};
  auto h = size >= 4 ? zul::ParseFrameHeader(data) : std::nullopt;
  if (!h) h = zul::ParseFrameHeader(kDefault);
  uint8_t frame[zul::kVbrHeaderBytes] = {};
  size_t n = size < sizeof frame ? size : sizeof frame;
  std::memcpy(frame, data, n);
  // Mutations of the LAME fields would almost never pass its CRC; make it
  // right so that they reach the field parsing.
  for (size_t e = 0; e + 36 <= n; ++e) {
    if (std::memcmp(frame + e, "LAME", 4) != 0) continue;
    uint16_t crc = zul::Crc16Arc(frame, e + 34);
    frame[e + 34] = static_cast<uint8_t>(crc >> 8);
    frame[e + 35] = static_cast<uint8_t>(crc);
    break;
  }
  zul::CVbrHeader v;
  if (zul::ParseVbrHeader(frame, n, *h, v)) {
    Check(v.encoder.size() <= 9);
    Check(v.encoderDelay >= -1 && v.encoderDelay <= 3000);
    Check(v.padding >= -1 && v.padding <= 3000);
    Check(v.frames >= -1 && v.bytes >= -1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzVbrHeader(data, size);

  zul::CMemorySource source({data, size});
  zul::CMpegScanResult r;
  if (!zul::ScanMpegStream(source, r)) return 0;
  const int64_t fileSize = static_cast<int64_t>(size);
  Check(r.dataStart >= 0 && r.dataStart < r.dataEnd && r.dataEnd <= fileSize);
  Check(r.dataSize == r.dataEnd - r.dataStart);
  Check(zul::ParseFrameHeader(data + r.dataStart).has_value());
  Check(r.lengthMs >= 0 && r.totalSamples >= 0 && r.frames >= 0);
  Check(r.initialSkip >= r.decoderDelay && r.startOffsetMs >= 0);
  Check(r.bitrate >= 0);

  zul::CSeekTable table(source, r);
  zul::CSeekTable::Entry e;
  double half = static_cast<double>(r.lengthMs) / 2;
  // Ascending, so that each answer may only move forward.
  const double times[] = {0.0, half < 10.0 ? half : 10.0, half < 10.0 ? 10.0 : half, 1e12};
  double previous = 0.0;
  for (double t : times) {
    Check(table.Find(t, e));
    Check(e.offset >= r.dataStart && e.offset + 4 <= r.dataEnd);
    Check(e.ms <= t && e.ms >= previous);
    previous = e.ms;
  }
  const auto& entries = table.Entries();
  for (size_t i = 1; i < entries.size(); ++i) Check(entries[i].offset > entries[i - 1].offset);
  Check(!table.Find(-1.0, e));
  return 0;
}
