#pragma once
// The `FormatEx` title template, default "[%artist% - ]%title%":
//   %name%          a field: title artist album year comment genre composer
//                   origartist copyright encoder, track (at least two digits,
//                   zero-padded), filename, filepath (drive and folder, with
//                   its closing separator), fileext (without the dot);
//                   unknown names insert nothing
//   [ ... ]         an optional block, dropped when no field inside it
//                   inserted text; nests up to 8 deep, a deeper "[" or an
//                   unmatched "]" ends the formatting
//   %% %[ %]        a literal "%", "[" or "]"
// Everything else is copied. A "%" with no closing "%" is copied as it is.
#include <cstddef>
#include <string>
#include <string_view>

#include "mpeg_input/tags/tag_fields.h"

namespace zul::tags {

inline constexpr wchar_t kDefaultFormatEx[] = L"[%artist% - ]%title%";
// A title buffer holds 260 characters with the terminator.
inline constexpr std::size_t kTitleUnits = 259;

// The result holds at most `maxUnits` UTF-16 units.
std::wstring FormatEx(std::wstring_view format, const CTagFields& fields, std::size_t maxUnits = kTitleUnits);

// A path split as the template sees it; either separator counts.
struct PathParts {
  std::wstring folder;  // drive and folder with the last separator: "C:\Music\"
  std::wstring name;    // without folder and extension: "Song"
  std::wstring ext;     // after the last dot of the name: "mp3"
};
PathParts SplitPath(std::wstring_view path);

}  // namespace zul::tags
