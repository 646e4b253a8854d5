#include "mpeg_input/samples/replay_gain.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "mpeg_input/samples/gain_stage.h"

namespace zul {
namespace {

CReplayGainValues Values(std::optional<double> tg, std::optional<double> tp, std::optional<double> ag,
                         std::optional<double> ap) {
  return {tg, tp, ag, ap};
}

TEST(ReplayGain, DecisionTable) {
  const auto none = CReplayGainValues{};
  const auto lame = Values(-3.0, 0.9, -4.0, std::nullopt);
  struct Case {
    const char* name;
    CReplayGainSettings settings;
    bool stream;
    CReplayGainValues lame, tags;
    double gain;
    bool limiter;
    double peak;
  } cases[] = {
      {"disabled", {false, 1, 7, 30, 30, 1}, false, lame, none, 0.0, false, 0.0},
      {"stream: pre-amp without RG", {true, 0, 7, 10, 25, 1}, true, lame, none, 2.5, true, 1.0},
      {"stream: negative pre-amp, no limiter", {true, 0, 7, 10, -25, 1}, true, lame, none, -2.5, false, 1.0},
      {"track from LAME", {true, 0, 7, 0, 0, 1}, false, lame, none, -3.0, false, 0.9},
      {"LAME not among the sources", {true, 0, 3, 0, 15, 1}, false, lame, none, 1.5, true, 1.0},
      {"album from LAME, peak unknown", {true, 1, 7, 0, 0, 1}, false, lame, none, -4.0, false, 0.0},
      {"tag replaces LAME of its kind only",
       {true, 0, 7, 0, 0, 1},
       false,
       lame,
       Values(std::nullopt, 0.5, std::nullopt, std::nullopt),
       -3.0,
       false,
       0.5},
      {"tag track gain, LAME peak kept",
       {true, 0, 7, 0, 0, 1},
       false,
       lame,
       Values(-6.5, std::nullopt, {}, {}),
       -6.5,
       false,
       0.9},
      {"album mode, album from tags with peak",
       {true, 1, 3, 20, 0, 1},
       false,
       none,
       Values(-1.0, 0.7, -2.0, 0.8),
       0.0,
       true,
       0.8},
      {"album mode with only a track gain",
       {true, 1, 3, 0, 0, 1},
       false,
       none,
       Values(-1.0, 0.7, {}, {}),
       -1.0,
       false,
       0.7},
      {"pre-amp with RG, hard limit off",
       {true, 0, 3, 20, 0, 0},
       false,
       none,
       Values(-1.0, 0.7, {}, {}),
       1.0,
       false,
       0.7},
      {"no RG at all: pre-amp without RG", {true, 0, 3, 50, 30, 1}, false, none, none, 3.0, true, 1.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CGainDecision d = DecideGain(c.settings, c.stream, c.lame, c.tags);
    EXPECT_DOUBLE_EQ(d.gainDb, c.gain);
    EXPECT_EQ(d.limiter, c.limiter);
    EXPECT_DOUBLE_EQ(d.peak, c.peak);
  }
}

TEST(ReplayGain, TagTexts) {
  struct Case {
    const char* text;
    std::optional<double> gain, peak;
  } cases[] = {
      {"-6.50 dB", -6.5, std::nullopt},
      {"+1.25 dB", 1.25, std::nullopt},
      {"  3 dB ", 3.0, std::nullopt},
      {"-0.5dB", -0.5, std::nullopt},
      {"2.0", 2.0, 2.0},
      {"0.988312", 0.988312, 0.988312},
      {"1e-3", 0.001, 0.001},
      {"", std::nullopt, std::nullopt},
      {"dB", std::nullopt, std::nullopt},
      {"++1 dB", std::nullopt, std::nullopt},
      {"1,5 dB", std::nullopt, std::nullopt},  // a comma is no decimal point here, whatever the locale
      {"nan", std::nullopt, std::nullopt},
      {"inf dB", std::nullopt, std::nullopt},
      {"-6.5 dB extra", std::nullopt, std::nullopt},
      {"0.9 dB", 0.9, std::nullopt},  // a unit makes no peak
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseGainText(std::string_view(c.text)), c.gain);
    EXPECT_EQ(ParsePeakText(std::string_view(c.text)), c.peak);
  }
  EXPECT_EQ(ParseGainText(std::wstring_view(L"-6.50 dB")), -6.5);
  EXPECT_EQ(ParseGainText(std::wstring_view(L"-6\u0660.5 dB")), std::nullopt);  // an Arabic-Indic digit
}

TEST(GainStage, FactorAndLimiter) {
  // A TXXX "replaygain_track_gain" of -6.50 dB with no pre-amp.
  CGainStage quieter({-6.5, false, 0.0});
  EXPECT_DOUBLE_EQ(quieter.Factor(), std::pow(10.0, -6.5 / 20));
  EXPECT_FALSE(quieter.LimiterActive());
  EXPECT_DOUBLE_EQ(quieter.ApplyOne(0.8), 0.8 * std::pow(10.0, -6.5 / 20));

  // +3 dB pre-amp on a file without ReplayGain: peak 1.0 times the factor
  // exceeds 1, so the limiter acts; without the flag nothing bounds y.
  CGainStage limited({3.0, true, 1.0});
  EXPECT_TRUE(limited.LimiterActive());
  CGainStage loud({3.0, false, 1.0});
  EXPECT_FALSE(loud.LimiterActive());
  EXPECT_GT(loud.ApplyOne(0.9), 1.0);
  // A gain whose peak stays below 1 needs no limiter even with the flag.
  EXPECT_FALSE(CGainStage({3.0, true, 0.5}).LimiterActive());
  // An unknown peak (0) never activates it.
  EXPECT_FALSE(CGainStage({3.0, true, 0.0}).LimiterActive());

  const double f = limited.Factor();
  for (double x : {-1.0, -0.9, -0.3, 0.0, 0.2, 0.35, 0.7, 1.0}) {
    SCOPED_TRACE(x);
    double y = x * f;
    double expected = y > 0.5    ? 0.5 + 0.5 * std::tanh(2 * (y - 0.5))
                      : y < -0.5 ? -0.5 + 0.5 * std::tanh(2 * (y + 0.5))
                                 : y;
    EXPECT_DOUBLE_EQ(limited.ApplyOne(x), expected);
    EXPECT_LT(std::fabs(limited.ApplyOne(x)), 1.0);
  }
  // Continuous at the knee: just above 0.5 stays just above 0.5.
  EXPECT_NEAR(limited.ApplyOne(0.5000001 / f), 0.5000001, 1e-9);
}

TEST(GainStage, UnityPassesSamplesUnchanged) {
  CGainStage unity({0.0, true, 1.0});  // factor 1: peak x factor is not above 1
  EXPECT_TRUE(unity.IsIdentity());
  double samples[] = {0.75, -1.0, 1.5, -0.0};
  double copy[] = {0.75, -1.0, 1.5, -0.0};
  unity.Apply(samples, 4);
  EXPECT_EQ(0, std::memcmp(samples, copy, sizeof samples));
}

// The decoder widens its floats with ApplyToFloats: every sample must come
// out as ApplyOne gives it (a non-finite one as 0), whichever way it goes:
// quiet runs, runs holding a sample at the limiter's knee or a non-finite
// one, and the tail after the last whole run.
TEST(GainStage, WideningFloatsGivesApplyOneForEverySample) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const CGainDecision decisions[] = {
      {0.0, false, 0.0},    {-6.5, false, 0.0}, {3.0, true, 1.0},     {9.0, true, 1.0},
      {3.0, false, 1.0},    {-60.0, true, 1e6}, {7000.0, false, 0.0},  // a factor of infinity
      {-7000.0, true, 1.0},                                            // a factor of 0
  };
  for (const CGainDecision& d : decisions) {
    SCOPED_TRACE(testing::Message() << d.gainDb << " dB, limiter " << d.limiter);
    CGainStage stage(d);
    // Quiet noise, with louder stretches and, here and there, a sample just
    // around the magnitude the gain takes to 0.5, or a non-finite one.
    const float knee = static_cast<float>(0.5 / stage.Factor());
    std::vector<float> in;
    uint32_t seed = 99;
    for (int i = 0; i < 4000; ++i) {
      seed = seed * 1664525u + 1013904223u;
      float v = (static_cast<int32_t>(seed) / 2147483648.0f) * ((i / 256) % 3 == 0 ? 1.3f : 0.2f);
      if (i % 97 == 40) v = std::nextafter(knee, i % 2 ? 0.0f : inf);
      if (i % 97 == 41) v = -knee;
      if (i % 389 == 7) v = i % 2 ? nan : -inf;
      in.push_back(v);
    }
    int beyondKnee = 0;
    for (size_t offset : {0, 1, 3}) {
      std::vector<double> out(in.size() - offset);
      stage.ApplyToFloats(in.data() + offset, out.size(), out.data());
      for (size_t i = 0; i < out.size(); ++i) {
        float v = in[offset + i];
        double expected = stage.ApplyOne(std::isfinite(v) ? v : 0.0f);
        ASSERT_EQ(std::bit_cast<uint64_t>(out[i]), std::bit_cast<uint64_t>(expected)) << i << ": " << v;
        beyondKnee += std::fabs(expected) > 0.5;
      }
    }
    if (stage.LimiterActive()) {
      EXPECT_GT(beyondKnee, 0);  // samples did go through the limiter
    }
  }
}

}  // namespace
}  // namespace zul
