#pragma once
// Writes the edited title, artist, album, year and comment into a file's
// ID3v1.1 record, and nothing else: the record's 128 bytes at the end are
// replaced in place, or a file without one gets 128 bytes appended. Every
// byte before them (audio, ID3v2, APE, Lyrics3) stays as it was.
//
// The track byte and genre are kept: they come from the file's ID3v2 tag
// when it names them ("TRCK", "TCON"), else from the old record.
//
// Threads: any; one writer per file.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "mpeg_input/stream/byte_source.h"
#include "mpeg_input/tags/id3v1.h"

namespace zul::tags {

struct Id3v1Texts {
  std::wstring title, artist, album, year, comment;
};

using Id3v1Record = std::array<std::uint8_t, kId3v1Size>;

// The record for these texts, track (1..255, 0 for none) and genre byte.
// Texts go through the ANSI code page (characters it lacks become '?'), are
// cut to their field, a line feed becomes a blank and the field is filled
// with blanks. No record (nullopt) when every text field would be blank and
// the genre is 255: such a record says nothing and is not written.
std::optional<Id3v1Record> RenderId3v1(const Id3v1Texts& texts, int track, int genre);

// The ID3v1 genre byte for a tag's genre text: a decimal number below 256
// or one of the list's names (any case); 12 ("Other") for any other text.
int Id3v1GenreByte(std::wstring_view genre);
// The track of a "TRCK" text such as "7/12": 1..255, or 0 when none.
int Id3v1TrackByte(std::wstring_view track);

// The file as the writer needs it: the reads of a byte source plus writing
// at an offset, cutting back to a size and flushing to the medium.
class CWritableFile : public CByteSource {
public:
  virtual bool WriteAt(std::uint64_t offset, const void* src, std::size_t count) = 0;
  virtual bool Truncate(std::uint64_t size) = 0;
  virtual bool Flush() = 0;
};

enum class Id3v1WriteResult {
  Replaced,       // the old record's bytes were rewritten
  Appended,       // 128 bytes were added at the end
  NothingToSave,  // the record would be empty: the file is unchanged
  EmptyFile,      // a file of 0 bytes holds nothing to tag: unchanged
  Failed,         // a write failed; the file's old bytes were put back
  Damaged,        // a write failed and so did putting the old bytes back
};

// Reads the file's tags, renders the record and writes it. The written bytes
// are read back; on any failure the old record is written again or the
// appended bytes are cut off, so a failed save leaves the file as it was.
Id3v1WriteResult WriteId3v1(CWritableFile& file, const Id3v1Texts& texts);

}  // namespace zul::tags
