#include "mpeg_input/tags/id3v1_writer.h"

#include <algorithm>
#include <cwctype>
#include <vector>

#include "mpeg_input/tags/id3v2.h"
#include "mpeg_input/tags/tag_platform.h"

namespace zul::tags {
namespace {

// The library this format comes from converts at most 259 bytes of a text.
constexpr std::size_t kAnsiLimit = 259;
constexpr std::uint8_t kNoGenre = 255;
constexpr int kOtherGenre = 12;

void PutField(Id3v1Record& record, std::size_t offset, std::size_t length, std::wstring_view text) {
  std::string ansi = AnsiFromWide(text);
  if (ansi.size() > kAnsiLimit) ansi.resize(kAnsiLimit);
  for (std::size_t i = 0; i < length; ++i) {
    std::uint8_t c = i < ansi.size() ? static_cast<std::uint8_t>(ansi[i]) : 0x20;
    // A zero would end the field for every reader; a line feed would break
    // the one-line fields apart.
    if (c == '\n' || c == 0) c = 0x20;
    record[offset + i] = c;
  }
}

bool Blank(const Id3v1Record& record) {
  return std::all_of(record.begin() + 3, record.begin() + 127, [](std::uint8_t b) { return b == 0x20; });
}

bool SameAt(CByteSource& file, std::uint64_t offset, const Id3v1Record& expected) {
  Id3v1Record back{};
  return file.ReadExact(offset, back) && back == expected;
}

}  // namespace

std::optional<Id3v1Record> RenderId3v1(const Id3v1Texts& texts, int track, int genre) {
  Id3v1Record record{};
  record[0] = 'T';
  record[1] = 'A';
  record[2] = 'G';
  PutField(record, 3, 30, texts.title);
  PutField(record, 33, 30, texts.artist);
  PutField(record, 63, 30, texts.album);
  PutField(record, 93, 4, texts.year);
  PutField(record, 97, 30, texts.comment);
  if (track >= 1 && track <= 255) {
    record[125] = 0;
    record[126] = static_cast<std::uint8_t>(track);
  }
  record[127] = static_cast<std::uint8_t>(genre >= 0 && genre <= 255 ? genre : kNoGenre);
  if (record[127] == kNoGenre && Blank(record)) return std::nullopt;
  return record;
}

int Id3v1GenreByte(std::wstring_view genre) {
  if (!genre.empty() && genre.size() <= 3 &&
      std::all_of(genre.begin(), genre.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; })) {
    int n = 0;
    for (wchar_t c : genre) n = n * 10 + (c - L'0');
    if (n < 256) return n;
  }
  for (int i = 0; i < kId3v1GenreCount; ++i) {
    std::string_view name = Id3v1Genre(i);
    if (name.size() == genre.size() && std::equal(name.begin(), name.end(), genre.begin(), [](char a, wchar_t b) {
          return std::towlower(static_cast<unsigned char>(a)) == std::towlower(b);
        }))
      return i;
  }
  return kOtherGenre;
}

int Id3v1TrackByte(std::wstring_view track) {
  int n = 0;
  std::size_t i = 0;
  while (i < track.size() && track[i] == L' ') ++i;
  std::size_t digits = 0;
  for (; i < track.size() && track[i] >= L'0' && track[i] <= L'9' && digits < 4; ++i, ++digits)
    n = n * 10 + (track[i] - L'0');
  return digits > 0 && n >= 1 && n <= 255 ? n : 0;
}

Id3v1WriteResult WriteId3v1(CWritableFile& file, const Id3v1Texts& texts) {
  const std::uint64_t size = file.Size();
  if (size == 0) return Id3v1WriteResult::EmptyFile;

  Id3v1Record old{};
  const bool hasOld =
      size >= kId3v1Size && file.ReadExact(size - kId3v1Size, old) && old[0] == 'T' && old[1] == 'A' && old[2] == 'G';
  int track = hasOld && old[125] == 0 && old[126] != 0 ? old[126] : 0;
  int genre = hasOld ? old[127] : kNoGenre;

  CTagFields v2;
  if (ReadId3v2(file, &v2, nullptr)) {
    if (int t = Id3v1TrackByte(v2[TagField::Track])) track = t;
    if (!v2[TagField::Genre].empty()) genre = Id3v1GenreByte(v2[TagField::Genre]);
  }

  std::optional<Id3v1Record> record = RenderId3v1(texts, track, genre);
  if (!record) return Id3v1WriteResult::NothingToSave;

  const std::uint64_t at = hasOld ? size - kId3v1Size : size;
  if (file.WriteAt(at, record->data(), record->size()) && file.Flush() && SameAt(file, at, *record))
    return hasOld ? Id3v1WriteResult::Replaced : Id3v1WriteResult::Appended;

  bool restored = hasOld ? file.WriteAt(at, old.data(), old.size()) && file.Flush() && SameAt(file, at, old)
                         : file.Truncate(size) && file.Flush() && file.Size() == size;
  return restored ? Id3v1WriteResult::Failed : Id3v1WriteResult::Damaged;
}

}  // namespace zul::tags
