#pragma once
// Which gain the MPEG input applies to a track: its ReplayGain (from tags or
// the LAME header) or the pre-amplification for tracks without one, and
// whether the soft limiter may act.
#include <optional>
#include <string_view>

namespace zul {

// The "Kelsor mpg123" keys that decide the gain.
struct CReplayGainSettings {
  bool enable = false;      // ReplayGain_Enable
  int mode = 0;             // ReplayGain_Mode: 0 track, 1 album
  int tagSources = 3;       // ReplayGain_Tag: bit set of the sources below
  int preAmpWithRG = 0;     // ReplayGain_PreAmp_WithRG, tenths of a dB
  int preAmpWithoutRG = 0;  // ReplayGain_PreAmp_WithoutRG, tenths of a dB
  int hardLimit = 1;        // ReplayGain_HardLimit
};

enum ReplayGainSource : int { kRgFromId3v2 = 1, kRgFromApe = 2, kRgFromLame = 4 };

struct CReplayGainValues {
  std::optional<double> trackGainDb;
  std::optional<double> trackPeak;
  std::optional<double> albumGainDb;
  std::optional<double> albumPeak;
};

struct CGainDecision {
  double gainDb = 0.0;
  bool limiter = false;
  double peak = 0.0;  // 1.0 without ReplayGain; 0.0 when a gain applies but its peak is unknown
};

// `lame` holds what the file's LAME header gave (the LAME header never gives
// an album peak), `tags` what the tags read from `settings.tagSources` gave;
// a tag value replaces the LAME value of the same kind. Streams have neither.
CGainDecision DecideGain(const CReplayGainSettings& settings, bool isStream, const CReplayGainValues& lame,
                         const CReplayGainValues& tags);

// Tag texts: a gain such as "-6.50 dB" or "+1.2 dB" (the unit optional), a
// peak such as "0.988312". Nothing for text that is not a finite number.
std::optional<double> ParseGainText(std::string_view text);
std::optional<double> ParsePeakText(std::string_view text);
// Wide tag texts; only ASCII can form a number.
std::optional<double> ParseGainText(std::wstring_view text);
std::optional<double> ParsePeakText(std::wstring_view text);

}  // namespace zul
