#include "pluginhost/winamp_window/volume_scale.h"

#include <algorithm>

namespace zul {

int MixerToVolume(uint32_t largest, uint32_t minimum, uint32_t maximum) {
  if (maximum <= minimum) return 0;
  largest = std::clamp(largest, minimum, maximum);
  return static_cast<int>(static_cast<uint64_t>(largest - minimum) * 255 / (maximum - minimum));
}

uint32_t VolumeToMixer(int volume, uint32_t minimum, uint32_t maximum) {
  volume = std::clamp(volume, 0, 255);
  const uint32_t range = maximum - minimum;
  uint32_t value = minimum + static_cast<uint32_t>(static_cast<uint64_t>(range) * static_cast<uint32_t>(volume) / 255);
  return value == 0 ? range / 1000 : value;
}

}  // namespace zul
