#pragma once
// The equalizer's text form, shared by preset files and the settings values
// EQ0, EQ1, ...: the first line holds the 38 slider values ("%d" with single
// blanks: left preamp, left bands 1..18, right preamp, right bands 1..18),
// each further line one record as "upper lower gain left right".
//
// Threads: UI thread (pure functions).
#include <array>
#include <span>
#include <string>
#include <vector>

#include "equalizer/eq_param.h"

namespace zul {

inline constexpr int kEqValueCount = 2 * (kEqBands + 1);
inline constexpr int kEqLeftPreamp = 0;
inline constexpr int kEqRightPreamp = kEqBands + 1;

struct EqPreset {
  std::array<int, kEqValueCount> values{};  // dB of cut, 0..96
  std::vector<EqParam> params;
};

// What the caller shows after loading: "Format error" when the first line had
// fewer than 38 numbers; "Format error 2 (%d)" with recordFields when a
// record line had 1 to 4 fields (the list ends before that line).
struct EqLoadReport {
  bool valuesIncomplete = false;
  int recordFields = 0;
};

// Reads the lines into `preset`. No lines: nothing changes. Otherwise the
// values read replace the old ones (the rest keep theirs), the record list is
// replaced by the records read up to the first empty or malformed line, and
// every value is limited to 0..96.
EqLoadReport LoadEqualizerLines(std::span<const std::wstring> lines, EqPreset& preset);

std::vector<std::wstring> MakeEqualizerLines(const EqPreset& preset);

}  // namespace zul
