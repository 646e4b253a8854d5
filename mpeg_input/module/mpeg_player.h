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
// between them: the stop, seek and pause requests (atomics, UI thread
// writes), the decode clock and the seek under way (atomics, decode thread
// writes), the status text (statusLock_), the length (atomic, prepare
// thread writes once), the output-open and preparing states (atomics, UI
// thread writes).
//
// The decode loop reads its requests as atomics, without a system call per
// block: under Wine every wait on a kernel object is a round trip to the
// wineserver. It blocks only where there is nothing to do, on wake_, which
// every request signals: while the output has no room (for as long as the
// output needs to play the missing bytes; the plug-in interface has no
// signal for room), while paused with a full output (until a request), and
// while the output drains at the end. So Stop always ends the thread by
// itself: it sets the flag, signals wake_ and waits.
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

#include "mpeg_input/http/http_stream.h"
#include "mpeg_input/module/file_playback.h"
#include "mpeg_input/module/mpeg_settings.h"
#include "mpeg_input/samples/sample_format.h"
#include "pluginhost/protocol/winamp_records.h"

namespace zul::mpegin {

class CMpegPlayer {
public:
  CMpegPlayer(In_Module& module, CMpegInputParam& settings) : module_(module), settings_(settings) {}
  ~CMpegPlayer();

  // Init and Quit: the four events and the helper window.
  bool Init();
  void Quit();

  int Play(const std::wstring& location);
  void Stop();
  void Pause();
  void UnPause();
  bool IsPaused() const { return paused_.load(); }
  int LengthMs() const { return lengthMs_.load(); }
  int OutputTime() const;
  void SetOutputTime(int ms);

  const std::wstring& Location() const { return location_; }
  bool Preparing() const;
  std::wstring StatusText() const;
  // The host's title query took the status text (the title-fetched event).
  void StatusFetched();
  // The title of the stream playing: `format` with "%1" the stream title
  // and "%2" the station; before any title, the station or the location.
  std::wstring StreamTitleText(const std::wstring& format) const;

private:
  static DWORD WINAPI PrepareThread(void* self);
  static DWORD WINAPI DecodeThread(void* self);
  static LRESULT CALLBACK HelperProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  void Prepare();
  // The prepare thread's part for a stream: connect, synchronise, hand the
  // ring to the playback object. False with the status announced.
  bool PrepareStream();
  bool OpenOutput(unsigned play);  // UI thread, through the helper window
  void Decode();
  // Renders one block of `frames` into the write buffer (through the DSP
  // when active); WriteBuffered hands what has gathered to the output.
  void RenderInto(double* samples, size_t frames);
  void WriteBuffered();
  // Waits until the output takes at least `least` bytes, dozing as long as
  // it needs to make room for `wanted`; the room, or -1 when a stop or seek
  // request came first.
  int WaitForRoom(int least, int wanted);
  // Waits until the output has played everything; false when stopped.
  bool WaitForDrain();
  // Blocks on wake_ for at most `ms` (INFINITE while paused with nothing
  // else to do).
  void Doze(DWORD ms);
  // The end of the data: what the host's equalizer still holds is written
  // before the output drains (Threads: decode thread).
  void DrainDsp();
  void FeedVisualisation(const double* samples, size_t frames);
  bool StopRequested() const { return stopDecode_.load(std::memory_order_relaxed); }
  void SetStatus(const std::wstring& text);
  // Prepare thread: sets a status text and has the host fetch it.
  void AnnounceStatus(const std::wstring& text);
  // The end of `play` for the host, unless a Stop overtakes it.
  void PostEndOfTrack(unsigned play);

  In_Module& module_;
  CMpegInputParam& settings_;

  std::atomic<bool> outputOpen_{false};      // Close it in Stop
  std::atomic<bool> preparing_{false};       // status text is the title
  std::atomic<bool> prepareRunning_{false};  // prepare thread alive
  HANDLE stopRequest_ = nullptr;             // manual: prepare thread must give up
  HANDLE titleFetched_ = nullptr;            // auto: the host fetched the status text
  HANDLE wake_ = nullptr;                    // auto: a request for the decode thread
  HANDLE decodeStarted_ = nullptr;           // auto
  std::atomic<bool> stopDecode_{false};
  HANDLE prepareThread_ = nullptr;
  HANDLE decodeThread_ = nullptr;
  HWND helper_ = nullptr;
  // Counts Stop calls (every Play stops first): tells a hand-off or an
  // output opening that its play has been stopped meanwhile.
  std::atomic<unsigned> playNumber_{0};
  unsigned preparedPlay_ = 0;  // the play the prepare thread works for

  std::wstring location_;
  std::unique_ptr<CMpegFilePlayback> playback_;
  // The stream of this play; made by Play, aborted first thing in Stop so
  // that no thread waits for a server.
  std::shared_ptr<CHttpStream> stream_;
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

  // Decode thread only. outBuffer_ gathers rendered blocks up to
  // writeBytes_, about kWriteMs of sound, and goes to the output in one
  // Write: outputs buffer in blocks of tens of milliseconds.
  std::vector<uint8_t> outBuffer_;
  size_t outFill_ = 0;
  size_t writeBytes_ = 0;
  int capacity_ = 0;          // what the output took when it was empty
  std::vector<int16_t> vis_;  // 16-bit frames waiting for a 576-frame piece
  double visClockMs_ = 0.0;
  int reportedBitrate_ = -1;
};

}  // namespace zul::mpegin
