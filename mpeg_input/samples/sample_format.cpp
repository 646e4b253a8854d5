#include "mpeg_input/samples/sample_format.h"

#include <bit>
#include <cmath>

namespace zul {

SampleFormat SampleFormatFromSetting(int value) {
  switch (value) {
    case 24:
      return SampleFormat::kInt24;
    case 32:
      return SampleFormat::kInt32;
    case -32:
      return SampleFormat::kFloat32;
    case 64:
    case -64:
      return SampleFormat::kFloat64;
    default:
      return SampleFormat::kInt16;
  }
}

int BitsPerSample(SampleFormat f) {
  int v = static_cast<int>(f);
  return v < 0 ? -v : v;
}

int BytesPerSample(SampleFormat f) { return BitsPerSample(f) / 8; }

bool IsFloat(SampleFormat f) { return static_cast<int>(f) < 0; }

int64_t RoundAndClamp(double x, double scale, int64_t low, int64_t high) {
  double y = x * scale;
  if (std::isnan(y)) return 0;
  // Clamp before converting: casting an out-of-range double is undefined.
  if (y >= static_cast<double>(high)) return high;
  if (y <= static_cast<double>(low)) return low;
  // Ties to even by hand: nearbyint would follow the FPU's rounding mode,
  // which a plug-in running on this thread may have changed.
  double f = std::floor(y);
  double diff = y - f;
  int64_t r = static_cast<int64_t>(f);
  if (diff > 0.5 || (diff == 0.5 && (r & 1) != 0)) ++r;
  return r;
}

namespace {

void PutLe(uint8_t* out, uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

size_t ConvertSamples(const double* in, size_t count, SampleFormat format, uint8_t* out) {
  const int bytes = BytesPerSample(format);
  switch (format) {
    case SampleFormat::kInt16:
      for (size_t i = 0; i < count; ++i)
        PutLe(out + i * 2, static_cast<uint64_t>(RoundAndClamp(in[i], 32767.0, -32768, 32767)), 2);
      break;
    case SampleFormat::kInt24:
      for (size_t i = 0; i < count; ++i)
        PutLe(out + i * 3, static_cast<uint64_t>(RoundAndClamp(in[i], 8388607.0, -8388608, 8388607)), 3);
      break;
    case SampleFormat::kInt32:
      for (size_t i = 0; i < count; ++i)
        PutLe(out + i * 4, static_cast<uint64_t>(RoundAndClamp(in[i], 2147483647.0, INT32_MIN, INT32_MAX)), 4);
      break;
    case SampleFormat::kFloat32:
      for (size_t i = 0; i < count; ++i) PutLe(out + i * 4, std::bit_cast<uint32_t>(static_cast<float>(in[i])), 4);
      break;
    case SampleFormat::kFloat64:
      for (size_t i = 0; i < count; ++i) PutLe(out + i * 8, std::bit_cast<uint64_t>(in[i]), 8);
      break;
  }
  return count * bytes;
}

}  // namespace zul
