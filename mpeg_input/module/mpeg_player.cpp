#include "mpeg_input/module/mpeg_player.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/console_log.h"
#include "equalizer/equalizer.h"
#include "mpeg_input/http/stream_sync.h"
#include "mpeg_input/module/block_render.h"
#include "mpeg_input/module/file_info.h"
#include "mpeg_input/module/location_claim.h"

namespace zul::mpegin {
namespace {

constexpr wchar_t kHelperClass[] = L"in_!zulmpeg Play2nd";
constexpr UINT kWmWaMpegEof = WM_USER + 2;
// To the helper window: wParam the play that ended.
constexpr UINT kEndOfTrackMessage = WM_USER + 1;
constexpr LPARAM kIpcUpdTitle = 243;
// How long the prepare thread waits for the host to fetch a status text.
// A host that never asks only delays the end-of-track message by this.
constexpr DWORD kStatusFetchMs = 2000;
// A thread that has not ended by then is waited for still, and logged.
constexpr DWORD kThreadStopMs = 5000;
constexpr size_t kMaxLocation = 1023;
// What one Write hands the output: outputs buffer in blocks of tens of
// milliseconds, and each Write costs calls into the output and the host.
constexpr int kWriteMs = 40;
// The longest doze while waiting for room or for the drain: an output whose
// positions do not move is still looked at now and then.
constexpr DWORD kLongestDozeMs = 250;

bool IsSet(HANDLE event) { return event && WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }

int PriorityFromIndex(int index) {
  switch (index) {
    case 0:
      return THREAD_PRIORITY_NORMAL;
    case 1:
      return THREAD_PRIORITY_ABOVE_NORMAL;
    default:
      return THREAD_PRIORITY_HIGHEST;
  }
}

// Round half to even, as the clocks are reported.
int RoundClock(double ms) { return static_cast<int>(std::nearbyint(ms)); }

void CloseAndClear(HANDLE& h) {
  if (h) CloseHandle(h);
  h = nullptr;
}

// Waits for a thread that was asked to end. It always ends by itself: a
// thread killed inside libmpg123 or the heap would leave their locks held.
void JoinThread(HANDLE& thread, const wchar_t* what) {
  if (!thread) return;
  if (WaitForSingleObject(thread, kThreadStopMs) == WAIT_TIMEOUT) {
    ZUL_LOG(L"in_mpeg: the %s thread is slow to end (an output or DSP plug-in blocks); waiting", what);
    WaitForSingleObject(thread, INFINITE);
  }
  CloseAndClear(thread);
}

}  // namespace

CMpegPlayer::~CMpegPlayer() { Quit(); }

bool CMpegPlayer::Init() {
  if (stopRequest_) return true;
  stopRequest_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  titleFetched_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  wake_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  decodeStarted_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (stopRequest_ && titleFetched_ && wake_ && decodeStarted_) return true;
  for (HANDLE* h : {&stopRequest_, &titleFetched_, &wake_, &decodeStarted_}) CloseAndClear(*h);
  return false;
}

void CMpegPlayer::Quit() {
  if (!stopRequest_) return;
  Stop();
  if (helper_) {
    DestroyWindow(helper_);
    helper_ = nullptr;
    UnregisterClassW(kHelperClass, module_.hDllInstance);
  }
  for (HANDLE* h : {&stopRequest_, &titleFetched_, &wake_, &decodeStarted_}) CloseAndClear(*h);
}

bool CMpegPlayer::Preparing() const { return preparing_.load(); }

void CMpegPlayer::SetOutputTime(int ms) {
  seekRequest_.store(ms);
  if (wake_) SetEvent(wake_);
}

std::wstring CMpegPlayer::StatusText() const {
  std::lock_guard lock(statusLock_);
  return status_;
}

void CMpegPlayer::SetStatus(const std::wstring& text) {
  std::lock_guard lock(statusLock_);
  status_ = text;
}

void CMpegPlayer::StatusFetched() {
  if (titleFetched_) SetEvent(titleFetched_);
}

// The status text reaches the user only through the host's title query:
// IPC_UPDTITLE asks the host to make it, and the prepare thread waits until
// it has, so that a failure's end-of-track message cannot move the host on
// to the next entry before the text was taken. Stop waits for this thread
// without pumping messages: its stop request ends the wait at once.
void CMpegPlayer::AnnounceStatus(const std::wstring& text) {
  SetStatus(text);
  if (!module_.hMainWindow || !titleFetched_) return;
  ResetEvent(titleFetched_);
  if (!PostMessageW(module_.hMainWindow, WM_USER, 0, kIpcUpdTitle)) return;
  HANDLE events[] = {titleFetched_, stopRequest_};
  WaitForMultipleObjects(2, events, FALSE, kStatusFetchMs);
}

void CMpegPlayer::PostEndOfTrack(unsigned play) {
  // Through the helper window, on the main thread, where Stop counts plays:
  // an end that a Stop overtook is dropped there. Posted straight to the
  // host, it would end whatever plays next, or, stopped, make the host move
  // on through its playlist by itself.
  if (helper_ && PostMessageW(helper_, kEndOfTrackMessage, play, 0)) return;
  if (module_.hMainWindow && play == playNumber_.load()) PostMessageW(module_.hMainWindow, kWmWaMpegEof, 0, 0);
}

int CMpegPlayer::Play(const std::wstring& location) {
  Stop();
  location_ = location.substr(0, kMaxLocation);
  module_.is_seekable = IsStreamLocation(location_) ? 0 : 1;
  lengthMs_ = IsStreamLocation(location_) ? -1000 : 0;
  SetStatus(L"");
  seekRequest_ = -1;
  seekingTo_ = -1;
  paused_ = false;
  if (!stopRequest_ && !Init()) return 1;
  preparing_ = true;
  prepareRunning_ = true;
  ResetEvent(stopRequest_);

  if (!helper_) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = HelperProc;
    wc.hInstance = module_.hDllInstance;
    wc.lpszClassName = kHelperClass;
    RegisterClassW(&wc);  // fails harmlessly when already registered
    helper_ = CreateWindowExW(0, kHelperClass, L"", 0, 0, 0, 0, 0, nullptr, nullptr, module_.hDllInstance, nullptr);
    if (helper_) SetWindowLongPtrW(helper_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  playback_ = std::make_unique<CMpegFilePlayback>();
  if (IsStreamLocation(location_)) {
    CStreamOptions o;
    o.location = location_;
    o.titleStreaming = settings_.titleStreaming != 0;
    o.useUdp = settings_.useUdp != 0;
    o.decodeText = settings_.decodeText != 0;
    o.enableProxy = settings_.enableProxy != 0;
    o.proxy = settings_.proxy;
    o.receivePriority = settings_.receivePriority;
    o.strBufKb = settings_.strBuf;
    o.saveStream = settings_.saveStream != 0;
    o.saveStreamFile = settings_.saveStreamFile;
    o.notify = module_.hMainWindow;
    stream_ = std::make_shared<CHttpStream>(std::move(o));
  }
  preparedPlay_ = playNumber_.load();
  prepareThread_ = CreateThread(nullptr, 0, PrepareThread, this, 0, nullptr);
  if (!prepareThread_) {
    prepareRunning_ = false;
    PostEndOfTrack(preparedPlay_);
  }
  return 0;
}

DWORD WINAPI CMpegPlayer::PrepareThread(void* self) {
  static_cast<CMpegPlayer*>(self)->Prepare();
  return 0;
}

void CMpegPlayer::Prepare() {
  bool ok = false;
  if (stream_) {
    ok = PrepareStream();
  } else if (!playback_->Open(std::filesystem::path(location_), settings_.fullBuffering != 0)) {
    // As GetFileInfo reports any file without a valid frame.
    lengthMs_ = -1000;
    AnnounceStatus(L"Valid frame not found");
  } else {
    lengthMs_ = static_cast<int>(std::clamp<int64_t>(playback_->Scan().lengthMs, 0, INT32_MAX));
    ok = true;
  }
  if (!IsSet(stopRequest_)) {
    if (ok) ok = helper_ && PostMessageW(helper_, WM_USER, preparedPlay_, 0);
    if (!ok) PostEndOfTrack(preparedPlay_);
  }
  prepareRunning_ = false;
}

bool CMpegPlayer::PrepareStream() {
  if (!stream_->Start()) {
    AnnounceStatus(stream_->Status());
    return false;
  }
  AnnounceStatus(L"Connecting " + stream_->Host());
  if (stream_->WaitConnected(stopRequest_) != CHttpStream::State::kReceiving) {
    if (!IsSet(stopRequest_)) AnnounceStatus(stream_->Status());
    return false;
  }
  AnnounceStatus(L"Searching frame");
  CFrameHeader first;
  if (!SynchroniseRing(stream_->Ring(), &first)) {
    std::wstring status = stream_->Status();
    if (!IsSet(stopRequest_)) AnnounceStatus(status.empty() ? L"Valid frame not found" : status);
    return false;
  }
  playback_->OpenStream(stream_->Ring(), first, stream_->BitrateKbps());
  SetStatus(L"");
  return true;
}

std::wstring CMpegPlayer::StreamTitleText(const std::wstring& format) const {
  if (!stream_) return {};
  std::wstring title = stream_->Title(), station = stream_->Station();
  if (title.empty()) return station.empty() ? location_ : station;
  std::wstring out;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == L'%' && i + 1 < format.size() && (format[i + 1] == L'1' || format[i + 1] == L'2')) {
      out += format[i + 1] == L'1' ? title : station;
      ++i;
    } else {
      out += format[i];
    }
  }
  return out;
}

LRESULT CALLBACK CMpegPlayer::HelperProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_USER) {
    auto* self = reinterpret_cast<CMpegPlayer*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    const auto play = static_cast<unsigned>(wParam);
    if (self && play == self->playNumber_.load() && !self->OpenOutput(play)) self->PostEndOfTrack(play);
    return 0;
  }
  if (msg == kEndOfTrackMessage) {
    auto* self = reinterpret_cast<CMpegPlayer*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    // Sent, not posted: a Stop sent from elsewhere would be taken before a
    // posted message and could still overtake it.
    if (self && static_cast<unsigned>(wParam) == self->playNumber_.load() && self->module_.hMainWindow)
      SendMessageW(self->module_.hMainWindow, kWmWaMpegEof, 0, 0);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

bool CMpegPlayer::OpenOutput(unsigned play) {
  Out_Module* out = module_.outMod;
  if (!out || !out->Open || !playback_) return false;
  // Copied: a Stop during the calls below takes the playback object away.
  const int sampleRate = playback_->Scan().sampleRate;
  const int channels = playback_->Scan().channels;
  const int bitrate = playback_->Scan().bitrate;
  format_ = SampleFormatFromSetting(settings_.outputFormat);
  const int bits = BitsPerSample(format_);
  int latency = out->Open(sampleRate, channels, bits, -1, -1);
  if (play != playNumber_.load()) {
    // Stopped while the output opened: that Stop found no output to close.
    if (latency >= 0 && out->Close) out->Close();
    return true;
  }
  if (latency < 0) return false;
  outputOpen_ = true;
  preparing_ = false;
  if (stream_) stream_->SetDecoding(true);

  channels_ = channels;
  sampleRate_ = sampleRate;
  bytesPerFrame_ = static_cast<size_t>(channels_) * BytesPerSample(format_);
  const size_t blockBytes = CMpegFilePlayback::kBlockFrames * bytesPerFrame_;
  writeBytes_ = std::max(blockBytes, static_cast<size_t>(sampleRate_) * kWriteMs / 1000 * bytesPerFrame_);
  // An output that holds less than two writes gets writes of half its size.
  const int capacity = out->CanWrite ? out->CanWrite() : 0;
  if (capacity > 0 && static_cast<size_t>(capacity) < 2 * writeBytes_)
    writeBytes_ = std::max(bytesPerFrame_, static_cast<size_t>(capacity) / 2 / bytesPerFrame_ * bytesPerFrame_);
  capacity_ = capacity;
  // A write and two blocks more: the last block may pass writeBytes_, and
  // a DSP plug-in may return twice the frames it was given.
  outBuffer_.assign(writeBytes_ + 2 * blockBytes, 0);
  outFill_ = 0;
  vis_.clear();
  visClockMs_ = 0.0;
  reportedBitrate_ = -1;

  if (module_.SetInfo) module_.SetInfo(bitrate / 1000, sampleRate / 1000, channels, 1);
  if (module_.SAVSAInit) module_.SAVSAInit(latency, sampleRate);
  if (module_.VSASetInfo) module_.VSASetInfo(sampleRate, channels);
  if (out->SetVolume) out->SetVolume(-666);
  // An output's SetVolume may wait as its Open did; a Stop then has closed
  // the output already.
  if (play != playNumber_.load()) return true;

  stopDecode_ = false;
  ResetEvent(wake_);
  decodeThread_ = CreateThread(nullptr, 0, DecodeThread, this, CREATE_SUSPENDED, nullptr);
  if (!decodeThread_) return false;
  SetThreadPriority(decodeThread_, PriorityFromIndex(settings_.decodePriority));
  ResumeThread(decodeThread_);
  WaitForSingleObject(decodeStarted_, INFINITE);
  return true;
}

DWORD WINAPI CMpegPlayer::DecodeThread(void* self) {
  static_cast<CMpegPlayer*>(self)->Decode();
  return 0;
}

void CMpegPlayer::Doze(DWORD ms) { WaitForSingleObject(wake_, ms); }

int CMpegPlayer::WaitForRoom(int least, int wanted) {
  Out_Module* out = module_.outMod;
  const double bytesPerMs = static_cast<double>(sampleRate_) * bytesPerFrame_ / 1000.0;
  for (;;) {
    if (StopRequested() || seekRequest_.load() != -1) return -1;
    const int room = out->CanWrite();
    if (room >= least) return room;
    // Paused, the output frees nothing until UnPause, which wakes this wait.
    // Otherwise room comes back as fast as the output plays.
    if (paused_.load()) {
      Doze(INFINITE);
    } else {
      const double ms = (wanted - std::max(room, 0)) / bytesPerMs;
      Doze(static_cast<DWORD>(std::clamp(ms + 1.0, 1.0, static_cast<double>(kLongestDozeMs))));
    }
  }
}

bool CMpegPlayer::WaitForDrain() {
  Out_Module* out = module_.outMod;
  while (!StopRequested() && out->IsPlaying()) {
    if (paused_.load()) {
      Doze(INFINITE);
      continue;
    }
    const int left = out->GetWrittenTime() - out->GetOutputTime();
    Doze(static_cast<DWORD>(std::clamp(left, 1, static_cast<int>(kLongestDozeMs))));
  }
  return !StopRequested();
}

void CMpegPlayer::Decode() {
  SetEvent(decodeStarted_);
  Out_Module* out = module_.outMod;
  CMpegFilePlayback& p = *playback_;
  bool endReached = false;
  if (!p.StartDecoding(DecideFileGain(settings_, p.Scan(), p.Source()), settings_.supZero != 0)) {
    PostEndOfTrack(preparedPlay_);
    return;
  }
  while (!StopRequested()) {
    int seek = seekRequest_.load();
    if (seek != -1) {
      // Between the reader's jump and the output's flush the clocks
      // disagree; OutputTime reports the target until both have moved.
      seekingTo_.store(seek);
      int taken = seek;
      seekRequest_.compare_exchange_strong(taken, -1);  // a newer request waits for the next pass
      outFill_ = 0;                                     // gathered at the old position
      bool positioned = p.Seek(seek);
      out->Flush(seek);
      dsp_discard();  // the equalizer's held frames are of the old position
      seekingTo_.store(-1);
      vis_.clear();
      visClockMs_ = seek;
      if (!positioned) {
        endReached = WaitForDrain();
        break;
      }
    }
    if (outFill_ >= writeBytes_) {
      WriteBuffered();
      continue;
    }
    double* samples = nullptr;
    bool ended = false;
    size_t frames = p.NextBlock(&samples, &ended);
    if (frames > 0) RenderInto(samples, frames);
    if (ended && !p.Resynchronise()) {
      WriteBuffered();
      if (seekRequest_.load() != -1) continue;
      DrainDsp();
      endReached = WaitForDrain();
      break;
    }
  }
  if (endReached) PostEndOfTrack(preparedPlay_);
}

void CMpegPlayer::RenderInto(double* samples, size_t frames) {
  FeedVisualisation(samples, frames);
  uint8_t* at = outBuffer_.data() + outFill_;
  size_t bytes = RenderBlock(samples, frames, channels_, settings_.ChannelOptions(), format_, at);
  int written = static_cast<int>(frames);
  if (module_.dsp_isactive && module_.dsp_isactive() && module_.dsp_dosamples) {
    written =
        module_.dsp_dosamples(reinterpret_cast<short*>(at), written, BitsPerSample(format_), channels_, sampleRate_);
    // Never more than the buffer holds, whatever the DSP claims.
    written = std::clamp(written, 0, static_cast<int>((outBuffer_.size() - outFill_) / bytesPerFrame_));
    bytes = static_cast<size_t>(written) * bytesPerFrame_;
  }
  outFill_ += bytes;
}

// Hands the gathered blocks to the output: all at once when it has room,
// else as much as it takes once it takes at least a block. Gives up,
// keeping the rest, when a stop or seek request comes.
void CMpegPlayer::WriteBuffered() {
  Out_Module* out = module_.outMod;
  CMpegFilePlayback& p = *playback_;
  const size_t block = CMpegFilePlayback::kBlockFrames * bytesPerFrame_;
  while (outFill_ > 0) {
    size_t piece = outFill_;
    if (capacity_ > 0 && piece > static_cast<size_t>(capacity_))
      piece = std::max(bytesPerFrame_, static_cast<size_t>(capacity_) / bytesPerFrame_ * bytesPerFrame_);
    const int room = WaitForRoom(static_cast<int>(std::min(piece, block)), static_cast<int>(piece));
    if (room < 0) return;
    piece = std::min(piece, static_cast<size_t>(room) / bytesPerFrame_ * bytesPerFrame_);
    out->Write(reinterpret_cast<char*>(outBuffer_.data()), static_cast<int>(piece));
    p.AdvanceClock(piece / bytesPerFrame_);
    outFill_ -= piece;
    if (outFill_ > 0) std::memmove(outBuffer_.data(), outBuffer_.data() + piece, outFill_);
  }
  if (!settings_.dispAvg && module_.SetInfo) {
    int kbps = p.CurrentBitrateKbps();
    if (kbps != reportedBitrate_) {
      reportedBitrate_ = kbps;
      module_.SetInfo(kbps, sampleRate_ / 1000, channels_, 1);
    }
  }
}

void CMpegPlayer::DrainDsp() {
  Out_Module* out = module_.outMod;
  if (!module_.dsp_isactive || !module_.dsp_isactive()) {
    dsp_discard();
    return;
  }
  CMpegFilePlayback& p = *playback_;
  const int piece = static_cast<int>(CMpegFilePlayback::kBlockFrames);
  const int bits = BitsPerSample(format_);
  const int bytes = piece * static_cast<int>(bytesPerFrame_);
  while (WaitForRoom(bytes, bytes) >= 0) {
    const int frames = dsp_drain(reinterpret_cast<short*>(outBuffer_.data()), piece, bits, channels_);
    if (frames <= 0) return;
    out->Write(reinterpret_cast<char*>(outBuffer_.data()), frames * static_cast<int>(bytesPerFrame_));
    p.AdvanceClock(static_cast<size_t>(frames));
  }
}

void CMpegPlayer::FeedVisualisation(const double* samples, size_t frames) {
  const size_t ch = static_cast<size_t>(channels_);
  const size_t piece = CMpegFilePlayback::kBlockFrames * ch;
  size_t at = vis_.size();
  vis_.resize(at + frames * ch);
  ConvertToInt16(samples, frames * ch, reinterpret_cast<uint8_t*>(vis_.data() + at));
  size_t used = 0;
  while (vis_.size() - used >= piece) {
    int stamp = RoundClock(visClockMs_);
    if (module_.SAAddPCMData) module_.SAAddPCMData(vis_.data() + used, channels_, 16, stamp);
    if (module_.VSAAddPCMData) module_.VSAAddPCMData(vis_.data() + used, channels_, 16, stamp);
    visClockMs_ += 576000.0 / sampleRate_;
    used += piece;
  }
  vis_.erase(vis_.begin(), vis_.begin() + static_cast<ptrdiff_t>(used));
}

void CMpegPlayer::Stop() {
  SetStatus(L"");
  ++playNumber_;
  if (stream_) stream_->Abort();
  if (prepareThread_) {
    if (prepareRunning_) SetEvent(stopRequest_);
    WaitForSingleObject(prepareThread_, INFINITE);
    CloseAndClear(prepareThread_);
  }
  if (decodeThread_) {
    stopDecode_ = true;
    SetEvent(wake_);
    JoinThread(decodeThread_, L"decode");
  }
  dsp_discard();  // what the equalizer holds of this play is not heard
  playback_.reset();
  stream_.reset();  // its receive thread lets go of it when its server call returns
  if (outputOpen_.exchange(false)) {
    // Cleared first: Close may dispatch sent messages, and a Stop nested
    // there must not close the output a second time.
    if (module_.SAVSADeInit) module_.SAVSADeInit();
    if (module_.outMod && module_.outMod->Close) module_.outMod->Close();
  }
  preparing_ = false;
  paused_ = false;
}

void CMpegPlayer::Pause() {
  if (!prepareRunning_ && outputOpen_ && module_.outMod) module_.outMod->Pause(1);
  paused_ = true;
}

void CMpegPlayer::UnPause() {
  if (!prepareRunning_ && outputOpen_ && module_.outMod) module_.outMod->Pause(0);
  paused_ = false;
  if (wake_) SetEvent(wake_);
}

int CMpegPlayer::OutputTime() const {
  if (preparing_ || !outputOpen_ || !playback_ || !module_.outMod) return 0;
  // A seek asked for or under way: its target is the position.
  for (int target : {seekRequest_.load(), seekingTo_.load()})
    if (target != -1) return target;
  Out_Module* out = module_.outMod;
  int t = RoundClock(playback_->ClockMs()) + (out->GetOutputTime() - out->GetWrittenTime());
  return t < 1 ? 0 : t;
}

}  // namespace zul::mpegin
