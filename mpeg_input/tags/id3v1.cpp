#include "mpeg_input/tags/id3v1.h"

#include <array>
#include <string>

namespace zul::tags {
namespace {

std::wstring Field(Bytes record, std::size_t offset, std::size_t length) {
  std::wstring text = DecodeAnsi(record.subspan(offset, length));
  TrimTrailingBlanks(text);
  return text;
}

}  // namespace

bool ParseId3v1(Bytes record, CTagFields& fields) {
  if (record.size() != kId3v1Size || record[0] != 'T' || record[1] != 'A' || record[2] != 'G') return false;
  fields.ClearTagValues();
  fields[TagField::Title] = Field(record, 3, 30);
  fields[TagField::Artist] = Field(record, 33, 30);
  fields[TagField::Album] = Field(record, 63, 30);
  fields[TagField::Year] = Field(record, 93, 4);
  // ID3v1.1: a zero at byte 125 followed by a non-zero byte shortens the
  // comment to 28 bytes and makes byte 126 the track number.
  bool hasTrack = record[125] == 0 && record[126] != 0;
  fields[TagField::Comment] = Field(record, 97, hasTrack ? 28 : 30);
  if (hasTrack) fields[TagField::Track] = std::to_wstring(record[126]);
  std::string_view genre = Id3v1Genre(record[127]);
  fields[TagField::Genre] = std::wstring(genre.begin(), genre.end());
  return true;
}

bool ReadId3v1(CByteSource& source, CTagFields& fields) {
  if (source.Size() < kId3v1Size) return false;
  std::array<std::uint8_t, kId3v1Size> record;
  if (!source.ReadExact(source.Size() - kId3v1Size, record)) return false;
  return ParseId3v1(record, fields);
}

}  // namespace zul::tags
