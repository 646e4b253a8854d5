#pragma once
// ID3v2.3 and ID3v2.4 tags: at the start of the file, or appended at its end
// behind a 2.4 footer ("3DI").
#include "mpeg_input/stream/byte_source.h"
#include "mpeg_input/tags/tag_fields.h"
#include "mpeg_input/tags/tag_text.h"

namespace zul::tags {

// True when the source holds a readable ID3v2.3/2.4 tag (a valid header that
// fits in the file), even if no frame of it is understood. Then, when given,
// `fields` gets every field the tag kind knows (empty when a frame is
// missing; the file path is kept) and `gain` the ReplayGain values of its
// "TXXX" frames. Nothing is changed when there is no tag.
bool ReadId3v2(CByteSource& source, CTagFields* fields, ReplayGainValues* gain);

// Decodes the frames of a tag body (the bytes after the 10-byte header) as
// the header describes it: major version 3 or 4 and the header flag byte.
void ParseId3v2Body(int majorVersion, std::uint8_t headerFlags, Bytes body, CTagFields* fields, ReplayGainValues* gain);

// Undoes unsynchronisation: every 0xFF 0x00 pair becomes 0xFF.
std::vector<std::uint8_t> RemoveUnsynchronisation(Bytes bytes);

}  // namespace zul::tags
