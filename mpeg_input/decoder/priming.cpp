#include "mpeg_input/decoder/priming.h"

namespace zul {

size_t FirstFrameToFeed(std::span<const CSeekTable::Entry> frames, size_t target, int layer, bool lsf) {
  if (frames.empty()) return 0;
  if (target >= frames.size()) target = frames.size() - 1;
  // The synthesis filter's memory comes from the frame before the target.
  // In Layer III that frame's samples also hold the overlap of the one
  // before it when a frame is a single granule (MPEG-2/2.5), so the data of
  // one or two frames before the target must decode correctly.
  size_t exactFrom = target == 0 ? 0 : target - 1;
  if (layer == 3 && lsf && exactFrom > 0) --exactFrom;
  size_t first = exactFrom;
  if (layer == 3) {
    const int64_t reach = lsf ? 255 : 511;
    // Header, CRC and side information hold no reservoir bytes; counting
    // the largest of them (MPEG-1 stereo with CRC) for every frame errs
    // towards a frame too many, never one too few.
    const int64_t overhead = 4 + 2 + 32;
    int64_t covered = 0;
    while (first > 0 && covered < reach) {
      --first;
      covered += frames[first + 1].offset - frames[first].offset - overhead;
    }
  }
  return first;
}

}  // namespace zul
