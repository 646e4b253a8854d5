#pragma once
// SupZero: drops the silent frames a decoder puts out before the music
// starts, at the start of playback and after each seek.
#include <cstddef>

namespace zul {

class CZeroSuppressor {
public:
  // Called at Play and after every seek.
  void Arm() { armed_ = true; }
  bool Armed() const { return armed_; }

  // Removes the leading frames of `frames` interleaved frames of `channels`
  // doubles whose bytes are all zero (-0.0 is not: its sign bit is set),
  // moving the rest to the front. The first frame with a non-zero byte
  // disarms. Returns the number of frames dropped; the caller advances its
  // clock by them.
  size_t Drop(double* samples, size_t frames, int channels);

private:
  bool armed_ = false;
};

}  // namespace zul
