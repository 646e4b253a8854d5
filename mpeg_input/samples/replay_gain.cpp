#include "mpeg_input/samples/replay_gain.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace zul {

CGainDecision DecideGain(const CReplayGainSettings& settings, bool isStream, const CReplayGainValues& lame,
                         const CReplayGainValues& tags) {
  CGainDecision d;
  if (!settings.enable) return d;

  auto withoutRg = [&settings] {
    CGainDecision n;
    n.gainDb = settings.preAmpWithoutRG / 10.0;
    n.limiter = settings.hardLimit != 0 && settings.preAmpWithoutRG > 0;
    n.peak = 1.0;
    return n;
  };
  if (isStream) return withoutRg();

  CReplayGainValues v = (settings.tagSources & kRgFromLame) ? lame : CReplayGainValues{};
  if (tags.trackGainDb) v.trackGainDb = tags.trackGainDb;
  if (tags.trackPeak) v.trackPeak = tags.trackPeak;
  if (tags.albumGainDb) v.albumGainDb = tags.albumGainDb;
  if (tags.albumPeak) v.albumPeak = tags.albumPeak;

  std::optional<double> gain, peak;
  if (settings.mode == 1 && v.albumGainDb) {
    gain = v.albumGainDb;
    peak = v.albumPeak;
  } else if (v.trackGainDb) {
    gain = v.trackGainDb;
    peak = v.trackPeak;
  }
  if (!gain) return withoutRg();
  d.gainDb = *gain + settings.preAmpWithRG / 10.0;
  d.peak = peak.value_or(0.0);
  d.limiter = settings.hardLimit != 0 && settings.preAmpWithRG > 0;
  return d;
}

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::optional<double> ParseNumber(std::string_view s, bool gain) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  if (gain && s.size() >= 2) {
    std::string_view unit = s.substr(s.size() - 2);
    if ((unit[0] == 'd' || unit[0] == 'D') && (unit[1] == 'b' || unit[1] == 'B')) {
      s.remove_suffix(2);
      while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    }
  }
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty() || s.front() == '+') return std::nullopt;
  double value = 0.0;
  // from_chars ignores the locale: a German system must still read "0.5".
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::general);
  if (ec != std::errc{} || end != s.data() + s.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::string Narrow(std::wstring_view text) {
  std::string s;
  s.reserve(text.size());
  for (wchar_t c : text) s.push_back(static_cast<uint32_t>(c) < 0x80 ? static_cast<char>(c) : '\x01');
  return s;
}

}  // namespace

std::optional<double> ParseGainText(std::string_view text) { return ParseNumber(text, true); }
std::optional<double> ParsePeakText(std::string_view text) { return ParseNumber(text, false); }
std::optional<double> ParseGainText(std::wstring_view text) { return ParseNumber(Narrow(text), true); }
std::optional<double> ParsePeakText(std::wstring_view text) { return ParseNumber(Narrow(text), false); }

}  // namespace zul
