#pragma once
// Where the MPEG audio of a file lies: after a leading ID3v2 tag or inside a
// RIFF "RMP3"/"WAVE" form's "data" chunk, and before the trailing tags.
#include <cstdint>

#include "mpeg_input/stream/byte_source.h"

namespace zul {

struct CStreamBounds {
  int64_t start = 0;
  int64_t end = 0;    // one past the last audio byte
  bool riff = false;  // the container's chunk size decided the end
};

// Fails for a file too short for its own leading tag, a leading tag that
// claims more than the file holds, and a RIFF file without an "RMP3" or
// "WAVE" form holding a "data" chunk.
bool FindStreamBounds(CByteSource& source, CStreamBounds& out);

// Bytes taken by trailing tags of a file of `fileSize` bytes whose audio
// starts at `dataStart`: an ID3v2 footer, an APE tag (alone or followed by
// ID3v1), or an ID3v1 tag; only the first that applies counts. A tag that
// claims more than the audio range holds is taken for damaged and ignored.
int64_t TrailingTagBytes(CByteSource& source, int64_t fileSize, int64_t dataStart);

}  // namespace zul
