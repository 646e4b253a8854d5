#include "mpeg_input/tags/tag_reader.h"

#include "mpeg_input/tags/ape.h"
#include "mpeg_input/tags/id3v1.h"
#include "mpeg_input/tags/id3v2.h"

namespace zul::tags {

std::array<TagKind, 3> TagOrder(int tagPriority) {
  using enum TagKind;
  switch (tagPriority) {
    case 1:
      return {Id3v2, Id3v1, Ape};
    case 2:
      return {Ape, Id3v2, Id3v1};
    case 3:
      return {Ape, Id3v1, Id3v2};
    case 4:
      return {Id3v1, Id3v2, Ape};
    case 5:
      return {Id3v1, Ape, Id3v2};
    default:
      return {Id3v2, Ape, Id3v1};
  }
}

TagKind ReadTagFields(CByteSource& source, int tagPriority, CTagFields& fields) {
  for (TagKind kind : TagOrder(tagPriority)) {
    bool found = false;
    switch (kind) {
      case TagKind::Id3v2:
        found = ReadId3v2(source, &fields, nullptr);
        break;
      case TagKind::Ape:
        found = ReadApe(source, &fields, nullptr);
        break;
      case TagKind::Id3v1:
        found = ReadId3v1(source, fields);
        break;
      case TagKind::None:
        break;
    }
    if (found) return kind;
  }
  return TagKind::None;
}

ReplayGainValues ReadTagReplayGain(CByteSource& source, int sources, int tagPriority) {
  bool apeFirst = tagPriority == 2 || tagPriority == 3 || tagPriority == 5;
  const TagKind order[2] = {apeFirst ? TagKind::Ape : TagKind::Id3v2, apeFirst ? TagKind::Id3v2 : TagKind::Ape};
  for (TagKind kind : order) {
    ReplayGainValues values;
    if (kind == TagKind::Id3v2 && (sources & kReplayGainFromId3v2)) ReadId3v2(source, nullptr, &values);
    if (kind == TagKind::Ape && (sources & kReplayGainFromApe)) ReadApe(source, nullptr, &values);
    if (values.Any()) return values;
  }
  return {};
}

}  // namespace zul::tags
