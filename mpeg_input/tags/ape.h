#pragma once
// APE tags, versions 1 (1000) and 2 (2000), found by their 32-byte
// "APETAGEX" footer at the end of the file, before an ID3v1 record, or before
// a Lyrics3 v2 block that precedes an ID3v1 record.
#include <optional>

#include "mpeg_input/stream/byte_source.h"
#include "mpeg_input/tags/tag_fields.h"
#include "mpeg_input/tags/tag_text.h"

namespace zul::tags {

inline constexpr std::uint64_t kApeFooterSize = 32;

struct ApeFooter {
  std::uint64_t offset = 0;  // of the footer in the source
  std::uint32_t version = 0;
  std::uint32_t tagSize = 0;  // items and footer, not the optional header
  std::uint32_t itemCount = 0;
  std::uint32_t flags = 0;
};

// The footer of the source's APE tag; nothing when there is none or when its
// sizes do not fit in the source.
std::optional<ApeFooter> LocateApeFooter(CByteSource& source);

// True when the source has an APE tag; then, when given, `fields` gets every
// field the kind knows (the file path is kept) and `gain` its ReplayGain
// items. Nothing is changed when there is no tag.
bool ReadApe(CByteSource& source, CTagFields* fields, ReplayGainValues* gain);

// Decodes the item area (the tagSize - 32 bytes before the footer).
void ParseApeItems(std::uint32_t version, std::uint32_t itemCount, Bytes items, CTagFields* fields,
                   ReplayGainValues* gain);

}  // namespace zul::tags
