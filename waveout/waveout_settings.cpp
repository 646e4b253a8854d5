#include "waveout/waveout_settings.h"

#include <algorithm>

namespace zul {

WaveOutSettings ValidateWaveOutSettings(WaveOutSettings s, int deviceCount) {
  s.blockCount = std::clamp(s.blockCount, kMinBlockCount, kMaxBlockCount);
  s.blockSize = std::clamp(s.blockSize, kMinBlockSize, kMaxBlockSize);
  if (s.device < kWaveMapperDevice || s.device >= deviceCount) s.device = kWaveMapperDevice;
  return s;
}

}  // namespace zul
