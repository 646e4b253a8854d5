#include "mpeg_input/samples/sample_format.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace zul {
namespace {

int64_t ReadLeSigned(const uint8_t* p, int bytes) {
  uint64_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= uint64_t{p[i]} << (8 * i);
  int shift = 64 - 8 * bytes;
  return static_cast<int64_t>(v << shift) >> shift;
}

TEST(SampleFormat, SettingValues) {
  struct Case {
    int setting;
    SampleFormat format;
    int bits, bytes;
    bool isFloat;
  } cases[] = {
      {16, SampleFormat::kInt16, 16, 2, false},   {24, SampleFormat::kInt24, 24, 3, false},
      {32, SampleFormat::kInt32, 32, 4, false},   {-32, SampleFormat::kFloat32, 32, 4, true},
      {-64, SampleFormat::kFloat64, 64, 8, true}, {64, SampleFormat::kFloat64, 64, 8, true},
      {8, SampleFormat::kInt16, 16, 2, false},    {0, SampleFormat::kInt16, 16, 2, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.setting);
    SampleFormat f = SampleFormatFromSetting(c.setting);
    EXPECT_EQ(f, c.format);
    EXPECT_EQ(BitsPerSample(f), c.bits);
    EXPECT_EQ(BytesPerSample(f), c.bytes);
    EXPECT_EQ(IsFloat(f), c.isFloat);
  }
}

TEST(SampleFormat, IntegerConversionRoundsAndClamps) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    SampleFormat format;
    double in;
    int64_t out;
  } cases[] = {
      {SampleFormat::kInt16, 1.0, 32767},      {SampleFormat::kInt16, -1.0, -32767},
      {SampleFormat::kInt16, 1.2, 32767},      {SampleFormat::kInt16, -1.2, -32768},
      {SampleFormat::kInt16, 0.5, 16384},                                           // 16383.5: ties go to even
      {SampleFormat::kInt16, -0.5, -16384},    {SampleFormat::kInt16, 0.25, 8192},  // 8191.75
      {SampleFormat::kInt16, nan, 0},          {SampleFormat::kInt16, inf, 32767},
      {SampleFormat::kInt16, -inf, -32768},    {SampleFormat::kInt24, 1.0, 8388607},
      {SampleFormat::kInt24, -1.0, -8388607},  {SampleFormat::kInt24, -2.0, -8388608},
      {SampleFormat::kInt24, 0.5, 4194304},  // 4194303.5 -> even
      {SampleFormat::kInt32, 1.0, 2147483647}, {SampleFormat::kInt32, -1.0, -2147483647},
      {SampleFormat::kInt32, 3.0, 2147483647}, {SampleFormat::kInt32, -3.0, -2147483648LL},
      {SampleFormat::kInt32, 0.5, 1073741824},  // 1073741823.5 -> even
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(c.format) << " " << c.in);
    uint8_t out[8] = {};
    int bytes = BytesPerSample(c.format);
    ASSERT_EQ(ConvertSamples(&c.in, 1, c.format, out), static_cast<size_t>(bytes));
    EXPECT_EQ(ReadLeSigned(out, bytes), c.out);
  }
}

TEST(SampleFormat, TiesGoToEvenInBothDirections) {
  // Exact halves: x * 32767 == k + 0.5 for x = (k + 0.5) / 32767 whenever the
  // division is exact enough; look for some odd and even k where it is.
  int odd = 0, even = 0;
  for (int k = 1; k < 20000 && (odd < 3 || even < 3); ++k) {
    double x = (k + 0.5) / 32767.0;
    if (x * 32767.0 != k + 0.5) continue;
    int64_t expected = (k % 2 == 0) ? k : k + 1;
    EXPECT_EQ(RoundAndClamp(x, 32767.0, -32768, 32767), expected) << k;
    EXPECT_EQ(RoundAndClamp(-x, 32767.0, -32768, 32767), -expected) << k;
    (k % 2 ? odd : even)++;
  }
  EXPECT_EQ(odd, 3);
  EXPECT_EQ(even, 3);
}

TEST(SampleFormat, FloatFormatsPassValuesThroughLittleEndian) {
  const double in[] = {0.5, -1.25, 1e-9, 2.0};
  uint8_t out32[16], out64[32];
  ASSERT_EQ(ConvertSamples(in, 4, SampleFormat::kFloat32, out32), 16u);
  ASSERT_EQ(ConvertSamples(in, 4, SampleFormat::kFloat64, out64), 32u);
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(std::bit_cast<float>(static_cast<uint32_t>(ReadLeSigned(out32 + 4 * i, 4))), static_cast<float>(in[i]));
    EXPECT_EQ(std::bit_cast<double>(static_cast<uint64_t>(ReadLeSigned(out64 + 8 * i, 8))), in[i]);
  }
  // Byte order fixed, not the host's: 0.5f is 0x3F000000.
  EXPECT_EQ(out32[0], 0x00);
  EXPECT_EQ(out32[3], 0x3F);
}

TEST(SampleFormat, BlocksAreWrittenSampleAfterSample) {
  std::vector<double> in = {0.0, 1.0, -1.0, 0.5, -0.25};
  std::vector<uint8_t> out(in.size() * 3 + 1, 0xAA);
  ASSERT_EQ(ConvertSamples(in.data(), in.size(), SampleFormat::kInt24, out.data()), in.size() * 3);
  const int64_t expected[] = {0, 8388607, -8388607, 4194304, -2097152};
  for (size_t i = 0; i < in.size(); ++i) EXPECT_EQ(ReadLeSigned(&out[3 * i], 3), expected[i]) << i;
  EXPECT_EQ(out.back(), 0xAA);  // nothing written past the block
}

}  // namespace
}  // namespace zul
