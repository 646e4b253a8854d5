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
// - A timer-queue thread: Park, kParkAfterMs into a pause.
// - The fields below that two threads see are atomics, each written by one
//   thread, or guarded by deviceMutex: the device handle's changes while
//   open (parking and unparking), what goes to the device, and the record
//   of what it holds. positionMutex keeps GetOutputTime from reading the
//   position counter while a flush restarts it. Lock order: the ring's
//   fill lock, deviceMutex, positionMutex. No waveOut call that waits for
//   winmm's own thread (open, close) runs under deviceMutex on the main
//   thread: meanwhile it answers messages other processes send, and a
//   command among them may call the output again.
// Open and Close must not run while a Write is in progress (the input
// plug-in stops its decode thread before it closes the output).
//
// Parking: an open device costs the process work every few milliseconds
// under some drivers (Wine's runs its mixing loop and signals winmm's thread
// a hundred times a second), paused or not. So a pause that lasts
// kParkAfterMs releases the device: the position it reached is kept, the
// bytes it had not played yet are copied aside, and the device is closed.
// Until the pause ends the module behaves as paused with a device: blocks
// the input writes wait in order, the position holds. Ending the pause
// opens the device again and hands it the kept bytes, then the waiting
// blocks, so nothing is lost or played twice and the position goes on from
// where it stood.
#include <windows.h>
// mmsystem.h needs the types windows.h declares.
#include <mmsystem.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/win32_handles.h"
#include "waveout/block_ring.h"
#include "waveout/waveout_settings.h"
#include "waveout/waveout_stats.h"
#include "waveout/waveout_time.h"

namespace zul {

class CWaveOutput : private BlockDevice {
public:
  static constexpr DWORD kParkAfterMs = 1000;

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
  // True while a pause has released the device (tests).
  bool Parked();

private:
  static void CALLBACK BlockDoneProc(HWAVEOUT device, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                                     DWORD_PTR param2);
  static void CALLBACK ParkTimerProc(void* self, BOOLEAN);
  // The device for `format` with the stored settings; nullptr when refused.
  HWAVEOUT OpenDevice(const PcmFormat& format);
  void ApplyVolume(int volume);
  WAVEHDR* Header(int index);
  bool IsOpen() const { return device || parked; }
  // Prepares and writes a header; needs deviceMutex and a device.
  bool SendHeader(WAVEHDR* header);
  void Park();
  // Ends a park: the device again, or, when it cannot be had, every block
  // given back as played so that no writer waits for ever.
  void Unpark();
  void CancelParkTimer();
  // Gives the blocks that wait for the device back to the ring; needs
  // deviceMutex.
  void ReturnWaitingBlocks();
  // Unprepares the replay header when it is prepared; needs deviceMutex.
  void ReleaseReplay(HWAVEOUT h);

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

  // Guarded by deviceMutex (see Threads).
  std::mutex deviceMutex;
  std::atomic<bool> parked{false};
  // The ring blocks handed to the device, oldest first (done ones are
  // dropped when the next is sent), and while parked, those waiting for it.
  std::vector<int> sentOrder;
  std::vector<int> waiting;
  int64_t sentBytes = 0;  // ring bytes handed to the device since Open or Flush
  // The bytes a park kept, and the header that hands them to the device.
  std::unique_ptr<char[]> replay;
  size_t replayCapacity = 0;
  WAVEHDR replayHeader{};
  PositionUnit positionUnit = PositionUnit::Other;  // of the last position query
  HANDLE parkTimer = nullptr;                       // main thread only
};

}  // namespace zul
