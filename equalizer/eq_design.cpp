#include "equalizer/eq_design.h"

#include <cmath>
#include <numbers>

namespace zul {

double EqCutFactor(int value) {
  if (value >= kEqMaxCut) return 0.0;
  return std::pow(10.0, -value / 20.0);
}

double KaiserBeta(double attenuationDb) {
  if (attenuationDb <= 21) return 0.0;
  if (attenuationDb <= 50) return 0.5842 * std::pow(attenuationDb - 21, 0.4) + 0.07886 * (attenuationDb - 21);
  return 0.1102 * (attenuationDb - 8.7);
}

double BesselI0(double x) {
  double sum = 1.0;
  double term = 1.0;  // (x/2)^m / m!
  for (int m = 1; m <= kEqBesselTerms; ++m) {
    term *= (x / 2) / m;
    sum += term * term;
  }
  return sum;
}

void BuildEqSegments(const double* gains, std::span<const EqParam> params, int channel, double rate,
                     std::vector<EqSegment>& out) {
  out.clear();
  double lower = 0;
  for (int i = 0; i < kEqBands; ++i) {
    double upper = i < kEqBands - 1 ? static_cast<double>(kEqBandEdges[i]) : rate;
    out.push_back({lower, upper, gains[i]});
    lower = upper;
  }
  for (const EqParam& p : params) {
    if (!(channel == 0 ? p.left : p.right)) continue;
    const double from = p.lower, to = p.upper;
    // Non-finite values would poison every tap; NaN also fails the order test.
    if (!(from < to) || !std::isfinite(from) || !std::isfinite(to)) continue;
    const double g = std::pow(10.0, static_cast<double>(p.gain) / 20.0);
    if (!std::isfinite(g)) continue;

    size_t i = 0;
    while (i < out.size() && !(out[i].upper > from)) ++i;
    while (i < out.size() && out[i].lower < to) {
      const EqSegment s = out[i];
      const bool below = s.lower < from;
      const bool above = s.upper > to;
      if (below && above) {
        out[i].upper = from;
        out.insert(out.begin() + i + 1, {{from, to, s.gain * g}, {to, s.upper, s.gain}});
        i += 3;
      } else if (below) {
        out[i].upper = from;
        out.insert(out.begin() + i + 1, {from, s.upper, s.gain * g});
        i += 2;
      } else if (above) {
        out[i] = {s.lower, to, s.gain * g};
        out.insert(out.begin() + i + 1, {to, s.upper, s.gain});
        i += 2;
      } else {
        out[i].gain *= g;
        ++i;
      }
    }
  }
}

CEqDesigner::CEqDesigner() : window(kEqHalfTaps + 1), padded(kEqFftSize, 0.0), fft(kEqFftSize) {
  const double beta = KaiserBeta(kEqStopbandDb);
  const double norm = BesselI0(beta);
  const double span = kEqTaps - 1;
  for (int n = 0; n <= kEqHalfTaps; ++n) {
    const double r = 1.0 - 4.0 * n * n / (span * span);
    window[n] = BesselI0(beta * std::sqrt(r < 0 ? 0 : r)) / norm;
  }
  Reserve(0);
}

void CEqDesigner::Reserve(size_t paramCount) {
  const size_t n = EqSegmentCapacity(paramCount);
  segments.reserve(n);
  edges.reserve(n);
  steps.reserve(n);
}

void CEqDesigner::DesignTaps(const double* gains, std::span<const EqParam> params, int channel, double rate,
                             double* taps) {
  BuildEqSegments(gains, params, channel, rate, segments);

  // The response is g0 * lpf(u0) + sum of g_k * (lpf(u_k) - lpf(u_k-1)) up to
  // the segment holding the Nyquist frequency, which takes the remainder
  // delta - lpf(u_last): everything above it follows that segment's gain and
  // later segments have no effect. Summed per edge it is sum of
  // (g_k - g_k+1) * lpf(u_k) + g_stop * delta, so equal neighbours cost
  // nothing and an all-equal list is an exact scaled impulse.
  const double nyquist = rate / 2;
  size_t stop = 0;
  while (stop + 1 < segments.size() && segments[stop].upper < nyquist) ++stop;
  edges.clear();
  steps.clear();
  for (size_t k = 0; k < stop; ++k) {
    const double weight = segments[k].gain - segments[k + 1].gain;
    if (weight == 0) continue;
    edges.push_back(2 * std::numbers::pi * segments[k].upper / rate);
    steps.push_back(weight);
  }
  const double impulse = segments[stop].gain;

  // lpf(n, f) = 2f/fs * sinc(2 pi f n / fs) = sin(w n) / (pi n) with w = 2 pi f / fs.
  double centre = impulse;
  for (size_t k = 0; k < edges.size(); ++k) centre += steps[k] * edges[k] / std::numbers::pi;
  taps[kEqHalfTaps] = centre * window[0];
  for (int n = 1; n <= kEqHalfTaps; ++n) {
    double h = 0;
    for (size_t k = 0; k < edges.size(); ++k) h += steps[k] * std::sin(edges[k] * n);
    const double tap = h / (std::numbers::pi * n) * window[n];
    taps[kEqHalfTaps + n] = tap;
    taps[kEqHalfTaps - n] = tap;
  }
}

bool CEqDesigner::DesignSpectrum(const double* gains, std::span<const EqParam> params, int channel, double rate,
                                 std::complex<double>* spectrum) {
  DesignTaps(gains, params, channel, rate, padded.data());
  fft.Forward(padded.data(), spectrum);
  const double scale = 1.0 / kEqFftSize;
  for (int i = 0; i < kEqBins; ++i) {
    spectrum[i] *= scale;
    if (!std::isfinite(spectrum[i].real()) || !std::isfinite(spectrum[i].imag())) return false;
  }
  return true;
}

}  // namespace zul
