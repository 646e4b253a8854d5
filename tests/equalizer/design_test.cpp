#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "equalizer/eq_design.h"

namespace zul {
namespace {

std::vector<double> Flat(double g = 1.0) { return std::vector<double>(kEqBands, g); }

// Zero-phase magnitude of the symmetric taps at `freq`.
double Response(const std::vector<double>& taps, double freq, double rate) {
  const double w = 2 * std::numbers::pi * freq / rate;
  double h = taps[kEqHalfTaps];
  for (int n = 1; n <= kEqHalfTaps; ++n) h += 2 * taps[kEqHalfTaps + n] * std::cos(w * n);
  return std::abs(h);
}

double Db(double x) { return 20 * std::log10(x); }

TEST(EqDesign, KaiserParametersForTheStopband) {
  EXPECT_DOUBLE_EQ(KaiserBeta(96), 0.1102 * 87.3);
  EXPECT_DOUBLE_EQ(KaiserBeta(21), 0.0);
  EXPECT_NEAR(KaiserBeta(40), 0.5842 * std::pow(19, 0.4) + 0.07886 * 19, 1e-12);
  EXPECT_NEAR(BesselI0(1.0), 1.2660658777520082, 1e-15);
  // 15 terms: 1965.16679942; the full series is 1965.16681617.
  EXPECT_NEAR(BesselI0(KaiserBeta(96)), 1965.16679942, 1e-6);
}

struct SplitCase {
  const char* name;
  EqParam param;
  // Expected left segments around the range: {lower, upper, gain}.
  std::vector<EqSegment> expected;
  size_t totalSegments;
};

TEST(EqDesign, RecordsSplitAndScaleSegments) {
  const double g6 = std::pow(10.0, 6.0 / 20);
  const double e7 = kEqBandEdges[7], e8 = kEqBandEdges[8], e9 = kEqBandEdges[9], e10 = kEqBandEdges[10];
  const SplitCase cases[] = {
      {"across bands 8 to 10",
       {1000, 2000, 6, 1, 0},
       {{e7, 1000, 1}, {1000, e8, g6}, {e8, e9, g6}, {e9, 2000, g6}, {2000, e10, 1}},
       20},
      {"inside one band", {800, 900, 6, 1, 1}, {{e7, 800, 1}, {800, 900, g6}, {900, e8, 1}}, 20},
      {"exactly one band", {e8, e9, 6, 1, 1}, {{e7, e8, 1}, {e8, e9, g6}, {e9, e10, 1}}, 18},
      {"empty range", {2000, 1000, 6, 1, 1}, {{e7, e8, 1}, {e8, e9, 1}}, 18},
      {"right channel only", {1000, 2000, 6, 0, 1}, {{e7, e8, 1}, {e8, e9, 1}}, 18},
      {"NaN bound", {NAN, 2000, 6, 1, 1}, {{e7, e8, 1}, {e8, e9, 1}}, 18},
  };
  const std::vector<double> gains = Flat();
  for (const SplitCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<EqSegment> segments;
    BuildEqSegments(gains.data(), {&c.param, 1}, 0, 44100, segments);
    ASSERT_EQ(segments.size(), c.totalSegments);
    EXPECT_EQ(segments.front().lower, 0);
    EXPECT_EQ(segments.back().upper, 44100);
    for (size_t i = 1; i < segments.size(); ++i) EXPECT_EQ(segments[i].lower, segments[i - 1].upper) << i;
    size_t at = 0;
    while (segments[at].lower != c.expected[0].lower) ++at;
    for (const EqSegment& e : c.expected) {
      ASSERT_LT(at, segments.size());
      EXPECT_FLOAT_EQ(segments[at].lower, e.lower);
      EXPECT_FLOAT_EQ(segments[at].upper, e.upper);
      EXPECT_NEAR(segments[at].gain, e.gain, 1e-12);
      ++at;
    }
  }
}

TEST(EqDesign, RecordOnLeftChannelShapesOnlyLeftResponse) {
  CEqDesigner designer;
  const std::vector<double> gains = Flat();
  const EqParam param{1000, 2000, 6, 1, 0};
  std::vector<double> left(kEqTaps), right(kEqTaps);
  designer.DesignTaps(gains.data(), {&param, 1}, 0, 44100, left.data());
  designer.DesignTaps(gains.data(), {&param, 1}, 1, 44100, right.data());
  EXPECT_NEAR(Db(Response(left, 1500, 44100)), 6.0, 0.01);
  EXPECT_NEAR(Db(Response(left, 1100, 44100)), 6.0, 0.01);
  EXPECT_NEAR(Db(Response(left, 900, 44100)), 0.0, 0.01);
  EXPECT_NEAR(Db(Response(left, 2200, 44100)), 0.0, 0.01);
  for (double f : {900.0, 1500.0, 2200.0}) EXPECT_NEAR(Db(Response(right, f, 44100)), 0.0, 0.01) << f;
}

TEST(EqDesign, EqualGainsGiveAScaledImpulse) {
  CEqDesigner designer;
  std::vector<double> taps(kEqTaps);
  const std::vector<double> gains = Flat(0.5);
  designer.DesignTaps(gains.data(), {}, 0, 48000, taps.data());
  for (int i = 0; i < kEqTaps; ++i) ASSERT_EQ(taps[i], i == kEqHalfTaps ? 0.5 : 0.0) << i;
}

TEST(EqDesign, AtHalfRateTheBandHoldingNyquistGovernsTheTop) {
  CEqDesigner designer;
  const int rate = 22050;  // Nyquist 11025 lies in band 15 (8372 to 11839.814 Hz)
  std::vector<double> gains = Flat(), base(kEqTaps), taps(kEqTaps);
  designer.DesignTaps(gains.data(), {}, 0, rate, base.data());

  gains[16] = 0.0;
  gains[17] = 0.25;
  designer.DesignTaps(gains.data(), {}, 0, rate, taps.data());
  EXPECT_EQ(taps, base) << "bands above the one holding Nyquist must have no effect";

  gains = Flat();
  gains[15] = 0.0;
  designer.DesignTaps(gains.data(), {}, 0, rate, taps.data());
  EXPECT_LT(Db(Response(taps, 9000, rate)), -90);
  EXPECT_LT(Db(Response(taps, 10900, rate)), -90);
  EXPECT_NEAR(Db(Response(taps, 7000, rate)), 0.0, 0.01);
}

}  // namespace
}  // namespace zul
