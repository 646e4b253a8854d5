#include "mpeg_input/samples/gain_stage.h"

#include <cmath>

namespace zul {

CGainStage::CGainStage(const CGainDecision& d)
    : factor_(std::pow(10.0, d.gainDb / 20.0)), limiterActive_(d.limiter && d.peak * factor_ > 1.0) {}

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

}  // namespace zul
