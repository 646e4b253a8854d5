#pragma once
// Preset files (".eq"): the equalizer's text lines with CR LF endings. A file
// is read whole and checked before anything is taken from it, so a damaged
// or foreign file changes nothing: every byte must be text, the first line
// must hold exactly the 38 slider values (whole numbers 0..96), and each
// further line up to the first empty one exactly one record (three finite
// numbers of sane size and two flags of 0 or 1).
//
// Threads: any (pure functions).
#include <optional>
#include <string>
#include <string_view>

#include "equalizer/eq_lines.h"

namespace zul {

inline constexpr std::size_t kEqPresetFileMaxBytes = 64 * 1024;
inline constexpr std::size_t kEqPresetMaxRecords = 256;

struct EqPresetFileRead {
  std::optional<EqPreset> preset;  // empty when the file was refused
  // What was wrong: 0 for the first line (or bytes that are not text),
  // else the number of fields of the first bad record line.
  int recordFields = 0;
};

EqPresetFileRead ParsePresetFile(std::string_view bytes);
std::string FormatPresetFile(const EqPreset& preset);

}  // namespace zul
