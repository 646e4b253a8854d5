#pragma once
// Applies the decided gain to decoded samples, with the soft limiter that
// bends everything beyond +-0.5 towards +-1.0 instead of clipping.
#include <cstddef>
#include <cstdint>

#include "mpeg_input/samples/replay_gain.h"

namespace zul {

class CGainStage {
public:
  explicit CGainStage(const CGainDecision& decision);

  double Factor() const { return factor_; }
  bool LimiterActive() const { return limiterActive_; }
  // True when Apply leaves every sample as it is.
  bool IsIdentity() const { return factor_ == 1.0 && !limiterActive_; }

  double ApplyOne(double sample) const;
  void Apply(double* samples, size_t count) const;

  // The decoder's 32-bit floats widened with the gain applied:
  // out[i] = ApplyOne(in[i]), where a non-finite in[i] (only damaged frames
  // give one) counts as 0. Equal to that to the bit, but most samples take
  // a path that needs no per-sample test.
  void ApplyToFloats(const float* in, size_t count, double* out) const;

private:
  void ApplyToFloatsOneByOne(const float* in, size_t count, double* out) const;

  double factor_;
  bool limiterActive_;
  // The bits of the largest |sample| (a float >= 0) that ApplyToFloats may
  // widen and scale without looking at it again: finite, and with the
  // limiter active, not taken beyond +-0.5 by the gain. Float bit patterns
  // of non-negative values sort like the values, and NaN and infinities
  // sort above every finite value.
  uint32_t plainUpTo_ = 0;
};

}  // namespace zul
