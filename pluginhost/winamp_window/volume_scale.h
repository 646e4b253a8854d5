#pragma once
// Volume scaling between the mixer's range and the Winamp volume 0..255.
#include <cstdint>

namespace zul {

int MixerToVolume(uint32_t largest, uint32_t minimum, uint32_t maximum);
// A result of 0 becomes a thousandth of the range, so the lowest volume is
// not a full mute.
uint32_t VolumeToMixer(int volume, uint32_t minimum, uint32_t maximum);

}  // namespace zul
