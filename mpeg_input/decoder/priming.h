#pragma once
// Where to start feeding the decoder so that a frame in the middle of a file
// decodes exactly as it does when the file is played from the start.
//
// A Layer III frame may take up to 511 bytes (255 for MPEG-2/2.5) of its
// data from the frames before it (the bit reservoir), and its first samples
// overlap the previous frame's last ones. Decoding from the frame itself
// gives a frame of silence or noise. Starting earlier and discarding the
// output of the earlier frames gives the exact samples: the frame before the
// target must decode correctly, so its own reservoir must be there as well.
// Layers I and II need one frame for the synthesis filter's memory.
#include <cstddef>
#include <cstdint>
#include <span>

#include "mpeg_input/stream/seek_table.h"

namespace zul {

// `frames` holds the frame starts from the first frame on (a seek table's
// entries); returns the index of the frame to feed first for frame `target`.
size_t FirstFrameToFeed(std::span<const CSeekTable::Entry> frames, size_t target, int layer, bool lsf);

}  // namespace zul
