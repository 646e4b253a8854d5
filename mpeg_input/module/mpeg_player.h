#pragma once
// Playback of one local file by the built-in MPEG input: the prepare thread,
// the helper window that opens the output on the UI thread, the decode
// thread with its block step, pause, seek and stop.
//
// Threads: Play, Stop, Pause, UnPause, SetOutputTime, OutputTime and the
// accessors are called on the UI thread. The prepare thread fills the
// playback object and then posts WM_USER, with the number of its play, to
// the helper window, whose procedure (UI thread) opens the output and
// starts the decode thread; it never touches the object after that. The
// decode thread owns the playback object until Stop has ended it. Shared
// between them: the seek request and the paused flag (atomics, UI thread
// writes), the decode clock and the seek under way (atomics, decode thread
// writes), the status text (statusLock_), the length (atomic, prepare
// thread writes once).
//
// The hand-off is posted, not sent, so the prepare thread never waits for
// the UI thread and Stop can simply wait for it. Opening the output may
// dispatch messages sent from elsewhere while it waits (Wine's waveOutOpen
// does), and one of them may stop this play or start another: OpenOutput
// notices by the play number, closes what it opened and leaves the newer
// play alone. A posted hand-off of a play that was stopped meanwhile is
// ignored for the same reason.
#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "mpeg_input/module/file_playback.h"
#include "mpeg_input/module/mpeg_settings.h"
#include "mpeg_input/samples/sample_format.h"
#include "pluginhost/protocol/winamp_records.h"

namespace zul::mpegin {

class CMpegPlayer {
public:
  CMpegPlayer(In_Module& module, CMpegInputParam& settings) : module_(module), settings_(settings) {}
  ~CMpegPlayer();

  // Init and Quit: the five events and the helper window.
  bool Init();
  void Quit();

  int Play(const std::wstring& location);
  void Stop();
  void Pause();
  void UnPause();
  bool IsPaused() const { return paused_.load(); }
  int LengthMs() const { return lengthMs_.load(); }
  int OutputTime() const;
  void SetOutputTime(int ms) { seekRequest_.store(ms); }

  const std::wstring& Location() const { return location_; }
  bool Preparing() const;
  std::wstring StatusText() const;
  // The host's title query took the status text (the title-fetched event).
  void StatusFetched();

private:
  static DWORD WINAPI PrepareThread(void* self);
  static DWORD WINAPI DecodeThread(void* self);
  static LRESULT CALLBACK HelperProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  void Prepare();
  bool OpenOutput(unsigned play);  // UI thread, through the helper window
  void Decode();
  // Writes one rendered block of `frames`; returns false when stopped.
  void WriteBlock(double* samples, size_t frames);
  // The end of the data: what the host's equalizer still holds is written
  // before the output drains (Threads: decode thread).
  void DrainDsp();
  void FeedVisualisation(const double* samples, size_t frames);
  bool StopRequested() const;
  void SetStatus(const std::wstring& text);
  // Prepare thread: sets a status text and has the host fetch it.
  void AnnounceStatus(const std::wstring& text);
  void PostEndOfTrack();

  In_Module& module_;
  CMpegInputParam& settings_;

  HANDLE outputOpen_ = nullptr;      // manual: output open, Close it in Stop
  HANDLE preparing_ = nullptr;       // manual: status text is the title
  HANDLE prepareRunning_ = nullptr;  // manual: prepare thread alive
  HANDLE stopRequest_ = nullptr;     // manual: prepare thread must give up
  HANDLE titleFetched_ = nullptr;    // auto: the host fetched the status text
  HANDLE decodeStop_ = nullptr;      // manual: decode thread must end
  HANDLE decodeStarted_ = nullptr;   // auto
  HANDLE prepareThread_ = nullptr;
  HANDLE decodeThread_ = nullptr;
  HWND helper_ = nullptr;
  // Counts Stop calls (every Play stops first): tells a hand-off or an
  // output opening that its play has been stopped meanwhile.
  std::atomic<unsigned> playNumber_{0};
  unsigned preparedPlay_ = 0;  // the play the prepare thread works for

  std::wstring location_;
  std::unique_ptr<CMpegFilePlayback> playback_;
  std::atomic<int> lengthMs_{0};
  std::atomic<bool> paused_{false};
  std::atomic<int> seekRequest_{-1};
  std::atomic<int> seekingTo_{-1};  // decode thread: the seek it is carrying out

  mutable std::mutex statusLock_;
  std::wstring status_;

  // Fixed when the output opens; read by the decode thread only after.
  SampleFormat format_ = SampleFormat::kInt16;
  int channels_ = 0;
  int sampleRate_ = 0;
  size_t bytesPerFrame_ = 0;

  // Decode thread only.
  std::vector<uint8_t> outBuffer_;
  std::vector<int16_t> vis_;  // 16-bit frames waiting for a 576-frame piece
  double visClockMs_ = 0.0;
  int reportedBitrate_ = -1;
};

}  // namespace zul::mpegin
