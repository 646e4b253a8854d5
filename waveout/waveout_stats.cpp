#include "waveout/waveout_stats.h"

namespace zul {

WaveOutStatsText FormatWaveOutStats(const WaveOutStats& s) {
  using std::to_wstring;
  WaveOutStatsText t;
  t.totalBufferSize = to_wstring(int64_t{s.blockCount} * s.blockSize / 1024) + L" kB (" + to_wstring(s.blockCount) +
                      L" x " + to_wstring(s.blockSize / 1024) + L" kB)";
  t.bufferUsagePercent = s.blockCount > 0 ? s.usedBlocks * 100 / s.blockCount : 0;
  t.usedBlocks = to_wstring(s.usedBlocks) + L"/" + to_wstring(s.blockCount);
  t.bytesWritten = to_wstring(s.bytesWritten);
  t.bytesPlayed = to_wstring(s.bytesPlayed);
  t.latency = to_wstring(s.writtenMs - s.outputMs) + L" ms";
  t.startPosition = to_wstring(s.startMs) + L" ms";
  t.pcmFormat = to_wstring(s.sampleRate) + L" Hz, " + to_wstring(s.bits) + L"bit, " + to_wstring(s.channels) + L"ch";
  t.pcmConversion = s.extensible ? L"Active" : L"(Inactive)";
  return t;
}

}  // namespace zul
