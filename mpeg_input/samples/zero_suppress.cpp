#include "mpeg_input/samples/zero_suppress.h"

#include <cstdint>
#include <cstring>

namespace zul {

size_t CZeroSuppressor::Drop(double* samples, size_t frames, int channels) {
  if (!armed_ || channels <= 0) return 0;
  const size_t width = static_cast<size_t>(channels);
  size_t zero = 0;
  for (; zero < frames; ++zero) {
    bool allZero = true;
    for (size_t c = 0; c < width && allZero; ++c) {
      uint64_t bits;
      std::memcpy(&bits, samples + zero * width + c, sizeof bits);
      allZero = bits == 0;
    }
    if (!allZero) {
      armed_ = false;
      break;
    }
  }
  if (zero > 0 && zero < frames) {
    std::memmove(samples, samples + zero * width, (frames - zero) * width * sizeof(double));
  }
  return zero;
}

}  // namespace zul
