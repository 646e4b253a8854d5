#include "mpeg_input/module/block_render.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zul {

void ConvertToInt16(const double* in, size_t count, uint8_t* out) {
  size_t i = 0;
#if defined(__SSE2__) && defined(__SSE2_MATH__)
  // Adding and subtracting 1.5 x 2^52 rounds to an integer in the current
  // rounding mode: ties to even only in the default mode, which a plug-in
  // on this thread may have changed, so the mode is checked first. x86 is
  // little-endian, as the output wants.
  if ((_mm_getcsr() & 0x6000) == 0) {
    const __m128d scale = _mm_set1_pd(32767.0);
    const __m128d low = _mm_set1_pd(-32768.0);
    const __m128d high = _mm_set1_pd(32767.0);
    const __m128d shift = _mm_set1_pd(6755399441055744.0);
    auto convert = [&](const double* p) {
      __m128d y = _mm_mul_pd(_mm_loadu_pd(p), scale);
      y = _mm_and_pd(y, _mm_cmpeq_pd(y, y));  // NaN -> 0
      y = _mm_min_pd(_mm_max_pd(y, low), high);
      y = _mm_sub_pd(_mm_add_pd(y, shift), shift);
      return _mm_cvttpd_epi32(y);  // two ints in the low half
    };
    for (; i + 4 <= count; i += 4) {
      __m128i a = convert(in + i);
      __m128i b = convert(in + i + 2);
      __m128i four = _mm_unpacklo_epi64(a, b);
      _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 2 * i), _mm_packs_epi32(four, four));
    }
  }
#endif
  ConvertSamples(in + i, count - i, SampleFormat::kInt16, out + 2 * i);
}

size_t RenderBlock(double* samples, size_t frames, int channels, const CChannelOptions& options, SampleFormat format,
                   uint8_t* out) {
  if (options.AnyOn()) {
    if (channels == 2) {
      ProcessStereo(samples, frames, options);
    } else {
      ProcessMono(samples, frames, options);
    }
  }
  const size_t count = frames * static_cast<size_t>(channels);
  if (format == SampleFormat::kInt16) {
    ConvertToInt16(samples, count, out);
    return count * 2;
  }
  return ConvertSamples(samples, count, format, out);
}

}  // namespace zul
