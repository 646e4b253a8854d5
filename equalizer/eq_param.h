#pragma once
// Constants of the equalizer and the extra range adjustment record shared by
// the filter and the equalizer window.
#include <array>

namespace zul {

inline constexpr int kEqBands = 18;
inline constexpr int kEqTaps = 8191;                      // filter length N, odd so the filter is symmetric
inline constexpr int kEqHalfTaps = kEqTaps / 2;           // 4095, the filter's own delay
inline constexpr int kEqFftSize = 16384;                  // T >= 2N - 1, so circular = linear convolution
inline constexpr int kEqBins = kEqFftSize / 2 + 1;        // spectrum length of the real transform
inline constexpr int kEqLatency = kEqTaps + kEqHalfTaps;  // 12286 frames from input to output
inline constexpr int kEqMaxChannels = 2;
inline constexpr int kEqMaxCut = 96;  // a slider value of 96 means "off", not -96 dB

// Upper edges of bands 0..16 (half-octave steps). They are the 32-bit float
// values the presets were tuned with; band 17 runs up to the sample rate.
inline constexpr std::array<float, kEqBands - 1> kEqBandEdges = {
    65.406395f, 92.498604f, 130.81277f, 184.99721f, 261.62558f, 369.99442f, 523.25116f, 739.9884f, 1046.5023f,
    1479.9768f, 2093.0044f, 2959.9536f, 4186.0093f, 5919.9072f, 8372.0186f, 11839.814f, 16744.035f};

// Label frequencies of the bands, shown by the equalizer window.
inline constexpr std::array<int, kEqBands> kEqBandLabels = {55,   77,   110,  156,  220,  311,  440,  622,   880,
                                                            1244, 1760, 2489, 3520, 4978, 7040, 9956, 14080, 19912};

// One extra adjustment: the range [lower, upper) of the channels flagged is
// multiplied by 10^(gain/20). Records with lower >= upper have no effect.
struct EqParam {
  float lower = 0;
  float upper = 0;
  float gain = 0;  // dB, positive boosts
  unsigned char left = 1;
  unsigned char right = 1;
};

// Linear factor of a slider value (dB of cut): 0 is unity, 96 is silence.
double EqCutFactor(int value);

}  // namespace zul
