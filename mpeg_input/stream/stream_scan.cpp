#include "mpeg_input/stream/stream_scan.h"

#include <algorithm>
#include <cstring>

#include "mpeg_input/stream/mul_div.h"
#include "mpeg_input/stream/stream_bounds.h"

namespace zul {

int64_t FindFirstFrame(CBufferedReader& reader, int64_t from, int64_t end, int64_t positions, CFrameHeader* header) {
  for (int64_t pos = from; pos < from + positions && pos + 4 <= end; ++pos) {
    const uint8_t* p;
    if (!reader.Peek(pos, 4, &p)) return -1;
    if (p[0] != 0xFF) continue;  // cheap reject for the common case
    auto h = ParseFrameHeader(p);
    if (!h) continue;
    int64_t next = pos + h->frameLength;
    if (next + 4 > end || !reader.Peek(next, 4, &p)) continue;
    auto following = ParseFrameHeader(p);
    if (!following || !SameStream(*h, *following)) continue;
    *header = *h;
    return pos;
  }
  return -1;
}

void ComputeLength(CMpegScanResult& out) {
  const int rate = out.sampleRate;
  const int spf = out.samplesPerFrame;
  out.bitrate = out.first.bitrateKbps * 1000;
  out.exactLength = false;
  out.startOffsetMs = 0;
  out.initialSkip = out.decoderDelay;

  const CVbrHeader& v = out.vbrHeader;
  // A count of 0 frames would divide by zero below and can only come from a
  // damaged header; the byte-based length is the better guess then.
  if (out.hasVbrHeader && v.frames > 0) {
    out.frames = v.frames;
    int64_t samples = int64_t{spf} * out.frames;
    // The count includes the header frame, so less than that frame is
    // damage; and it may not reach past the data we found (a trailing tag,
    // a truncated file).
    if (v.bytes >= out.first.frameLength) {
      out.dataSize = std::min(v.bytes, out.dataSize);
      out.dataEnd = out.dataStart + out.dataSize;
    }
    out.bitrate = static_cast<int>(std::clamp<int64_t>(MulDiv64(out.dataSize * 8, rate, samples), 0, INT32_MAX));
    int64_t delay = std::max(v.encoderDelay, 0);
    int64_t padding = std::max(v.padding, 0);
    out.totalSamples = std::max<int64_t>(samples - delay - padding, 0);
    out.lengthMs = MulDiv64(out.totalSamples, 1000, rate);
    if (v.encoderDelay >= 0) {
      // The header frame decodes to one frame of silence before the audio.
      int64_t lead = v.encoderDelay + spf;
      out.initialSkip = lead + out.decoderDelay;
      out.startOffsetMs = MulDiv64(lead, 1000, rate);
    }
    out.exactLength = true;
  } else {
    out.lengthMs = MulDiv64(out.dataSize, 8000, out.bitrate);
    out.totalSamples = MulDiv64(out.lengthMs, rate, 1000);
    out.frames = out.totalSamples / spf;
  }

  out.hasTrackGain = out.hasTrackPeak = out.hasAlbumGain = false;
  if (out.hasVbrHeader && v.lame) {
    out.hasTrackGain = v.hasTrackGain;
    out.trackGainDb = v.trackGainDb;
    // LAME writes 0 when it did not measure the peak.
    out.hasTrackPeak = v.peak > 0.0;
    out.trackPeak = v.peak;
    out.hasAlbumGain = v.hasAlbumGain;
    out.albumGainDb = v.albumGainDb;
  }
}

bool ScanMpegStream(CByteSource& source, CMpegScanResult& out) {
  out = CMpegScanResult{};
  CStreamBounds bounds;
  if (!FindStreamBounds(source, bounds) || bounds.end <= bounds.start) return false;

  CBufferedReader reader(source);
  CFrameHeader h;
  int64_t start = FindFirstFrame(reader, bounds.start, bounds.end, kSyncSearchPositions, &h);
  if (start < 0) return false;

  out.dataStart = start;
  out.dataEnd = bounds.end;
  out.dataSize = bounds.end - start;
  out.first = h;
  out.mpeg25 = h.mpeg25;
  out.lsf = h.lsf;
  out.layer = h.layer;
  out.sampleRate = h.sampleRate;
  out.channelMode = h.channelMode;
  out.channels = h.channels;
  out.samplesPerFrame = h.samplesPerFrame;
  out.decoderDelay = h.decoderDelay;

  uint8_t frame[kVbrHeaderBytes] = {};
  size_t want = std::min<int64_t>({int64_t{kVbrHeaderBytes}, h.frameLength, out.dataSize});
  const uint8_t* p;
  size_t got = reader.PeekSome(start, want, &p);
  if (got) std::memcpy(frame, p, got);
  out.hasVbrHeader = ParseVbrHeader(frame, got, h, out.vbrHeader);
  out.vbr = out.hasVbrHeader && out.vbrHeader.vbr;

  ComputeLength(out);
  return true;
}

}  // namespace zul
