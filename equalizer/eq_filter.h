#pragma once
// The equalizer filter: 8191-tap linear-phase FIR per channel, applied by
// 16384-point FFT block convolution with overlap-add, in place on interleaved
// 8-bit (unsigned, around 128), 16-bit or 24-bit (packed little-endian) PCM.
// Output lags input by kEqLatency frames whether filtering is on or off.
//
// Threads: Process and Clear on the audio thread only (one at a time).
// BuildTables on any thread; builds are serialised by buildMutex and never
// block Process, which picks up new tables at the start of a call (see
// eq_tables.h). SetEnabled / SetDither from any thread (atomics, read once
// per call). Nothing on the audio path allocates.
#include <atomic>
#include <complex>
#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

#include "equalizer/eq_design.h"
#include "equalizer/eq_fft.h"
#include "equalizer/eq_param.h"
#include "equalizer/eq_tables.h"

namespace zul {

class CEqFilter {
public:
  // Allocates every buffer; both table copies start as the flat response.
  CEqFilter();

  // Designs both channels for `rate` and hands the tables to the audio path.
  // False, leaving the current tables, for a rate <= 0 or gains that make the
  // response non-finite. `left` and `right` hold kEqBands linear gains.
  bool BuildTables(const double* left, const double* right, std::span<const EqParam> params, int rate);
  // Lets designs for up to `count` records run without allocating.
  void ReserveParams(size_t count);

  void Clear();
  // Filters `frames` frames in place; other formats are left untouched.
  // Returns `frames`.
  int Process(void* buffer, int frames, int channels, int bits);

  void SetEnabled(bool on) { enabled.store(on, std::memory_order_relaxed); }
  bool Enabled() const { return enabled.load(std::memory_order_relaxed); }
  void SetDither(bool on) { dither.store(on, std::memory_order_relaxed); }
  bool Dither() const { return dither.load(std::memory_order_relaxed); }

private:
  template <int Bits>
  void Exchange(uint8_t* buffer, int firstFrame, int count, int channels, bool withDither);
  void FilterBlock(int channels, bool filtering, int tableCopy);
  int32_t ToSample(double s, int bits, bool withDither);

  // Build side (buildMutex).
  std::mutex buildMutex;
  CEqDesigner designer;
  std::vector<std::complex<double>> staged[kEqMaxChannels];
  CEqTables tables;

  // Audio side.
  CRealFft fft;
  std::vector<int32_t> block[kEqMaxChannels];       // kEqTaps input samples
  std::vector<double> accumulator[kEqMaxChannels];  // kEqFftSize, overlap-add state
  std::vector<double> timeBuffer;                   // kEqFftSize, zero beyond kEqTaps
  std::vector<double> resultBuffer;
  std::vector<std::complex<double>> bins;
  int fill = 0;

  std::vector<float> noise;  // dither noise, uniform in [-0.5, 0.5]
  uint32_t noiseIndex = 0;
  double ditherError = 0;

  std::atomic<bool> enabled{false};
  std::atomic<bool> dither{false};
};

}  // namespace zul
