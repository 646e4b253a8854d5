#include "mpeg_input/module/block_render.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define ZUL_AVX2_PATHS 1
#endif

namespace zul {
namespace {

#if defined(ZUL_AVX2_PATHS) && defined(__SSE2_MATH__)
// The SSE2 loop of ConvertToInt16 four doubles at a time: the same
// instructions' semantics (cvtpd2dq in the current rounding mode, packssdw),
// so the same results, and the same second pass for runs with a -32768.
// Returns the samples done; the caller checked the rounding mode.
__attribute__((target("avx2"))) size_t ConvertToInt16Avx2(const double* in, size_t count, uint8_t* out) {
  const __m256d scale = _mm256_set1_pd(32767.0);
  const __m128i lowest = _mm_set1_epi16(INT16_MIN);
  size_t i = 0;
  for (; i + 16 <= count; i += 16) {
    // No lambda: it would not inherit this function's target.
    __m128i a0 = _mm256_cvtpd_epi32(_mm256_mul_pd(_mm256_loadu_pd(in + i), scale));
    __m128i a1 = _mm256_cvtpd_epi32(_mm256_mul_pd(_mm256_loadu_pd(in + i + 4), scale));
    __m128i b0 = _mm256_cvtpd_epi32(_mm256_mul_pd(_mm256_loadu_pd(in + i + 8), scale));
    __m128i b1 = _mm256_cvtpd_epi32(_mm256_mul_pd(_mm256_loadu_pd(in + i + 12), scale));
    __m128i a = _mm_packs_epi32(a0, a1);
    __m128i b = _mm_packs_epi32(b0, b1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * i), a);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * i + 16), b);
    if (_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(a, lowest), _mm_cmpeq_epi16(b, lowest))) != 0)
      ConvertSamples(in + i, 16, SampleFormat::kInt16, out + 2 * i);
  }
  return i;
}

bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}
#endif

}  // namespace

void ConvertToInt16(const double* in, size_t count, uint8_t* out) {
  size_t i = 0;
#if defined(__SSE2__) && defined(__SSE2_MATH__)
  // cvtpd2dq rounds in the current rounding mode: ties to even only in the
  // default mode, which a plug-in on this thread may have changed, so the
  // mode is checked first. packssdw then clamps to 16 bits. What it cannot
  // get right converts to INT32_MIN, and so to -32768: NaN, which must give
  // 0, and 2^31 or more, which must give 32767. Every run of sixteen with a
  // -32768 in it is therefore converted again by the reference conversion;
  // that costs one compare per eight samples instead of a NaN mask and a
  // clamp per two. x86 is little-endian, as the output wants.
  if ((_mm_getcsr() & 0x6000) == 0) {
#if defined(ZUL_AVX2_PATHS)
    if (HasAvx2()) i = ConvertToInt16Avx2(in, count, out);
#endif
    const __m128d scale = _mm_set1_pd(32767.0);
    const __m128i lowest = _mm_set1_epi16(INT16_MIN);
    auto four = [&](const double* p) {
      return _mm_unpacklo_epi64(_mm_cvtpd_epi32(_mm_mul_pd(_mm_loadu_pd(p), scale)),
                                _mm_cvtpd_epi32(_mm_mul_pd(_mm_loadu_pd(p + 2), scale)));
    };
    for (; i + 16 <= count; i += 16) {
      __m128i a = _mm_packs_epi32(four(in + i), four(in + i + 4));
      __m128i b = _mm_packs_epi32(four(in + i + 8), four(in + i + 12));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * i), a);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * i + 16), b);
      if (_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(a, lowest), _mm_cmpeq_epi16(b, lowest))) != 0)
        ConvertSamples(in + i, 16, SampleFormat::kInt16, out + 2 * i);
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
