#pragma once
// ReplayGain values as tags store them: "-6.50 dB", "+1.2 dB", "0.988525".
#include <optional>
#include <string_view>

namespace zul::tags {

// A gain in dB: surrounding blanks and a trailing "dB" are ignored, a
// leading "+" is allowed. Nothing when the rest is not one finite decimal
// number (the decimal point is always ".", whatever the locale).
std::optional<double> ParseReplayGainGain(std::wstring_view text);
// A peak: one finite decimal number.
std::optional<double> ParseReplayGainPeak(std::wstring_view text);

}  // namespace zul::tags
