#pragma once
// What the preferences page's "Statistics" group shows, as a snapshot taken
// on the main thread, and its texts.
#include <cstdint>
#include <string>

namespace zul {

struct WaveOutStats {
  bool open = false;
  int blockCount = 0;
  int blockSize = 0;
  int usedBlocks = 0;  // blocks with the device
  int64_t bytesWritten = 0;
  int64_t bytesPlayed = 0;
  int writtenMs = 0;
  int outputMs = 0;
  int startMs = 0;
  int sampleRate = 0;
  int bits = 0;
  int channels = 0;
  bool extensible = false;
};

struct WaveOutStatsText {
  std::wstring totalBufferSize;  // "%d kB (%d x %d kB)"
  int bufferUsagePercent = 0;    // the usage bar
  std::wstring usedBlocks;       // "%d/%d"
  std::wstring bytesWritten;
  std::wstring bytesPlayed;
  std::wstring latency;  // "%d ms": written time - output time
  std::wstring startPosition;
  std::wstring pcmFormat;      // "%d Hz, %dbit, %dch"
  std::wstring pcmConversion;  // "Active" / "(Inactive)"
};

WaveOutStatsText FormatWaveOutStats(const WaveOutStats& s);

}  // namespace zul
