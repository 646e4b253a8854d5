#include "mpeg_input/samples/gain_stage.h"

#include <bit>
#include <cfloat>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define ZUL_AVX2_PATHS 1
#endif

namespace zul {
namespace {

// Samples are widened in runs of this many floats; a run with a sample
// beyond plainUpTo_ is done again one sample at a time. Short enough that
// the few loud samples cost little, long enough that the test per run does.
constexpr size_t kRun = 32;

uint32_t PlainUpTo(double factor, bool limiterActive) {
  // With an infinite factor (a gain of thousands of dB) even small samples
  // overflow; only exact zeros stay on the plain path, where 0 x inf gives
  // the same NaN as ApplyOne.
  if (!(factor > 0.0) || !std::isfinite(factor)) return 0;
  float most = FLT_MAX;
  if (limiterActive) {
    // The product rounds monotonically, so every |sample| <= most stays
    // within 0.5 once most x factor does. The quotient is within an ulp;
    // stepping down settles the rounding.
    double q = 0.5 / factor;
    most = q < FLT_MAX ? static_cast<float>(q) : FLT_MAX;
    while (most > 0.0f && static_cast<double>(most) * factor > 0.5) most = std::nextafter(most, 0.0f);
  }
  return std::bit_cast<uint32_t>(most);
}

}  // namespace

CGainStage::CGainStage(const CGainDecision& d)
    : factor_(std::pow(10.0, d.gainDb / 20.0)), limiterActive_(d.limiter && d.peak * factor_ > 1.0) {
  plainUpTo_ = PlainUpTo(factor_, limiterActive_);
}

double CGainStage::ApplyOne(double sample) const {
  double y = sample * factor_;
  if (limiterActive_) {
    // Continuous with slope 1 at +-0.5, so quiet passages are untouched.
    if (y > 0.5) {
      y = 0.5 + 0.5 * std::tanh(2.0 * (y - 0.5));
    } else if (y < -0.5) {
      y = -0.5 + 0.5 * std::tanh(2.0 * (y + 0.5));
    }
  }
  return y;
}

void CGainStage::Apply(double* samples, size_t count) const {
  if (IsIdentity()) return;
  for (size_t i = 0; i < count; ++i) samples[i] = ApplyOne(samples[i]);
}

void CGainStage::ApplyToFloatsOneByOne(const float* in, size_t count, double* out) const {
  for (size_t i = 0; i < count; ++i) {
    double v = in[i];
    out[i] = ApplyOne(std::isfinite(v) ? v : 0.0);
  }
}

#if defined(__SSE2__)
namespace {

// Widens and scales `runs` runs of kRun floats. The test for samples that
// need more looks at the upper 16 bits of each magnitude (sign cleared),
// whose largest value in the run one pmaxsw per four samples finds: a
// magnitude beyond plainUpTo has upper bits at least as large as its. Such
// a run is finished sample by sample by `finish`. The constants stay in
// registers across runs; as members they would be loaded again after every
// store to `out`.
template <class Scale, class Finish>
void WidenRuns(const float* in, size_t runs, double* out, uint32_t plainUpTo, Scale scale, Finish finish) {
  const __m128i upperMagnitude = _mm_set1_epi32(0x7FFF0000);
  const __m128i limit = _mm_set1_epi16(static_cast<int16_t>(static_cast<int32_t>(plainUpTo >> 16) - 1));
  for (size_t r = 0; r < runs; ++r, in += kRun, out += kRun) {
    __m128i largest = _mm_setzero_si128();
    for (size_t i = 0; i < kRun; i += 4) {
      // Loaded once: pshufd brings the upper two floats down for cvtps2pd
      // without a register copy.
      __m128 x = _mm_loadu_ps(in + i);
      _mm_storeu_pd(out + i, scale(_mm_cvtps_pd(x)));
      _mm_storeu_pd(out + i + 2, scale(_mm_cvtps_pd(_mm_castsi128_ps(_mm_shuffle_epi32(_mm_castps_si128(x), 0xEE)))));
      largest = _mm_max_epi16(largest, _mm_and_si128(_mm_castps_si128(x), upperMagnitude));
    }
    if (_mm_movemask_epi8(_mm_cmpgt_epi16(largest, limit)) != 0) finish(in, out);
  }
}

#if defined(ZUL_AVX2_PATHS)
// WidenRuns eight floats at a time: the same conversion, product and test
// of the upper magnitude bits, so the same results. Returns the floats done.
template <class Finish>
__attribute__((target("avx2"))) size_t WidenRunsAvx2(const float* in, size_t runs, double* out, uint32_t plainUpTo,
                                                     double factor, Finish finish) {
  const __m256i upperMagnitude = _mm256_set1_epi32(0x7FFF0000);
  const __m256i limit = _mm256_set1_epi16(static_cast<int16_t>(static_cast<int32_t>(plainUpTo >> 16) - 1));
  const __m256d scale = _mm256_set1_pd(factor);
  const bool scaled = factor != 1.0;
  for (size_t r = 0; r < runs; ++r, in += kRun, out += kRun) {
    __m256i largest = _mm256_setzero_si256();
    for (size_t i = 0; i < kRun; i += 8) {
      __m256 x = _mm256_loadu_ps(in + i);
      __m256d lo = _mm256_cvtps_pd(_mm256_castps256_ps128(x));
      __m256d hi = _mm256_cvtps_pd(_mm256_extractf128_ps(x, 1));
      if (scaled) {
        lo = _mm256_mul_pd(lo, scale);
        hi = _mm256_mul_pd(hi, scale);
      }
      _mm256_storeu_pd(out + i, lo);
      _mm256_storeu_pd(out + i + 4, hi);
      largest = _mm256_max_epi16(largest, _mm256_and_si256(_mm256_castps_si256(x), upperMagnitude));
    }
    if (_mm256_movemask_epi8(_mm256_cmpgt_epi16(largest, limit)) != 0) finish(in, out);
  }
  return runs * kRun;
}

bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}
#endif

}  // namespace
#endif

void CGainStage::ApplyToFloats(const float* in, size_t count, double* out) const {
  size_t i = 0;
#if defined(__SSE2__)
  const size_t runs = count / kRun;
  const uint32_t plainUpTo = plainUpTo_;
  // The run was widened and scaled all the same; only the samples beyond
  // plainUpTo need more.
  auto finish = [this, plainUpTo](const float* runIn, double* runOut) {
    for (size_t k = 0; k < kRun; ++k)
      if ((std::bit_cast<uint32_t>(runIn[k]) & 0x7FFFFFFFu) > plainUpTo)
        runOut[k] = ApplyOne(std::isfinite(runIn[k]) ? runIn[k] : 0.0f);
  };
#if defined(ZUL_AVX2_PATHS)
  if (HasAvx2()) {
    i = WidenRunsAvx2(in, runs, out, plainUpTo, factor_, finish);
    ApplyToFloatsOneByOne(in + i, count - i, out + i);
    return;
  }
#endif
  if (factor_ == 1.0) {
    WidenRuns(
        in, runs, out, plainUpTo, [](__m128d v) { return v; }, finish);
  } else {
    const __m128d factor = _mm_set1_pd(factor_);
    WidenRuns(
        in, runs, out, plainUpTo, [factor](__m128d v) { return _mm_mul_pd(v, factor); }, finish);
  }
  i = runs * kRun;
#endif
  ApplyToFloatsOneByOne(in + i, count - i, out + i);
}

}  // namespace zul
