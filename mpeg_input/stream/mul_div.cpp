#include "mpeg_input/stream/mul_div.h"

#include <cmath>
#include <limits>

namespace zul {

int64_t MulDiv64(int64_t a, int64_t b, int64_t c) {
  if (c == 0) return -1;
  bool negative = ((a < 0) != (b < 0)) != (c < 0);
  // Magnitudes as unsigned so that INT64_MIN cannot overflow on negation.
  auto mag = [](int64_t v) { return v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v); };
  uint64_t ua = mag(a), ub = mag(b), uc = mag(c);
  uint64_t product;
  uint64_t q;
  if (!__builtin_mul_overflow(ua, ub, &product)) {
    q = product / uc;
    uint64_t r = product % uc;
    if (r >= uc - r) ++q;  // r >= c/2 without overflowing 2*r
  } else {
    // Only reached for absurd inputs (damaged headers); the long double
    // result is as good as the inputs deserve.
    long double exact = static_cast<long double>(ua) * ub / uc;
    if (exact >= 9.2e18L) return -1;
    q = static_cast<uint64_t>(std::floor(exact + 0.5L));
  }
  if (q > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) return -1;
  return negative ? -static_cast<int64_t>(q) : static_cast<int64_t>(q);
}

}  // namespace zul
