#include "tests/waveout/tone_analysis.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zul::test {

std::vector<double> Channel(const std::vector<int16_t>& interleaved, int channels, int channel) {
  std::vector<double> x(interleaved.size() / channels);
  for (size_t i = 0; i < x.size(); ++i) x[i] = interleaved[i * channels + channel] / 32768.0;
  return x;
}

std::vector<Span> FindSounds(const std::vector<double>& x, double threshold, size_t minGap) {
  std::vector<Span> spans;
  bool inSound = false;
  size_t lastLoud = 0;
  for (size_t i = 0; i < x.size(); ++i) {
    if (std::abs(x[i]) <= threshold) continue;
    if (inSound && i - lastLoud > minGap) {
      spans.back().end = lastLoud + 1;
      inSound = false;
    }
    if (!inSound) {
      spans.push_back({i, i + 1});
      inSound = true;
    }
    lastLoud = i;
  }
  if (inSound) spans.back().end = lastLoud + 1;
  return spans;
}

size_t LongestQuietRun(const std::vector<double>& x, Span span, double threshold) {
  size_t longest = 0, run = 0;
  for (size_t i = span.begin; i < span.end && i < x.size(); ++i) {
    run = std::abs(x[i]) < threshold ? run + 1 : 0;
    longest = std::max(longest, run);
  }
  return longest;
}

double RmsDb(const std::vector<double>& x, Span span) {
  double sum = 0;
  for (size_t i = span.begin; i < span.end; ++i) sum += x[i] * x[i];
  if (span.Length() == 0 || sum == 0) return -400;
  return 10 * std::log10(sum / span.Length());
}

double ToneDb(const std::vector<double>& x, Span span, double frequency, int rate) {
  // Goertzel, with a Hann window so that a span that is not a whole number
  // of periods does not leak the tone's level away.
  const size_t n = span.Length();
  if (n < 2) return -400;
  const double w = 2 * std::numbers::pi * frequency / rate;
  const double coeff = 2 * std::cos(w);
  double s1 = 0, s2 = 0, windowSum = 0;
  for (size_t i = 0; i < n; ++i) {
    const double hann = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / (n - 1));
    windowSum += hann;
    const double s0 = x[span.begin + i] * hann + coeff * s1 - s2;
    s2 = s1;
    s1 = s0;
  }
  const double power = s1 * s1 + s2 * s2 - coeff * s1 * s2;
  const double amplitude = 2 * std::sqrt(std::max(power, 0.0)) / windowSum;
  if (amplitude == 0) return -400;
  return 20 * std::log10(amplitude / std::sqrt(2.0));
}

double ZeroCrossingFrequency(const std::vector<double>& x, Span span, int rate) {
  size_t first = 0, last = 0, count = 0;
  for (size_t i = span.begin + 1; i < span.end; ++i) {
    if (x[i - 1] < 0 && x[i] >= 0) {
      if (count == 0) first = i;
      last = i;
      ++count;
    }
  }
  if (count < 2) return 0;
  return static_cast<double>(count - 1) * rate / static_cast<double>(last - first);
}

double PeakAbs(const std::vector<double>& x) {
  double peak = 0;
  for (double v : x) peak = std::max(peak, std::abs(v));
  return peak;
}

double PeakAbs(const std::vector<double>& x, Span span) {
  double peak = 0;
  for (size_t i = span.begin; i < span.end && i < x.size(); ++i) peak = std::max(peak, std::abs(x[i]));
  return peak;
}

Span Inner(Span s, size_t margin) {
  if (s.Length() <= 2 * margin) return {s.begin, s.begin};
  return {s.begin + margin, s.end - margin};
}

std::vector<int16_t> Sine(double frequency, double amplitude, int rate, int channels, size_t frames,
                          size_t phaseOffset) {
  std::vector<int16_t> out(frames * channels);
  for (size_t i = 0; i < frames; ++i) {
    const double v = amplitude * std::sin(2 * std::numbers::pi * frequency * double(i + phaseOffset) / rate);
    const auto s = static_cast<int16_t>(std::lround(std::clamp(v, -1.0, 32767.0 / 32768) * 32768));
    for (int c = 0; c < channels; ++c) out[i * channels + c] = s;
  }
  return out;
}

}  // namespace zul::test
