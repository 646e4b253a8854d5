#include "mpeg_input/samples/channel_process.h"

#include <algorithm>
#include <utility>

namespace zul {
namespace {

// Values come from the INI file and from plug-ins: out of range, the pan
// formula would turn a channel's phase over instead of silencing it.
int ClampVolume(int v) { return std::clamp(v, 0, 255); }
int ClampPan(int p) { return std::clamp(p, -127, 127); }

}  // namespace

void ProcessStereo(double* s, size_t frames, const CChannelOptions& o) {
  const int v = ClampVolume(o.moduleVolume);
  const int p = ClampPan(o.pan);
  const bool scale = o.volume && (v != 255 || p != 0);
  const double left = scale ? v * (p <= 0 ? 127.0 : 127.0 - p) / 32385.0 : 1.0;
  const double right = scale ? v * (p < 0 ? 127.0 + p : 127.0) / 32385.0 : 1.0;
  for (size_t i = 0; i < frames; ++i, s += 2) {
    if (o.reverseLR) std::swap(s[0], s[1]);
    if (o.reversePhase) {
      s[0] = -s[0];
      s[1] = -s[1];
    }
    if (scale) {
      s[0] *= left;
      s[1] *= right;
    }
  }
}

void ProcessMono(double* s, size_t frames, const CChannelOptions& o) {
  const int v = ClampVolume(o.moduleVolume);
  const bool scale = o.volume && v != 255;
  const double factor = v / 255.0;
  for (size_t i = 0; i < frames; ++i) {
    if (o.reversePhase) s[i] = -s[i];
    if (scale) s[i] *= factor;
  }
}

}  // namespace zul
