// A plain waveOut player, the reference of the real-time playback bench:
// libmpg123 decodes to 16-bit, four 250 ms buffers go to waveOutWrite, and
// each comes back through the event the driver signals, to be refilled.
// Plays until the file ends or for the given seconds.
//   waveout_player FILE [SECONDS]
#include <windows.h>
// mmsystem.h needs the types windows.h declares.
#include <mmsystem.h>
#include <mpg123.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kBuffers = 4;

// Fills `data` with decoded bytes; false at the end of the file.
bool Fill(mpg123_handle* h, std::vector<char>& data, DWORD* length) {
  size_t at = 0;
  while (at < data.size()) {
    size_t done = 0;
    int r = mpg123_read(h, reinterpret_cast<unsigned char*>(data.data() + at), data.size() - at, &done);
    at += done;
    if (r == MPG123_NEW_FORMAT) continue;
    if (r != MPG123_OK) break;
  }
  *length = static_cast<DWORD>(at);
  return at > 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || mpg123_init() != MPG123_OK) return 2;
  const DWORD seconds = argc > 2 ? static_cast<DWORD>(std::atoi(argv[2])) : 0;
  int error = 0;
  mpg123_handle* h = mpg123_new(nullptr, &error);
  long rate = 0;
  int channels = 0, encoding = 0;
  if (!h || mpg123_param(h, MPG123_FLAGS, MPG123_QUIET, 0) != MPG123_OK || mpg123_open(h, argv[1]) != MPG123_OK ||
      mpg123_getformat(h, &rate, &channels, &encoding) != MPG123_OK) {
    std::printf("cannot open %s\n", argv[1]);
    return 1;
  }
  mpg123_format_none(h);
  mpg123_format(h, rate, channels, MPG123_ENC_SIGNED_16);

  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = static_cast<WORD>(channels);
  format.nSamplesPerSec = static_cast<DWORD>(rate);
  format.wBitsPerSample = 16;
  format.nBlockAlign = static_cast<WORD>(2 * channels);
  format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
  HANDLE done = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  HWAVEOUT device = nullptr;
  if (waveOutOpen(&device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(done), 0, CALLBACK_EVENT) !=
      MMSYSERR_NOERROR) {
    std::printf("waveOutOpen failed\n");
    return 1;
  }
  const size_t bytes = format.nAvgBytesPerSec / 4 / format.nBlockAlign * format.nBlockAlign;
  std::vector<std::vector<char>> data(kBuffers, std::vector<char>(bytes));
  WAVEHDR headers[kBuffers] = {};
  int queued = 0;
  for (int i = 0; i < kBuffers; ++i) {
    headers[i].lpData = data[i].data();
    if (!Fill(h, data[i], &headers[i].dwBufferLength)) break;
    waveOutPrepareHeader(device, &headers[i], sizeof headers[i]);
    waveOutWrite(device, &headers[i], sizeof headers[i]);
    ++queued;
  }
  const DWORD start = GetTickCount();
  bool more = queued == kBuffers;
  while (queued > 0) {
    WaitForSingleObject(done, INFINITE);
    if (seconds && GetTickCount() - start >= seconds * 1000) more = false;
    for (auto& header : headers) {
      if (!(header.dwFlags & WHDR_DONE)) continue;
      waveOutUnprepareHeader(device, &header, sizeof header);
      header.dwFlags = 0;
      --queued;
      if (more && Fill(h, data[&header - headers], &header.dwBufferLength)) {
        waveOutPrepareHeader(device, &header, sizeof header);
        waveOutWrite(device, &header, sizeof header);
        ++queued;
      } else {
        more = false;
      }
    }
  }
  waveOutClose(device);
  mpg123_delete(h);
  return 0;
}
