#include "pluginhost/video/yuv_convert.h"

#include <gtest/gtest.h>

#include <vector>

namespace zul {
namespace {

struct Colour {
  const char* name;
  uint8_t y, u, v;
  uint32_t rgb;  // 0xRRGGBB, the BT.601 colour these studio-range values stand for
};
// Studio-range YUV of the primaries and white/black, as any BT.601 table gives them.
constexpr Colour kColours[] = {
    {"red", 81, 90, 240, 0xFF0000},     {"green", 145, 54, 34, 0x00FF00},  {"blue", 41, 240, 110, 0x0000FF},
    {"white", 235, 128, 128, 0xFFFFFF}, {"black", 16, 128, 128, 0x000000},
};

void ExpectNear(uint32_t got, uint32_t want, const char* name) {
  for (int shift : {0, 8, 16}) {
    const int g = (got >> shift) & 0xFF, w = (want >> shift) & 0xFF;
    EXPECT_NEAR(g, w, 6) << name << " channel at bit " << shift;
  }
}

TEST(YuvConvert, EachColourInBothLayouts) {
  for (const Colour& c : kColours) {
    const int w = 4, h = 2;
    std::vector<uint8_t> yuy2;
    for (int i = 0; i < w * h / 2; ++i) yuy2.insert(yuy2.end(), {c.y, c.u, c.y, c.v});
    std::vector<uint32_t> out(w * h);
    ASSERT_TRUE(ConvertYuy2(yuy2.data(), w, h, false, out.data()));
    ExpectNear(out[5], c.rgb, c.name);

    std::vector<uint8_t> y(w * h, c.y), u(w / 2, c.u), v(w / 2, c.v);
    std::fill(out.begin(), out.end(), 0xDEADBEEF);
    ASSERT_TRUE(ConvertYv12({y.data(), w}, {u.data(), w / 2}, {v.data(), w / 2}, w, h, false, out.data()));
    ExpectNear(out[7], c.rgb, c.name);
  }
}

TEST(YuvConvert, RowsPitchesAndFlip) {
  // Two rows: the top white, the bottom black; the Y plane has padding.
  const int w = 2, h = 2, pitch = 8;
  std::vector<uint8_t> y(pitch * h, 0x77);
  y[0] = y[1] = 235;
  y[pitch] = y[pitch + 1] = 16;
  std::vector<uint8_t> u(1, 128), v(1, 128);
  std::vector<uint32_t> out(w * h);
  ASSERT_TRUE(ConvertYv12({y.data(), pitch}, {u.data(), 1}, {v.data(), 1}, w, h, false, out.data()));
  ExpectNear(out[0], 0xFFFFFF, "top");
  ExpectNear(out[2], 0x000000, "bottom");
  ASSERT_TRUE(ConvertYv12({y.data(), pitch}, {u.data(), 1}, {v.data(), 1}, w, h, true, out.data()));
  ExpectNear(out[0], 0x000000, "flipped top");
}

TEST(YuvConvert, FramesThatWouldBeReadPastTheirRowsAreSkipped) {
  std::vector<uint8_t> plane(64, 128);
  std::vector<uint32_t> out(64, 0x12345678);
  const YuvPlane ok{plane.data(), 8}, shortRow{plane.data(), 3}, missing{};
  EXPECT_FALSE(ConvertYv12(shortRow, ok, ok, 8, 4, false, out.data()));           // Y rows shorter than the width
  EXPECT_FALSE(ConvertYv12(ok, {plane.data(), 3}, ok, 8, 4, false, out.data()));  // chroma rows shorter than w/2
  EXPECT_FALSE(ConvertYv12(ok, ok, missing, 8, 4, false, out.data()));
  EXPECT_FALSE(ConvertYuy2(plane.data(), 0, 4, false, out.data()));
  EXPECT_FALSE(ConvertYuy2(plane.data(), kMaxVideoSide + 1, 1, false, out.data()));
  EXPECT_FALSE(ConvertYuy2(nullptr, 2, 2, false, out.data()));
  for (uint32_t p : out) ASSERT_EQ(p, 0x12345678u);  // nothing written
  // An odd width: the last pixel's chroma is not read past the row's 2 x w bytes.
  std::vector<uint8_t> odd = {81, 90, 81, 240, 81, 90};  // three pixels, 6 bytes
  std::vector<uint32_t> three(3);
  ASSERT_TRUE(ConvertYuy2(odd.data(), 3, 1, false, three.data()));
  ExpectNear(three[0], 0xFF0000, "odd width, first pixel");
}

}  // namespace
}  // namespace zul
