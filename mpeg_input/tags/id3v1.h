#pragma once
// ID3v1 and ID3v1.1: the 128-byte "TAG" record at the end of a file.
#include "mpeg_input/stream/byte_source.h"
#include "mpeg_input/tags/tag_fields.h"
#include "mpeg_input/tags/tag_text.h"

namespace zul::tags {

inline constexpr std::uint64_t kId3v1Size = 128;

// True when the source ends with an ID3v1 record; then every field the
// record knows is set and the others (but the file path) are emptied.
// `fields` is left alone when there is no record.
bool ReadId3v1(CByteSource& source, CTagFields& fields);

// The same for the record itself (exactly 128 bytes).
bool ParseId3v1(Bytes record, CTagFields& fields);

}  // namespace zul::tags
