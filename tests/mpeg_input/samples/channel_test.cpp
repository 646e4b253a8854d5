#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "mpeg_input/samples/channel_process.h"
#include "mpeg_input/samples/zero_suppress.h"

namespace zul {
namespace {

TEST(ChannelProcess, StereoOptions) {
  struct Case {
    const char* name;
    CChannelOptions options;
    double left, right;  // result for an input frame (0.6, -0.2)
  } cases[] = {
      {"nothing on", {false, false, false, 100, 50}, 0.6, -0.2},
      {"swap", {true, false, false, 255, 0}, -0.2, 0.6},
      {"phase", {false, true, false, 255, 0}, -0.6, 0.2},
      {"swap then phase", {true, true, false, 255, 0}, 0.2, -0.6},
      {"volume full, centre: unchanged", {false, false, true, 255, 0}, 0.6, -0.2},
      {"volume, pan hard right: left silent", {false, false, true, 255, 127}, 0.0, -0.2},
      {"volume, pan hard left: right silent", {false, false, true, 255, -127}, 0.6, 0.0},
      {"half volume, pan 27 right", {false, false, true, 128, 27}, 0.6 * 128 * 100 / 32385, -0.2 * 128 * 127 / 32385},
      {"volume ignored without the option", {true, false, false, 0, 127}, -0.2, 0.6},
      {"pan beyond its range acts as its end", {false, false, true, 255, 500}, 0.0, -0.2},
      {"volume beyond its range acts as full", {false, false, true, 1000, 0}, 0.6, -0.2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<double> s = {0.6, -0.2, 0.6, -0.2};
    ProcessStereo(s.data(), 2, c.options);
    for (int frame = 0; frame < 2; ++frame) {
      EXPECT_DOUBLE_EQ(s[2 * frame], c.left);
      EXPECT_DOUBLE_EQ(s[2 * frame + 1], c.right);
    }
  }
}

TEST(ChannelProcess, MonoOptions) {
  struct Case {
    const char* name;
    CChannelOptions options;
    double out;  // for an input of 0.5
  } cases[] = {
      {"swap has no meaning", {true, false, false, 255, 0}, 0.5},
      {"phase", {false, true, false, 255, 0}, -0.5},
      {"volume", {false, false, true, 51, 0}, 0.1},
      {"pan has no meaning", {false, false, true, 255, 127}, 0.5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    double s[3] = {0.5, 0.5, 0.5};
    ProcessMono(s, 3, c.options);
    for (double v : s) EXPECT_DOUBLE_EQ(v, c.out);
  }
}

TEST(ZeroSuppressor, DropsLeadingSilentFramesUntilSoundThenStops) {
  CZeroSuppressor z;
  std::vector<double> block = {0.0, 0.0, 0.0, 0.0, 0.0, 0.25, 0.0, 0.0};  // stereo: frames 0,1 silent
  EXPECT_EQ(z.Drop(block.data(), 4, 2), 0u);                              // not armed: nothing happens
  z.Arm();
  std::vector<double> silent(8, 0.0);
  EXPECT_EQ(z.Drop(silent.data(), 4, 2), 4u);  // a whole silent block goes, still armed
  EXPECT_TRUE(z.Armed());
  EXPECT_EQ(z.Drop(block.data(), 4, 2), 2u);
  EXPECT_FALSE(z.Armed());
  EXPECT_EQ(block[0], 0.0);
  EXPECT_EQ(block[1], 0.25);  // frame 2 moved to the front
  std::vector<double> later = {0.0, 0.0, 0.1, 0.1};
  EXPECT_EQ(z.Drop(later.data(), 2, 2), 0u);  // silence after the first sound is kept

  // Minus zero is not an all-zero byte pattern.
  z.Arm();
  std::vector<double> negZero = {-0.0, 0.0};
  EXPECT_EQ(z.Drop(negZero.data(), 2, 1), 0u);
  EXPECT_FALSE(z.Armed());
}

}  // namespace
}  // namespace zul
