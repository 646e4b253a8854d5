#include "mpeg_input/stream/mul_div.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace zul {
namespace {

TEST(MulDiv64, RoundsHalfAwayFromZeroAndSurvivesLargeProducts) {
  struct Case {
    int64_t a, b, c, result;
  } cases[] = {
      {5, 1, 2, 3},
      {-5, 1, 2, -3},
      {5, -1, 2, -3},
      {4, 1, 3, 1},
      {113624, 1000, 44100, 2577},                                               // 2576.503 ms
      {int64_t{1} << 40, int64_t{1} << 30, int64_t{1} << 20, int64_t{1} << 50},  // 2^70 in between
      {7, 1, 0, -1},
      {std::numeric_limits<int64_t>::max(), 4, 1, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.a << " * " << c.b << " / " << c.c);
    EXPECT_EQ(MulDiv64(c.a, c.b, c.c), c.result);
  }
}

}  // namespace
}  // namespace zul
