#pragma once
// Measurements on recorded or generated test tones: where the sound is,
// its level, its frequency, and gaps inside it. Plain C++, so the
// measurements themselves are checked natively (tone_analysis_test.cpp).
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zul::test {

// One channel of interleaved 16-bit audio, scaled to -1..1.
std::vector<double> Channel(const std::vector<int16_t>& interleaved, int channels, int channel);

// A stretch of sound [begin, end) in samples.
struct Span {
  size_t begin = 0;
  size_t end = 0;
  size_t Length() const { return end - begin; }
};

// Stretches where |x| exceeds threshold, split wherever it stays below the
// threshold for at least minGap samples.
std::vector<Span> FindSounds(const std::vector<double>& x, double threshold, size_t minGap);

// Longest run of samples with |x| below threshold inside the span: a sine
// dips below a tenth of its amplitude for a sample or two at each zero
// crossing; a dropout is a run far longer.
size_t LongestQuietRun(const std::vector<double>& x, Span span, double threshold);

double RmsDb(const std::vector<double>& x, Span span);  // dBFS, -400 for silence
// RMS level of the component at `frequency` (Goertzel over the span), dBFS.
double ToneDb(const std::vector<double>& x, Span span, double frequency, int rate);
// Frequency from the count of rising zero crossings over the span.
double ZeroCrossingFrequency(const std::vector<double>& x, Span span, int rate);
double PeakAbs(const std::vector<double>& x);
double PeakAbs(const std::vector<double>& x, Span span);

// The middle of a span, without `margin` samples at each end.
Span Inner(Span s, size_t margin);

// Interleaved 16-bit sine frames (every channel the same).
std::vector<int16_t> Sine(double frequency, double amplitude, int rate, int channels, size_t frames,
                          size_t phaseOffset = 0);

}  // namespace zul::test
