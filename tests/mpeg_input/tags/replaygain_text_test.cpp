#include "mpeg_input/tags/replaygain_text.h"

#include <gtest/gtest.h>

namespace zul::tags {
namespace {

TEST(ReplayGainText, GainsAndPeaks) {
  struct Case {
    const wchar_t* text;
    std::optional<double> gain, peak;
  };
  const Case cases[] = {
      {L"-6.50 dB", -6.5, std::nullopt},
      {L"+1.25 dB", 1.25, std::nullopt},
      {L"3 dB", 3.0, std::nullopt},
      {L"-6.50dB", -6.5, std::nullopt},
      {L" -0.3 DB ", -0.3, std::nullopt},
      {L"-6.50", -6.5, -6.5},
      {L"0.988525", 0.988525, 0.988525},
      {L"1e-1", 0.1, 0.1},
      {L"", std::nullopt, std::nullopt},
      {L"dB", std::nullopt, std::nullopt},
      {L"+", std::nullopt, std::nullopt},
      {L"+-1 dB", std::nullopt, std::nullopt},
      {L"-6,50 dB", std::nullopt, std::nullopt},
      {L"loud", std::nullopt, std::nullopt},
      {L"1.0 dB extra", std::nullopt, std::nullopt},
      {L"inf", std::nullopt, std::nullopt},
      {L"nan", std::nullopt, std::nullopt},
      {L"1e999", std::nullopt, std::nullopt},
      {L"\u2212"
       L"6 dB",
       std::nullopt, std::nullopt},  // a minus sign that is not ASCII
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseReplayGainGain(c.text), c.gain) << std::wstring(c.text).size();
    EXPECT_EQ(ParseReplayGainPeak(c.text), c.peak) << std::wstring(c.text).size();
  }
}

}  // namespace
}  // namespace zul::tags
