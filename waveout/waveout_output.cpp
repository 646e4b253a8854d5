#include "waveout/waveout_output.h"

#include <mmreg.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "base/console_log.h"
#include "waveout/start_clock.h"
#include "waveout/waveout_settings_file.h"

namespace zul {
namespace {

// A bound for one wait for a returned block, should a driver ever fail to
// call back; the signal normally ends the wait long before.
constexpr DWORD kBlockWaitMs = 1000;
// The replay header's dwUser: its return frees no ring block.
constexpr DWORD_PTR kReplayMark = 0x5A524C59;
// KSDATAFORMAT_SUBTYPE_PCM, spelt out so no GUID library is needed.
constexpr GUID kSubtypePcm = {0x00000001, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

bool InVolumeRange(int v) { return v >= 0 && v <= 255; }

}  // namespace

CWaveOutput::CWaveOutput(std::wstring path) : settingsPath(std::move(path)), blockReturned(Event::Reset::Auto) {}

CWaveOutput::~CWaveOutput() { Close(); }

void CWaveOutput::SetHostVolume(int hostVolume) {
  volume = hostVolume;
  balance = 0;
}

void CWaveOutput::LoadSettings() { settings = LoadWaveOutSettings(settingsPath); }

WAVEHDR* CWaveOutput::Header(int index) { return reinterpret_cast<WAVEHDR*>(ringMemory.get()) + index; }

char* CWaveOutput::BlockData(int index) {
  return ringMemory.get() + sizeof(WAVEHDR) * ring.BlockCount() + static_cast<size_t>(index) * ring.BlockSize();
}

// Runs on the driver's thread. Never call waveOut functions from this
// callback: the driver holds its lock while calling it, so they deadlock.
// Setting an event (BlockReturned) is safe.
void CALLBACK CWaveOutput::BlockDoneProc(HWAVEOUT, UINT message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR) {
  if (message != WOM_DONE) return;
  auto* self = reinterpret_cast<CWaveOutput*>(instance);
  const auto* header = reinterpret_cast<const WAVEHDR*>(param1);
  if (header->dwUser == kReplayMark) {
    self->ring.CountPlayed(header->dwBufferLength);
    return;
  }
  self->ring.BlockDone(static_cast<int>(header->dwBufferLength), *self);
}

HWAVEOUT CWaveOutput::OpenDevice(const PcmFormat& f) {
  const UINT id = settings.device == kWaveMapperDevice ? WAVE_MAPPER : static_cast<UINT>(settings.device);
  const auto callback = reinterpret_cast<DWORD_PTR>(&BlockDoneProc);
  const auto instance = reinterpret_cast<DWORD_PTR>(this);

  WAVEFORMATEX pcm{};
  pcm.wFormatTag = WAVE_FORMAT_PCM;
  pcm.nChannels = static_cast<WORD>(f.channels);
  pcm.nSamplesPerSec = static_cast<DWORD>(f.sampleRate);
  pcm.wBitsPerSample = static_cast<WORD>(f.bits);
  pcm.nBlockAlign = static_cast<WORD>(f.BlockAlign());
  pcm.nAvgBytesPerSec = static_cast<DWORD>(f.BytesPerSecond());
  HWAVEOUT h = nullptr;
  MMRESULT r = waveOutOpen(&h, id, &pcm, callback, instance, CALLBACK_FUNCTION);
  extensible = false;
  if (r != MMSYSERR_NOERROR && settings.pcmConversion) {
    // Drivers refuse plain PCM beyond two channels or 16 bits, but take the
    // same samples described as an extensible format.
    WAVEFORMATEXTENSIBLE ext{};
    ext.Format = pcm;
    ext.Format.wFormatTag = WAVE_FORMAT_EXTENSIBLE;
    ext.Format.cbSize = sizeof ext - sizeof ext.Format;
    ext.Samples.wValidBitsPerSample = static_cast<WORD>(f.bits);
    ext.SubFormat = kSubtypePcm;
    r = waveOutOpen(&h, id, &ext.Format, callback, instance, CALLBACK_FUNCTION);
    extensible = r == MMSYSERR_NOERROR;
  }
  if (r != MMSYSERR_NOERROR) {
    ZUL_LOG(L"waveOut: device %d refused %d Hz, %d bit, %d channels (error %u)", settings.device, f.sampleRate, f.bits,
            f.channels, r);
    return nullptr;
  }
  return h;
}

int CWaveOutput::Open(int sampleRate, int channels, int bits) {
  Close();
  LoadSettings();
  if (waveOutGetNumDevs() == 0) return -1;
  const PcmFormat f{sampleRate, channels, bits};
  // Guards the divisions below against formats no device would take anyway.
  if (sampleRate <= 0 || channels <= 0 || bits <= 0 || f.BlockAlign() <= 0) return -1;
  HWAVEOUT h = OpenDevice(f);
  if (!h) return -1;

  const size_t bytes = static_cast<size_t>(settings.blockCount) * (sizeof(WAVEHDR) + settings.blockSize);
  ringMemory.reset(new (std::nothrow) char[bytes]());
  if (!ringMemory) {
    waveOutClose(h);
    return -1;
  }
  // A park keeps at most the ring's bytes plus what an earlier park kept and
  // the device has not played again yet; without the room a pause keeps its
  // device.
  replayCapacity = 2 * static_cast<size_t>(settings.blockCount) * settings.blockSize;
  replay.reset(new (std::nothrow) char[replayCapacity]);
  if (!replay) replayCapacity = 0;
  {
    std::lock_guard lock(deviceMutex);
    sentOrder.clear();
    sentOrder.reserve(settings.blockCount);
    waiting.clear();
    waiting.reserve(settings.blockCount);
    sentBytes = 0;
    replayHeader = WAVEHDR{};
    device = h;
  }
  format = f;
  ring.Reset(settings.blockCount, settings.blockSize);
  {
    std::lock_guard lock(positionMutex);
    positionCounter.Reset();
  }
  paused = false;
  SetPan(balance);
  SetVolume(volume);
  return OpenLatencyMs(settings.blockCount, settings.blockSize, f.BytesPerSecond());
}

void CWaveOutput::Close() {
  CancelParkTimer();
  if (!IsOpen()) return;
  if (parked) {
    std::lock_guard lock(deviceMutex);
    ReturnWaitingBlocks();
    parked = false;
  }
  if (HWAVEOUT h = device) {
    if (paused) waveOutRestart(h);
    waveOutReset(h);
    ring.WaitAllReturned(*this);
    for (int i = 0; i < ring.BlockCount(); ++i) ReleaseBlock(i);
    {
      std::lock_guard lock(deviceMutex);
      ReleaseReplay(h);
      device = nullptr;
    }
    waveOutClose(h);
  }
  paused = false;
  ringMemory.reset();
  replay.reset();
  replayCapacity = 0;
  ring.Reset(0, 0);
}

bool CWaveOutput::SendHeader(WAVEHDR* header) {
  HWAVEOUT h = device;
  if (waveOutPrepareHeader(h, header, sizeof *header) != MMSYSERR_NOERROR) return false;
  if (waveOutWrite(h, header, sizeof *header) != MMSYSERR_NOERROR) {
    waveOutUnprepareHeader(h, header, sizeof *header);
    return false;
  }
  NoteDriverWrite();
  return true;
}

bool CWaveOutput::QueueBlock(int index, int bytes) {
  std::lock_guard lock(deviceMutex);
  // Blocks come back in the order they went; those at the front that came
  // back leave the record before their headers are filled again.
  while (!sentOrder.empty() && (Header(sentOrder.front())->dwFlags & WHDR_DONE)) sentOrder.erase(sentOrder.begin());
  WAVEHDR* header = Header(index);
  *header = WAVEHDR{};
  header->lpData = BlockData(index);
  header->dwBufferLength = static_cast<DWORD>(bytes);
  if (parked) {
    waiting.push_back(index);
    return true;
  }
  if (!device || !SendHeader(header)) return false;
  sentOrder.push_back(index);
  sentBytes += bytes;
  return true;
}

void CWaveOutput::ReleaseBlock(int index) {
  std::lock_guard lock(deviceMutex);
  WAVEHDR* header = Header(index);
  HWAVEOUT h = device;
  if (h && (header->dwFlags & WHDR_PREPARED)) waveOutUnprepareHeader(h, header, sizeof *header);
}

void CWaveOutput::ReleaseReplay(HWAVEOUT h) {
  if (h && (replayHeader.dwFlags & WHDR_PREPARED)) waveOutUnprepareHeader(h, &replayHeader, sizeof replayHeader);
}

void CWaveOutput::ReturnWaitingBlocks() {
  for (int index : waiting) ring.BlockDone(static_cast<int>(Header(index)->dwBufferLength), *this);
  waiting.clear();
}

void CWaveOutput::CancelParkTimer() {
  if (!parkTimer) return;
  // Waits for a park under way to end.
  DeleteTimerQueueTimer(nullptr, parkTimer, INVALID_HANDLE_VALUE);
  parkTimer = nullptr;
}

void CALLBACK CWaveOutput::ParkTimerProc(void* self, BOOLEAN) { static_cast<CWaveOutput*>(self)->Park(); }

void CWaveOutput::Park() {
  std::lock_guard lock(deviceMutex);
  HWAVEOUT h = device;
  if (!h || parked || !paused || !replay) return;
  int64_t played = 0;
  {
    std::lock_guard positionLock(positionMutex);
    MMTIME time{};
    time.wType = TIME_BYTES;
    if (waveOutGetPosition(h, &time, sizeof time) != MMSYSERR_NOERROR) return;
    // Only a position in bytes or samples tells exactly which bytes the
    // device has played.
    if (time.wType == TIME_BYTES) {
      positionUnit = PositionUnit::Bytes;
      played = positionCounter.Extend(time.u.cb);
    } else if (time.wType == TIME_SAMPLES) {
      positionUnit = PositionUnit::Samples;
      played = positionCounter.Extend(time.u.sample) * format.BlockAlign();
    } else {
      return;
    }
  }
  // What the device holds, oldest first: the bytes an earlier park kept,
  // while it has not played them yet, then the ring's blocks.
  std::vector<std::pair<const char*, size_t>> held;
  if ((replayHeader.dwFlags & WHDR_PREPARED) && !(replayHeader.dwFlags & WHDR_DONE))
    held.emplace_back(replayHeader.lpData, replayHeader.dwBufferLength);
  for (int index : sentOrder) {
    const WAVEHDR* header = Header(index);
    if (!(header->dwFlags & WHDR_DONE)) held.emplace_back(header->lpData, header->dwBufferLength);
  }
  size_t heldBytes = 0;
  for (const auto& piece : held) heldBytes += piece.second;
  // The bytes not played yet are the last ones handed over.
  const size_t unplayed = static_cast<size_t>(std::clamp<int64_t>(sentBytes - played, 0, heldBytes));
  if (unplayed > replayCapacity) return;

  // Every block comes back, played or not. A writer that finds one free
  // waits in ReleaseBlock for this lock before it fills it, so the bytes
  // are still there to copy afterwards.
  waveOutReset(h);
  size_t skip = heldBytes - unplayed, at = 0;
  for (const auto& [data, length] : held) {
    const size_t from = std::min(skip, length);
    skip -= from;
    // The earlier park's bytes lie at the front of the same buffer and only
    // move towards its start.
    std::memmove(replay.get() + at, data + from, length - from);
    at += length - from;
  }
  ring.CountPlayed(-static_cast<int64_t>(unplayed));
  for (int i = 0; i < ring.BlockCount(); ++i) {
    WAVEHDR* header = Header(i);
    if (header->dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(h, header, sizeof *header);
  }
  ReleaseReplay(h);
  replayHeader = WAVEHDR{};
  replayHeader.lpData = replay.get();
  replayHeader.dwBufferLength = static_cast<DWORD>(unplayed);
  replayHeader.dwUser = kReplayMark;
  sentOrder.clear();
  device = nullptr;
  parked = true;
  // On this timer thread nothing is sent messages that the wait for
  // winmm's thread would have to answer.
  waveOutClose(h);
}

void CWaveOutput::Unpark() {
  // Outside the lock: opening waits for winmm's thread and meanwhile
  // answers messages sent to this thread.
  HWAVEOUT h = OpenDevice(format);
  std::lock_guard lock(deviceMutex);
  parked = false;
  if (!h) {
    ReturnWaitingBlocks();
    replayHeader = WAVEHDR{};
    return;
  }
  device = h;
  {
    std::lock_guard positionLock(positionMutex);
    positionCounter.Restart();
  }
  if (replayHeader.dwBufferLength > 0 && !SendHeader(&replayHeader)) replayHeader = WAVEHDR{};
  for (int index : waiting) {
    WAVEHDR* header = Header(index);
    if (SendHeader(header)) {
      sentOrder.push_back(index);
      sentBytes += header->dwBufferLength;
    } else {
      ring.BlockDone(static_cast<int>(header->dwBufferLength), *this);
    }
  }
  waiting.clear();
}

bool CWaveOutput::Parked() { return parked; }

void CWaveOutput::BeforeFill() {
  const int v = lastVolumeGiven;
  if (InVolumeRange(v)) ApplyVolume(v);
}

void CWaveOutput::WaitForDevice() {
  if (blockReturned.Valid()) {
    WaitForSingleObject(blockReturned.Get(), kBlockWaitMs);
  } else {
    Sleep(1);  // no event could be made: the ring still gets its blocks back
  }
}

void CWaveOutput::BlockReturned() { blockReturned.Set(); }

int CWaveOutput::Write(const char* data, int length) {
  NoteOutputWrite();
  if (IsOpen()) ring.Write(data, length, *this);
  return 0;
}

int CWaveOutput::CanWrite() const { return IsOpen() ? ring.CanWrite() : 0; }

int CWaveOutput::IsPlaying() {
  if (!IsOpen()) return 0;
  return ring.Playing(*this) ? 1 : 0;
}

int CWaveOutput::Pause(int pause) {
  if (IsOpen()) {
    CancelParkTimer();
    if (pause) {
      if (HWAVEOUT h = device) waveOutPause(h);
      paused = true;
      if (!parked && replay &&
          !CreateTimerQueueTimer(&parkTimer, nullptr, ParkTimerProc, this, kParkAfterMs, 0, WT_EXECUTEONLYONCE))
        parkTimer = nullptr;
    } else {
      if (parked) {
        Unpark();
        ApplyVolume(volume);
      } else if (HWAVEOUT h = device) {
        waveOutRestart(h);
      }
      paused = false;
    }
  }
  return !pause;
}

void CWaveOutput::ApplyVolume(int v) {
  HWAVEOUT h = device;
  if (!h || !settings.volumeControl) return;
  waveOutSetVolume(h, DeviceVolumeWord(v, balance, settings.reverseBalance != 0));
}

void CWaveOutput::SetVolume(int v) {
  lastVolumeGiven = v;
  if (!InVolumeRange(v)) return;  // -666: keep the volume the device has
  volume = v;
  ApplyVolume(v);
}

void CWaveOutput::SetPan(int b) {
  if (b < -128 || b > 128) return;
  balance = b;
  const int v = volume;
  if (InVolumeRange(v)) ApplyVolume(v);
}

void CWaveOutput::Flush(int startMs) {
  if (!IsOpen()) return;
  ring.QueuePartial(*this);
  {
    std::lock_guard lock(deviceMutex);
    if (parked) {
      ReturnWaitingBlocks();
      replayHeader = WAVEHDR{};
    } else if (HWAVEOUT h = device) {
      waveOutReset(h);
    }
  }
  ring.WaitAllReturned(*this);
  {
    std::lock_guard lock(deviceMutex);
    ReleaseReplay(device);
    replayHeader = WAVEHDR{};
    sentOrder.clear();
    sentBytes = 0;
  }
  std::lock_guard lock(positionMutex);
  ring.Restart(startMs);
  positionCounter.Reset();
}

int CWaveOutput::GetOutputTime() {
  std::lock_guard deviceLock(deviceMutex);
  if (!IsOpen()) return 0;
  std::lock_guard lock(positionMutex);
  HWAVEOUT h = device;
  // Parked, the position stands where the device left it.
  if (!h) return OutputTimeMs(ring.StartMs(), positionUnit, positionCounter.Total(), ring.PlayedBytes(), format);
  MMTIME time{};
  time.wType = TIME_BYTES;
  PositionUnit unit = PositionUnit::Other;
  int64_t position = 0;
  if (waveOutGetPosition(h, &time, sizeof time) == MMSYSERR_NOERROR) {
    switch (time.wType) {
      case TIME_MS:
        unit = PositionUnit::Milliseconds;
        position = positionCounter.Extend(time.u.ms);
        break;
      case TIME_SAMPLES:
        unit = PositionUnit::Samples;
        position = positionCounter.Extend(time.u.sample);
        break;
      case TIME_BYTES:
        unit = PositionUnit::Bytes;
        position = positionCounter.Extend(time.u.cb);
        break;
    }
  }
  positionUnit = unit;
  return OutputTimeMs(ring.StartMs(), unit, position, ring.PlayedBytes(), format);
}

int CWaveOutput::GetWrittenTime() const {
  if (!IsOpen()) return 0;
  return WrittenTimeMs(ring.StartMs(), ring.WrittenBytes(), format);
}

WaveOutStats CWaveOutput::Stats() {
  WaveOutStats s;
  s.open = IsOpen();
  if (!s.open) return s;
  s.blockCount = ring.BlockCount();
  s.blockSize = ring.BlockSize();
  s.usedBlocks = ring.BlockCount() - ring.FreeBlocks();
  s.bytesWritten = ring.WrittenBytes();
  s.bytesPlayed = ring.PlayedBytes();
  s.writtenMs = GetWrittenTime();
  s.outputMs = GetOutputTime();
  s.startMs = ring.StartMs();
  s.sampleRate = format.sampleRate;
  s.bits = format.bits;
  s.channels = format.channels;
  s.extensible = extensible;
  return s;
}

}  // namespace zul
