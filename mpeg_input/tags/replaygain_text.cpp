#include "mpeg_input/tags/replaygain_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace zul::tags {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::optional<double> ParseNumber(std::wstring_view text, bool allowDecibels) {
  // Numbers are ASCII; any other character makes the value unreadable.
  if (text.size() > 64) return std::nullopt;
  std::string ascii;
  for (wchar_t c : text) {
    if (static_cast<std::uint32_t>(c) >= 0x80) return std::nullopt;
    ascii.push_back(static_cast<char>(c));
  }
  std::string_view s = Trim(ascii);
  if (allowDecibels && s.size() >= 2) {
    std::string_view unit = s.substr(s.size() - 2);
    if ((unit[0] == 'd' || unit[0] == 'D') && (unit[1] == 'b' || unit[1] == 'B')) s = Trim(s.substr(0, s.size() - 2));
  }
  if (!s.empty() && s.front() == '+') {
    s.remove_prefix(1);
    if (!s.empty() && s.front() == '-') return std::nullopt;  // "+-1"
  }
  if (s.empty()) return std::nullopt;
  double value = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::general);
  if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace

std::optional<double> ParseReplayGainGain(std::wstring_view text) { return ParseNumber(text, true); }
std::optional<double> ParseReplayGainPeak(std::wstring_view text) { return ParseNumber(text, false); }

}  // namespace zul::tags
