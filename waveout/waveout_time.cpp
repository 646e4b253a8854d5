#include "waveout/waveout_time.h"

#include <cmath>
#include <limits>
#include <utility>

namespace zul {

int64_t RoundedMulDiv(int64_t a, int64_t b, int64_t c) {
  if (c == 0) return -1;
  const bool negative = ((a < 0) != (b < 0)) != (c < 0);
  auto magnitude = [](int64_t v) { return v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v); };
  const uint64_t ua = magnitude(a), ub = magnitude(b), uc = magnitude(c);
  uint64_t product = 0;
  uint64_t q = 0;
  if (!__builtin_mul_overflow(ua, ub, &product)) {
    q = product / uc;
    const uint64_t r = product % uc;
    if (r >= uc - r) ++q;  // r >= c / 2 without overflowing 2 * r
  } else {
    // No 128-bit integers on the 32-bit target; such products do not occur
    // for real streams, and long double keeps them approximately right.
    const long double exact = static_cast<long double>(ua) * ub / uc;
    if (exact >= 9.2e18L) return -1;
    q = static_cast<uint64_t>(std::floor(exact + 0.5L));
  }
  if (q > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) return -1;
  return negative ? -static_cast<int64_t>(q) : static_cast<int64_t>(q);
}

namespace {

int ClampToInt(int64_t v) {
  if (v > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (v < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(v);
}

int64_t BytesToMs(int64_t bytes, const PcmFormat& format) {
  const int bps = format.BytesPerSecond();
  return bps > 0 ? RoundedMulDiv(bytes, 1000, bps) : 0;
}

}  // namespace

int OpenLatencyMs(int blockCount, int blockSize, int bytesPerSecond) {
  if (bytesPerSecond <= 0) return -1;
  return ClampToInt(RoundedMulDiv(static_cast<int64_t>(blockCount + 1) * blockSize, 1000, bytesPerSecond));
}

int OutputTimeMs(int startMs, PositionUnit unit, int64_t position, int64_t playedBytes, const PcmFormat& format) {
  int64_t ms = 0;
  switch (unit) {
    case PositionUnit::Milliseconds:
      ms = position;
      break;
    case PositionUnit::Samples:
      ms = format.sampleRate > 0 ? RoundedMulDiv(position, 1000, format.sampleRate) : 0;
      break;
    case PositionUnit::Bytes:
      ms = BytesToMs(position, format);
      break;
    case PositionUnit::Other:
      ms = BytesToMs(playedBytes, format);
      break;
  }
  return ClampToInt(startMs + ms);
}

int WrittenTimeMs(int startMs, int64_t writtenBytes, const PcmFormat& format) {
  return ClampToInt(startMs + BytesToMs(writtenBytes, format));
}

uint32_t DeviceVolumeWord(int volume, int balance, bool reverse) {
  const int x = volume * 65535 / 255;
  int left = x, right = x;
  if (balance > 0) left = x - balance * x / 128;
  if (balance < 0) right = x + balance * x / 128;
  if (reverse) std::swap(left, right);
  return (static_cast<uint32_t>(right) << 16) | static_cast<uint32_t>(left);
}

}  // namespace zul
