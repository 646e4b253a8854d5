#pragma once
// The channel options of the MPEG input: swapped channels, inverted phase
// and the "alternate volume" method that scales the samples by the module's
// own volume and pan.
#include <cstddef>

namespace zul {

struct CChannelOptions {
  bool reverseLR = false;     // ReverseLR
  bool reversePhase = false;  // ReversePhase
  bool volume = false;        // Volume
  int moduleVolume = 255;     // 0..255, from SetVolume
  int pan = 0;                // -127 (left) .. 127 (right), XPan

  bool AnyOn() const { return reverseLR || reversePhase || volume; }
};

// Interleaved left/right frames, in place.
void ProcessStereo(double* samples, size_t frames, const CChannelOptions& options);
void ProcessMono(double* samples, size_t frames, const CChannelOptions& options);

}  // namespace zul
