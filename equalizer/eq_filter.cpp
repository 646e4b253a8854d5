#include "equalizer/eq_filter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace zul {
namespace {

constexpr int kNoiseSize = 65536;

// The noise table is fixed by the generator of the C runtime the program was
// first written for (seed 1, 15-bit results), reproduced here so that both
// builds dither identically whatever the host's rand() is.
std::vector<float> MakeNoise() {
  std::vector<float> noise(kNoiseSize);
  uint32_t seed = 1;
  for (float& n : noise) {
    seed = seed * 214013u + 2531011u;
    const int r = static_cast<int>((seed >> 16) & 0x7fff);
    n = static_cast<float>(r / 32767.0 - 0.5);
  }
  return noise;
}

// Half away from zero; `s` must be within int range.
inline int32_t Round(double s) { return static_cast<int32_t>(s >= 0 ? s + 0.5 : s - 0.5); }

// NaN becomes 0 rather than undefined behaviour in the int conversion.
inline double Clamp(double s, double lo, double hi) {
  if (!(s >= lo)) return s < lo ? lo : 0.0;
  return s > hi ? hi : s;
}

template <int Bits>
constexpr int kBytes = Bits / 8;

template <int Bits>
inline int32_t ReadSample(const uint8_t* p) {
  if constexpr (Bits == 8) {
    return static_cast<int32_t>(p[0]) - 128;
  } else if constexpr (Bits == 16) {
    int16_t v;
    std::memcpy(&v, p, 2);
    return v;
  } else {
    const uint32_t u = p[0] | (p[1] << 8) | (static_cast<uint32_t>(p[2]) << 16);
    return static_cast<int32_t>(u << 8) >> 8;  // sign-extend bit 23
  }
}

template <int Bits>
inline void WriteSample(uint8_t* p, int32_t v) {
  if constexpr (Bits == 8) {
    p[0] = static_cast<uint8_t>(v + 128);
  } else if constexpr (Bits == 16) {
    const int16_t s = static_cast<int16_t>(v);
    std::memcpy(p, &s, 2);
  } else {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
  }
}

}  // namespace

CEqFilter::CEqFilter()
    : fft(kEqFftSize), timeBuffer(kEqFftSize, 0.0), resultBuffer(kEqFftSize, 0.0), bins(kEqBins), noise(MakeNoise()) {
  for (int ch = 0; ch < kEqMaxChannels; ++ch) {
    staged[ch].assign(kEqBins, {});
    block[ch].assign(kEqTaps, 0);
    accumulator[ch].assign(kEqFftSize, 0.0);
  }
  // Equal gains design an exact delayed impulse at any rate.
  double flat[kEqBands];
  std::fill(std::begin(flat), std::end(flat), 1.0);
  for (int copy = 0; copy < 2; ++copy)
    for (int ch = 0; ch < kEqMaxChannels; ++ch) designer.DesignSpectrum(flat, {}, ch, 44100, tables.Table(copy, ch));
}

void CEqFilter::ReserveParams(size_t count) {
  std::lock_guard lock(buildMutex);
  designer.Reserve(count);
}

bool CEqFilter::BuildTables(const double* left, const double* right, std::span<const EqParam> params, int rate) {
  if (rate <= 0) return false;
  std::lock_guard lock(buildMutex);
  // Design into staging buffers first: a failed design must not leave a
  // withdrawn publication half overwritten.
  if (!designer.DesignSpectrum(left, params, 0, rate, staged[0].data()) ||
      !designer.DesignSpectrum(right, params, 1, rate, staged[1].data()))
    return false;
  const int copy = tables.BeginWrite();
  for (int ch = 0; ch < kEqMaxChannels; ++ch) std::copy(staged[ch].begin(), staged[ch].end(), tables.Table(copy, ch));
  tables.Publish(copy);
  return true;
}

void CEqFilter::Clear() {
  fill = 0;
  for (auto& acc : accumulator) std::fill(acc.begin(), acc.end(), 0.0);
}

int32_t CEqFilter::ToSample(double s, int bits, bool withDither) {
  const double lo = -static_cast<double>(1 << (bits - 1));
  const double hi = static_cast<double>((1 << (bits - 1)) - 1);
  if (!withDither) return Round(Clamp(s, lo, hi));
  const double u = s - ditherError;
  const double v = Clamp(u + noise[noiseIndex++ & (kNoiseSize - 1)], lo - 1, hi + 1);
  const int32_t r = Round(v);
  // The carried error is the rounding error alone. Measured after clipping it
  // would grow by the overshoot on every clipped sample and keep pushing the
  // signal long after the clipping ends.
  const double e = r - u;
  ditherError = (e >= -1 && e <= 1) ? e : 0.0;
  return std::clamp(r, static_cast<int32_t>(lo), static_cast<int32_t>(hi));
}

template <int Bits>
void CEqFilter::Exchange(uint8_t* buffer, int firstFrame, int count, int channels, bool withDither) {
  uint8_t* p = buffer + static_cast<size_t>(firstFrame) * channels * kBytes<Bits>;
  for (int f = fill; f < fill + count; ++f) {
    for (int ch = 0; ch < channels; ++ch, p += kBytes<Bits>) {
      block[ch][f] = ReadSample<Bits>(p);
      WriteSample<Bits>(p, ToSample(accumulator[ch][f], Bits, withDither));
    }
  }
}

void CEqFilter::FilterBlock(int channels, bool filtering, int tableCopy) {
  constexpr int kTail = kEqFftSize - kEqTaps;
  for (int ch = 0; ch < channels; ++ch) {
    double* acc = accumulator[ch].data();
    std::memmove(acc, acc + kEqTaps, kTail * sizeof(double));
    const int32_t* in = block[ch].data();
    if (filtering) {
      // timeBuffer beyond kEqTaps stays zero from construction.
      for (int i = 0; i < kEqTaps; ++i) timeBuffer[i] = in[i];
      fft.Forward(timeBuffer.data(), bins.data());
      const std::complex<double>* h = tables.Table(tableCopy, ch);
      for (int k = 0; k < kEqBins; ++k) {
        // Written out: std::complex's operator* takes a slow NaN-checking path.
        const double re = bins[k].real() * h[k].real() - bins[k].imag() * h[k].imag();
        const double im = bins[k].real() * h[k].imag() + bins[k].imag() * h[k].real();
        bins[k] = {re, im};
      }
      fft.Inverse(bins.data(), resultBuffer.data());
      const double* out = resultBuffer.data();
      for (int i = 0; i < kEqTaps; ++i) acc[i] += out[i];
      for (int i = kEqTaps; i < kEqFftSize; ++i) acc[i] = out[i];
    } else {
      // The same result for a pure delay of kEqHalfTaps, without transforms,
      // so switching the filter on or off keeps the timing.
      for (int i = kEqHalfTaps; i < kEqTaps; ++i) acc[i] += in[i - kEqHalfTaps];
      for (int i = kEqTaps; i < kEqTaps + kEqHalfTaps; ++i) acc[i] = in[i - kEqHalfTaps];
      for (int i = kEqTaps + kEqHalfTaps; i < kEqFftSize; ++i) acc[i] = 0.0;
    }
  }
}

int CEqFilter::Process(void* buffer, int frames, int channels, int bits) {
  if (!buffer || frames <= 0 || channels < 1 || channels > kEqMaxChannels) return frames;
  if (bits != 8 && bits != 16 && bits != 24) return frames;
  const int tableCopy = tables.TakeForAudio();
  const bool filtering = Enabled();
  const bool withDither = bits != 24 && Dither();
  auto* bytes = static_cast<uint8_t*>(buffer);

  auto exchange = [&](int first, int count) {
    switch (bits) {
      case 8:
        Exchange<8>(bytes, first, count, channels, withDither);
        break;
      case 16:
        Exchange<16>(bytes, first, count, channels, withDither);
        break;
      default:
        Exchange<24>(bytes, first, count, channels, withDither);
        break;
    }
  };

  int done = 0;
  while (frames - done >= kEqTaps - fill) {
    const int count = kEqTaps - fill;
    exchange(done, count);
    done += count;
    fill = 0;
    FilterBlock(channels, filtering, tableCopy);
  }
  exchange(done, frames - done);
  fill += frames - done;
  return frames;
}

}  // namespace zul
