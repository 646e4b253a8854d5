#pragma once
// The output module's settings: six 32-bit integers stored as one binary
// record ("out_ivwave", "config") in the program's settings file.
#include <cstdint>

namespace zul {

struct WaveOutSettings {
  int32_t blockCount = 20;
  int32_t blockSize = 8192;
  int32_t volumeControl = 1;   // 1: SetVolume/SetPan drive the device volume
  int32_t reverseBalance = 0;  // 1: left and right volume words swapped
  int32_t device = -1;         // waveOut device index; -1 is the wave mapper
  int32_t pcmConversion = 1;   // 1: retry a refused PCM format as an extensible one
};
// The stored record is exactly these six integers; other sizes are refused
// by the profile functions and load as the defaults.
static_assert(sizeof(WaveOutSettings) == 24);

inline constexpr int kMinBlockCount = 2;
inline constexpr int kMaxBlockCount = 50;
inline constexpr int kMinBlockSize = 1024;
inline constexpr int kMaxBlockSize = 65536;
inline constexpr int kWaveMapperDevice = -1;

// Block count and size clamped to their ranges; a device index that is not
// one of the deviceCount devices becomes the wave mapper. The switches are
// kept as stored.
WaveOutSettings ValidateWaveOutSettings(WaveOutSettings s, int deviceCount);

}  // namespace zul
