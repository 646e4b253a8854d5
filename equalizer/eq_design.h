#pragma once
// Design of the equalizer's linear-phase FIR filter: a Kaiser-windowed sum of
// ideal low-pass responses, one step per change of gain between adjacent
// segments of the spectrum.
//
// Threads: a CEqDesigner is used by one thread at a time (it owns scratch
// buffers and an FFT plan); the filter serialises its builds.
#include <complex>
#include <memory>
#include <span>
#include <vector>

#include "equalizer/eq_fft.h"
#include "equalizer/eq_param.h"

namespace zul {

inline constexpr double kEqStopbandDb = 96.0;
inline constexpr int kEqBesselTerms = 15;

double KaiserBeta(double attenuationDb);
// Modified Bessel function of the first kind, order 0, by its power series.
double BesselI0(double x);

struct EqSegment {
  double lower = 0;
  double upper = 0;
  double gain = 1;
};

// Segments needed for the 18 bands plus `paramCount` records (each record
// splits at most two segments).
inline size_t EqSegmentCapacity(size_t paramCount) { return kEqBands + 2 * paramCount; }

// The channel's (0 = left, 1 = right) ordered, contiguous segment list: the
// 18 bands with their gains, then every record flagged for the channel. `out`
// is overwritten; it does not allocate when its capacity is EqSegmentCapacity.
void BuildEqSegments(const double* gains, std::span<const EqParam> params, int channel, double rate,
                     std::vector<EqSegment>& out);

class CEqDesigner {
public:
  CEqDesigner();

  // Makes room for this many records so that later designs do not allocate
  // (the audio thread designs on a change of sample rate).
  void Reserve(size_t paramCount);

  // kEqTaps taps of the channel's filter; tap kEqHalfTaps is the centre.
  void DesignTaps(const double* gains, std::span<const EqParam> params, int channel, double rate, double* taps);

  // kEqBins bins of the filter's spectrum, already scaled by 1/kEqFftSize so
  // that forward transform, product and inverse transform give unit gain.
  // False (and `spectrum` unspecified) when the gains make it non-finite.
  bool DesignSpectrum(const double* gains, std::span<const EqParam> params, int channel, double rate,
                      std::complex<double>* spectrum);

private:
  std::vector<double> window;  // w(n) for n = 0..kEqHalfTaps; the window is symmetric
  std::vector<EqSegment> segments;
  std::vector<double> edges;   // cut-offs of the low-pass steps
  std::vector<double> steps;   // their weights
  std::vector<double> padded;  // kEqFftSize taps, zero beyond kEqTaps
  CRealFft fft;
};

}  // namespace zul
