#include "mpeg_input/stream/seek_table.h"

#include <algorithm>
#include <cmath>

namespace zul {

CSeekTable::CSeekTable(CByteSource& source, const CMpegScanResult& scan)
    : reader_(source),
      first_(scan.first),
      dataEnd_(scan.dataEnd),
      frameMs_(scan.sampleRate > 0 ? scan.samplesPerFrame * 1000.0 / scan.sampleRate : 0.0) {
  int64_t n = scan.hasVbrHeader && scan.vbrHeader.frames > 0 ? scan.vbrHeader.frames
                                                             : scan.dataSize / (scan.first.frameLength + 4);
  // A damaged VBR header can claim billions of frames; no file holds more
  // than one per 24 bytes (the shortest frame).
  n = std::clamp<int64_t>(n, 0, scan.dataSize / 24 + 1);
  entries_.reserve(static_cast<size_t>(n + n / 32 + 1));
  entries_.push_back({scan.dataStart, 0.0});
  lastLength_ = scan.first.frameLength;
  complete_ = frameMs_ <= 0.0 || lastLength_ <= 0;
}

void CSeekTable::ExtendTo(double ms) {
  while (!complete_ && entries_.back().ms < ms) {
    int64_t next = entries_.back().offset + lastLength_;
    const uint8_t* p;
    std::optional<CFrameHeader> h;
    if (next + 4 <= dataEnd_ && reader_.Peek(next, 4, &p)) {
      // Headers lie a frame apart, each on a cache line of its own: in a
      // file held in memory, fetching a few frames ahead hides the misses.
      __builtin_prefetch(reinterpret_cast<const void*>(reinterpret_cast<uintptr_t>(p) + 8 * lastLength_));
      h = ParseFrameHeader(p);
    }
    // Only real frame starts become entries. A damaged header ends what can
    // be reached by walking: seeking beyond lands on the frame before it and
    // the decoder resynchronises from there.
    if (!h || !SameStream(*h, first_)) {
      complete_ = true;
      break;
    }
    lastLength_ = h->frameLength;
    // Index times instead of sums keep the last entry of an hour-long file
    // exact to the sample.
    entries_.push_back({next, static_cast<double>(entries_.size()) * frameMs_});
  }
}

bool CSeekTable::Find(double ms, Entry& out) {
  if (!(ms >= 0.0) || !std::isfinite(ms)) return false;
  ExtendTo(ms);
  if (ms >= entries_.back().ms) {
    out = entries_.back();
    return true;
  }
  auto it = std::upper_bound(entries_.begin(), entries_.end(), ms, [](double t, const Entry& e) { return t < e.ms; });
  out = *(it - 1);
  return true;
}

}  // namespace zul
