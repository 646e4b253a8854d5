#pragma once
// Choosing among the tag kinds of a file by the user's `TagPriority`, and
// reading the ReplayGain values that tags carry.
#include <array>

#include "mpeg_input/stream/byte_source.h"
#include "mpeg_input/tags/tag_fields.h"

namespace zul::tags {

// `TagPriority` 0..5; any other value reads like 0.
//   0 ID3v2 > APE > ID3v1     3 APE > ID3v1 > ID3v2
//   1 ID3v2 > ID3v1 > APE     4 ID3v1 > ID3v2 > APE
//   2 APE > ID3v2 > ID3v1     5 ID3v1 > APE > ID3v2
std::array<TagKind, 3> TagOrder(int tagPriority);

// The first kind in priority order that the file has supplies the whole
// record; the others are not consulted, so fields are never mixed across
// kinds. Returns that kind, or None (fields untouched) when the file has no
// tag. The file path field is left as it is.
TagKind ReadTagFields(CByteSource& source, int tagPriority, CTagFields& fields);

// `ReplayGain_Tag` bits that concern tags; 4 (the LAME header) is not read
// here.
inline constexpr int kReplayGainFromId3v2 = 1;
inline constexpr int kReplayGainFromApe = 2;

// The ReplayGain values of the first source (in the bit set `sources`) that
// yields at least one. APE is tried first when the priority reads APE before
// ID3v2 for text fields (2, 3 and 5), ID3v2 first otherwise. Values of one
// source are never mixed with another's.
ReplayGainValues ReadTagReplayGain(CByteSource& source, int sources, int tagPriority);

}  // namespace zul::tags
