// Settings validation, time arithmetic, the device volume word and the
// statistics texts of the output module.
#include <gtest/gtest.h>

#include "waveout/waveout_settings.h"
#include "waveout/waveout_stats.h"
#include "waveout/waveout_time.h"

namespace zul {
namespace {

TEST(WaveOutSettings, StoredValuesAreClampedToWhatTheMachineHas) {
  struct Case {
    WaveOutSettings stored;
    int devices;
    WaveOutSettings expected;
  };
  const Case cases[] = {
      {{1, 8192, 1, 0, -1, 1}, 2, {2, 8192, 1, 0, -1, 1}},
      {{60, 8192, 1, 0, -1, 1}, 2, {50, 8192, 1, 0, -1, 1}},
      {{20, 100, 1, 0, -1, 1}, 2, {20, 1024, 1, 0, -1, 1}},
      {{20, 1 << 20, 1, 0, -1, 1}, 2, {20, 65536, 1, 0, -1, 1}},
      {{-5, -5, 0, 1, 7, 0}, 2, {2, 1024, 0, 1, -1, 0}},
      {{20, 8192, 1, 0, 1, 1}, 2, {20, 8192, 1, 0, 1, 1}},
      {{20, 8192, 1, 0, 2, 1}, 2, {20, 8192, 1, 0, -1, 1}},
      {{20, 8192, 1, 0, -2, 1}, 2, {20, 8192, 1, 0, -1, 1}},
      {{20, 8192, 1, 0, 0, 1}, 0, {20, 8192, 1, 0, -1, 1}},
      {{2, 1024, 1, 0, 0, 1}, 1, {2, 1024, 1, 0, 0, 1}},
      {{50, 65536, 1, 0, -1, 1}, 1, {50, 65536, 1, 0, -1, 1}},
  };
  for (const Case& c : cases) {
    WaveOutSettings v = ValidateWaveOutSettings(c.stored, c.devices);
    EXPECT_EQ(v.blockCount, c.expected.blockCount);
    EXPECT_EQ(v.blockSize, c.expected.blockSize);
    EXPECT_EQ(v.volumeControl, c.expected.volumeControl);
    EXPECT_EQ(v.reverseBalance, c.expected.reverseBalance);
    EXPECT_EQ(v.device, c.expected.device) << "stored device " << c.stored.device << ", " << c.devices << " devices";
    EXPECT_EQ(v.pcmConversion, c.expected.pcmConversion);
  }
}

TEST(WaveOutTime, OpenLatencyIsTheRingPlusOneBlock) {
  const PcmFormat cd{44100, 2, 16};
  EXPECT_EQ(cd.BytesPerSecond(), 176400);
  EXPECT_EQ(OpenLatencyMs(20, 8192, cd.BytesPerSecond()), 975);  // 975.24
  EXPECT_EQ(OpenLatencyMs(2, 1024, cd.BytesPerSecond()), 17);    // 17.41
  EXPECT_EQ(OpenLatencyMs(50, 65536, cd.BytesPerSecond()), 18947);
  EXPECT_EQ(OpenLatencyMs(20, 8192, PcmFormat{8000, 1, 8}.BytesPerSecond()), 21504);
  EXPECT_EQ(OpenLatencyMs(1, 1, 4), 500);  // exactly half rounds up
  EXPECT_EQ(OpenLatencyMs(20, 8192, 0), -1);
}

TEST(WaveOutTime, RoundedMulDivRoundsHalfAwayFromZero) {
  EXPECT_EQ(RoundedMulDiv(5, 1, 2), 3);
  EXPECT_EQ(RoundedMulDiv(-5, 1, 2), -3);
  EXPECT_EQ(RoundedMulDiv(7, 1, 3), 2);
  EXPECT_EQ(RoundedMulDiv(1, 1, 0), -1);
  // Byte counts of a day-long stream do not overflow.
  EXPECT_EQ(RoundedMulDiv(int64_t{176400} * 86400, 1000, 176400), 86400000);
  EXPECT_EQ(RoundedMulDiv(INT64_MAX, 2, 1), -1);
}

TEST(WaveOutTime, OutputTimeFollowsTheUnitTheDeviceAnswers) {
  const PcmFormat f{44100, 2, 16};
  EXPECT_EQ(OutputTimeMs(1000, PositionUnit::Milliseconds, 250, 0, f), 1250);
  EXPECT_EQ(OutputTimeMs(1000, PositionUnit::Samples, 44100 / 2, 0, f), 1500);
  EXPECT_EQ(OutputTimeMs(1000, PositionUnit::Bytes, 176400 * 2, 0, f), 3000);
  // No usable answer: the bytes of the blocks that came back.
  EXPECT_EQ(OutputTimeMs(1000, PositionUnit::Other, 999999, 8192, f), 1046);
  EXPECT_EQ(OutputTimeMs(0, PositionUnit::Bytes, int64_t{5} << 32, 0, f), 121739436);
  EXPECT_EQ(WrittenTimeMs(500, 176400 / 4, f), 750);
  // A format without bytes (never opened) gives the start position.
  EXPECT_EQ(OutputTimeMs(40, PositionUnit::Bytes, 1234, 0, PcmFormat{}), 40);
  EXPECT_EQ(WrittenTimeMs(40, 1234, PcmFormat{}), 40);
}

TEST(WaveOutTime, PositionCounterSurvivesTheDeviceCounterWrapping) {
  CPositionCounter c;
  EXPECT_EQ(c.Extend(1000), 1000);
  EXPECT_EQ(c.Extend(0x7FFFFFFFu), 0x7FFFFFFFll);
  EXPECT_EQ(c.Extend(0xFFFFFF00u), 0xFFFFFF00ll);
  EXPECT_EQ(c.Extend(0x100u), 0x100000100ll);
  EXPECT_EQ(c.Extend(0x80u), 0x100000080ll);  // a slightly smaller answer is not a wrap
  c.Reset();
  EXPECT_EQ(c.Extend(44), 44);
}

TEST(WaveOutTime, VolumeWordCarriesBalanceAndReverse) {
  struct Case {
    int volume, balance;
    bool reverse;
    uint32_t word;
  };
  const Case cases[] = {
      {255, 0, false, 0xFFFFFFFFu},    {0, 0, false, 0x00000000u},
      {128, 0, false, 0x80808080u},                                   // 128 * 257 = 32896 = 0x8080
      {255, 64, false, 0xFFFF8000u},                                  // left lowered: 65535 - 64*65535/128 = 32768
      {255, -64, false, 0x8000FFFFu},                                 // right lowered
      {255, 128, false, 0xFFFF0000u},                                 // full right: left silent
      {255, -128, false, 0x0000FFFFu}, {255, 64, true, 0x8000FFFFu},  // the words swapped
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DeviceVolumeWord(c.volume, c.balance, c.reverse), c.word)
        << c.volume << " " << c.balance << " " << c.reverse;
  }
  // 100 -> 25700; balance -32 lowers the right word to 25700 - 32*25700/128 = 19275.
  EXPECT_EQ(DeviceVolumeWord(100, -32, false), (19275u << 16) | 25700u);
  EXPECT_EQ(DeviceVolumeWord(100, -32, true), (25700u << 16) | 19275u);
}

TEST(WaveOutStats, PageTexts) {
  WaveOutStats s;
  s.open = true;
  s.blockCount = 20;
  s.blockSize = 8192;
  s.usedBlocks = 5;
  s.bytesWritten = 5000000000ll;
  s.bytesPlayed = 123;
  s.writtenMs = 4000;
  s.outputMs = 3100;
  s.startMs = 61000;
  s.sampleRate = 44100;
  s.bits = 16;
  s.channels = 2;
  WaveOutStatsText t = FormatWaveOutStats(s);
  EXPECT_EQ(t.totalBufferSize, L"160 kB (20 x 8 kB)");
  EXPECT_EQ(t.bufferUsagePercent, 25);
  EXPECT_EQ(t.usedBlocks, L"5/20");
  EXPECT_EQ(t.bytesWritten, L"5000000000");
  EXPECT_EQ(t.latency, L"900 ms");
  EXPECT_EQ(t.startPosition, L"61000 ms");
  EXPECT_EQ(t.pcmFormat, L"44100 Hz, 16bit, 2ch");
  EXPECT_EQ(t.pcmConversion, L"(Inactive)");
  s.extensible = true;
  EXPECT_EQ(FormatWaveOutStats(s).pcmConversion, L"Active");
  EXPECT_EQ(FormatWaveOutStats(WaveOutStats{}).bufferUsagePercent, 0);
}

}  // namespace
}  // namespace zul
