// The measurements the audio tests rely on must see the faults they look
// for: a gap in a tone, a wrong level, a wrong pitch, a leak between bands.
#include "tests/waveout/tone_analysis.h"

#include <gtest/gtest.h>

namespace zul::test {
namespace {

constexpr int kRate = 44100;

TEST(ToneAnalysis, LevelAndPitchOfASine) {
  auto x = Channel(Sine(1000, 0.5, kRate, 2, kRate), 2, 1);
  Span all{0, x.size()};
  EXPECT_NEAR(RmsDb(x, all), -9.03, 0.02);
  EXPECT_NEAR(ToneDb(x, all, 1000, kRate), -9.03, 0.02);
  EXPECT_NEAR(ZeroCrossingFrequency(x, all, kRate), 1000, 0.1);
  // The Goertzel reading is selective enough for a 60 dB band check.
  auto other = Channel(Sine(1760, 0.5, kRate, 1, kRate / 2), 1, 0);
  EXPECT_LT(ToneDb(other, {0, other.size()}, 880, kRate), -90);
}

TEST(ToneAnalysis, SpansAndGaps) {
  auto a = Sine(1000, 0.3, kRate, 1, 4410);
  std::vector<int16_t> signal(2000, 0);
  signal.insert(signal.end(), a.begin(), a.end());
  signal.insert(signal.end(), 4410, 0);  // 100 ms of silence
  signal.insert(signal.end(), a.begin(), a.end());
  auto x = Channel(signal, 1, 0);
  auto spans = FindSounds(x, 0.01, 441);
  ASSERT_EQ(spans.size(), 2u);
  EXPECT_NEAR(static_cast<double>(spans[0].begin), 2000, 2);
  EXPECT_NEAR(static_cast<double>(spans[0].Length()), 4410, 3);
  EXPECT_NEAR(static_cast<double>(spans[1].begin), 2000 + 4410 + 4410, 2);
  EXPECT_LE(LongestQuietRun(x, spans[0], 0.03), 3u);
  // A 5 ms dropout inside a tone.
  auto gapped = Sine(1000, 0.3, kRate, 1, 8820);
  std::fill(gapped.begin() + 4000, gapped.begin() + 4220, 0);
  auto g = Channel(gapped, 1, 0);
  auto one = FindSounds(g, 0.01, 4410);
  ASSERT_EQ(one.size(), 1u);
  EXPECT_GE(LongestQuietRun(g, one[0], 0.03), 220u);
}

}  // namespace
}  // namespace zul::test
