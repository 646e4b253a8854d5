#pragma once
// Applies the decided gain to decoded samples, with the soft limiter that
// bends everything beyond +-0.5 towards +-1.0 instead of clipping.
#include <cstddef>

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

private:
  double factor_;
  bool limiterActive_;
};

}  // namespace zul
