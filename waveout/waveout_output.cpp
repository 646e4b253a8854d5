#include "waveout/waveout_output.h"

#include <mmreg.h>

#include <new>

#include "base/console_log.h"
#include "waveout/start_clock.h"
#include "waveout/waveout_settings_file.h"

namespace zul {
namespace {

// A bound for one wait for a returned block, should a driver ever fail to
// call back; the signal normally ends the wait long before.
constexpr DWORD kBlockWaitMs = 1000;
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
  self->ring.BlockDone(static_cast<int>(header->dwBufferLength), *self);
}

bool CWaveOutput::OpenDevice(const PcmFormat& f) {
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
    return false;
  }
  device = h;
  return true;
}

int CWaveOutput::Open(int sampleRate, int channels, int bits) {
  Close();
  LoadSettings();
  if (waveOutGetNumDevs() == 0) return -1;
  const PcmFormat f{sampleRate, channels, bits};
  // Guards the divisions below against formats no device would take anyway.
  if (sampleRate <= 0 || channels <= 0 || bits <= 0 || f.BlockAlign() <= 0) return -1;
  if (!OpenDevice(f)) return -1;

  const size_t bytes = static_cast<size_t>(settings.blockCount) * (sizeof(WAVEHDR) + settings.blockSize);
  ringMemory.reset(new (std::nothrow) char[bytes]());
  if (!ringMemory) {
    waveOutClose(device.exchange(nullptr));
    return -1;
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
  HWAVEOUT h = device;
  if (!h) return;
  if (paused) waveOutRestart(h);
  paused = false;
  waveOutReset(h);
  ring.WaitAllReturned(*this);
  for (int i = 0; i < ring.BlockCount(); ++i) ReleaseBlock(i);
  waveOutClose(h);
  device = nullptr;
  ringMemory.reset();
  ring.Reset(0, 0);
}

bool CWaveOutput::QueueBlock(int index, int bytes) {
  WAVEHDR* header = Header(index);
  *header = WAVEHDR{};
  header->lpData = BlockData(index);
  header->dwBufferLength = static_cast<DWORD>(bytes);
  HWAVEOUT h = device;
  if (waveOutPrepareHeader(h, header, sizeof *header) != MMSYSERR_NOERROR) return false;
  if (waveOutWrite(h, header, sizeof *header) != MMSYSERR_NOERROR) {
    waveOutUnprepareHeader(h, header, sizeof *header);
    return false;
  }
  NoteDriverWrite();
  return true;
}

void CWaveOutput::ReleaseBlock(int index) {
  WAVEHDR* header = Header(index);
  if (header->dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(device, header, sizeof *header);
}

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
  if (device) ring.Write(data, length, *this);
  return 0;
}

int CWaveOutput::CanWrite() const { return device ? ring.CanWrite() : 0; }

int CWaveOutput::IsPlaying() {
  if (!device) return 0;
  return ring.Playing(*this) ? 1 : 0;
}

int CWaveOutput::Pause(int pause) {
  if (HWAVEOUT h = device) {
    if (pause)
      waveOutPause(h);
    else
      waveOutRestart(h);
    paused = pause != 0;
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
  HWAVEOUT h = device;
  if (!h) return;
  ring.QueuePartial(*this);
  waveOutReset(h);
  ring.WaitAllReturned(*this);
  std::lock_guard lock(positionMutex);
  ring.Restart(startMs);
  positionCounter.Reset();
}

int CWaveOutput::GetOutputTime() {
  HWAVEOUT h = device;
  if (!h) return 0;
  std::lock_guard lock(positionMutex);
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
  return OutputTimeMs(ring.StartMs(), unit, position, ring.PlayedBytes(), format);
}

int CWaveOutput::GetWrittenTime() const {
  if (!device) return 0;
  return WrittenTimeMs(ring.StartMs(), ring.WrittenBytes(), format);
}

WaveOutStats CWaveOutput::Stats() {
  WaveOutStats s;
  s.open = device != nullptr;
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
