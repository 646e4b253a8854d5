#pragma once
// The record of descriptive fields that every tag reader fills, the
// ReplayGain values a tag may carry, and the ID3v1 genre list.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zul::tags {

enum class TagField : std::size_t {
  FilePath,
  Title,
  Artist,
  Album,
  Year,
  Comment,
  Genre,
  Track,
  AlbumArtist,
  Composer,
  OriginalArtist,
  Copyright,
  Url,
  Encoder,
  PartOfSet,
  Count
};
inline constexpr std::size_t kTagFieldCount = static_cast<std::size_t>(TagField::Count);

// Each value holds at most kTagValueUnits UTF-16 units (a 512-character
// buffer with its terminator).
struct CTagFields {
  std::array<std::wstring, kTagFieldCount> values;

  std::wstring& operator[](TagField f) { return values[static_cast<std::size_t>(f)]; }
  const std::wstring& operator[](TagField f) const { return values[static_cast<std::size_t>(f)]; }
  void Clear() {
    for (auto& v : values) v.clear();
  }
  // Empties every field a tag kind sets, keeping the file path.
  void ClearTagValues() {
    for (std::size_t i = 1; i < kTagFieldCount; ++i) values[i].clear();
  }
};

// ReplayGain values as read from tag text: gains in dB, peaks as linear
// amplitude. An absent value is one the tag does not carry or whose text is
// not a finite number.
struct ReplayGainValues {
  std::optional<double> trackGain;
  std::optional<double> trackPeak;
  std::optional<double> albumGain;
  std::optional<double> albumPeak;

  bool Any() const { return trackGain || trackPeak || albumGain || albumPeak; }
};

enum class TagKind { None, Id3v1, Id3v2, Ape };

// The ID3v1 genre list with the Winamp extensions (0..147); an empty view
// for any other index.
std::string_view Id3v1Genre(int index);
inline constexpr int kId3v1GenreCount = 148;

}  // namespace zul::tags
