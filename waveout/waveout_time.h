#pragma once
// Arithmetic of the output module: stream format, latency, positions in
// milliseconds and the device volume word. Byte counts are 64-bit: at
// 44.1 kHz 16-bit stereo a 32-bit count wraps after 3.4 hours of a stream.
#include <cstdint>

namespace zul {

struct PcmFormat {
  int sampleRate = 0;
  int channels = 0;
  int bits = 0;

  int BlockAlign() const { return channels * bits / 8; }
  int BytesPerSecond() const { return sampleRate * BlockAlign(); }
};

// a * b / c rounded half away from zero, as the platform's MulDiv rounds;
// -1 when c is 0 or the result does not fit 63 bits.
int64_t RoundedMulDiv(int64_t a, int64_t b, int64_t c);

// What Open reports: the ring plus one block, in ms.
int OpenLatencyMs(int blockCount, int blockSize, int bytesPerSecond);

// The unit the device answered a position query in.
enum class PositionUnit { Milliseconds, Samples, Bytes, Other };

// Extends the device's 32-bit position counter to 64 bits. The counter
// restarts at 0 when the device is opened or reset; call Reset then, or
// Restart when the device was opened again to go on where it stood.
class CPositionCounter {
public:
  void Reset() {
    last = 0;
    total = 0;
  }
  // A new device counts from 0 again while the position goes on.
  void Restart() { last = 0; }
  int64_t Total() const { return total; }
  int64_t Extend(uint32_t raw) {
    // The signed difference survives a wrap of the counter and a device
    // that answers a little less than last time.
    total += static_cast<int32_t>(raw - last);
    last = raw;
    return total;
  }

private:
  uint32_t last = 0;
  int64_t total = 0;
};

// Played position: startMs plus the device's position converted to ms, or,
// when the device gave no usable answer (unit Other), plus the bytes of the
// blocks the device has returned.
int OutputTimeMs(int startMs, PositionUnit unit, int64_t position, int64_t playedBytes, const PcmFormat& format);
int WrittenTimeMs(int startMs, int64_t writtenBytes, const PcmFormat& format);

// The waveOutSetVolume word for a volume 0..255 and a balance -128..128:
// right in the high half, left in the low half (swapped when reverse). A
// positive balance lowers the left side, a negative one the right side.
uint32_t DeviceVolumeWord(int volume, int balance, bool reverse);

}  // namespace zul
