#pragma once
// Playback through one waveOut device: the block ring handed to the driver,
// the played and written positions, pause, flush, and volume and balance on
// the device volume.
//
// Threads:
// - Main thread: SetHostVolume, Open, Close, Pause, SetVolume, SetPan,
//   GetOutputTime, GetWrittenTime, Stats.
// - Decode thread of the input plug-in: Write, CanWrite, IsPlaying, Flush.
// - The driver's thread: BlockDoneProc. It only updates the ring's atomics
//   and, when a wait for a returned block runs, sets blockReturned.
// - The fields below that two threads see are atomics, each written by one
//   thread. positionMutex keeps GetOutputTime from reading the position
//   counter while a flush restarts it.
// Open and Close must not run while a Write is in progress (the input
// plug-in stops its decode thread before it closes the output).
#include <windows.h>
// mmsystem.h needs the types windows.h declares.
#include <mmsystem.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "base/win32_handles.h"
#include "waveout/block_ring.h"
#include "waveout/waveout_settings.h"
#include "waveout/waveout_stats.h"
#include "waveout/waveout_time.h"

namespace zul {

class CWaveOutput : private BlockDevice {
public:
  explicit CWaveOutput(std::wstring settingsPath);
  ~CWaveOutput() override;

  // The host's volume (0..255) that Open applies; balance back to 0.
  void SetHostVolume(int volume);
  // Reads and validates the stored settings (Open does so too).
  void LoadSettings();
  const WaveOutSettings& Settings() const { return settings; }

  // Latency in ms, or -1 when no device took the format.
  int Open(int sampleRate, int channels, int bits);
  void Close();
  int Write(const char* data, int length);
  int CanWrite() const;
  int IsPlaying();
  int Pause(int pause);
  void SetVolume(int volume);
  void SetPan(int balance);
  void Flush(int startMs);
  int GetOutputTime();
  int GetWrittenTime() const;
  WaveOutStats Stats();

private:
  static void CALLBACK BlockDoneProc(HWAVEOUT device, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                                     DWORD_PTR param2);
  bool OpenDevice(const PcmFormat& format);
  void ApplyVolume(int volume);
  WAVEHDR* Header(int index);

  // BlockDevice
  char* BlockData(int index) override;
  bool QueueBlock(int index, int bytes) override;
  void ReleaseBlock(int index) override;
  void BeforeFill() override;
  void WaitForDevice() override;
  void BlockReturned() override;

  const std::wstring settingsPath;
  Event blockReturned;  // auto: the driver returned a block to a waiter
  WaveOutSettings settings;
  std::atomic<HWAVEOUT> device{nullptr};
  // N block headers followed by N data areas, one allocation per Open.
  std::unique_ptr<char[]> ringMemory;
  CBlockRing ring;
  PcmFormat format;
  bool extensible = false;
  std::atomic<bool> paused{false};
  std::atomic<int> lastVolumeGiven{-666};  // re-applied by Write; may be -666
  std::atomic<int> volume{255};            // the last volume 0..255 applied
  std::atomic<int> balance{0};
  std::mutex positionMutex;
  CPositionCounter positionCounter;
};

}  // namespace zul
