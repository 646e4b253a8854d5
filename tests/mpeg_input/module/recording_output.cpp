#include "tests/mpeg_input/module/recording_output.h"

namespace zul::test {
namespace {

RecordingOutput& R() { return RecordingOutput::Get(); }

void __cdecl Nothing() {}
void __cdecl NothingHwnd(HWND) {}
int __cdecl Open(int rate, int ch, int bits, int, int) { return R().Open(rate, ch, bits); }
void __cdecl Close() { R().Note("Close", 0); }
int __cdecl Write(char* buf, int len) {
  R().Write(buf, len);
  return 0;
}
int __cdecl CanWrite() { return R().CanWrite(); }
int __cdecl IsPlaying() { return 0; }
int __cdecl Pause(int p) {
  R().Note("Pause", p);
  return 0;
}
void __cdecl SetVolume(int v) { R().Note("SetVolume", v); }
void __cdecl SetPan(int p) { R().Note("SetPan", p); }
void __cdecl Flush(int t) { R().Flush(t); }
int __cdecl GetWrittenTime() { return R().WrittenTime(); }
int __cdecl GetOutputTime() { return R().WrittenTime() - RecordingOutput::kLatencyMs; }

}  // namespace

RecordingOutput& RecordingOutput::Get() {
  static RecordingOutput r;
  return r;
}

Out_Module* RecordingOutput::Module() {
  static Out_Module m = [] {
    Out_Module o{};
    static char description[] = "recording output";
    o.description = description;
    o.Config = NothingHwnd;
    o.About = NothingHwnd;
    o.Init = Nothing;
    o.Quit = Nothing;
    o.Open = zul::test::Open;
    o.Close = zul::test::Close;
    o.Write = zul::test::Write;
    o.CanWrite = zul::test::CanWrite;
    o.IsPlaying = zul::test::IsPlaying;
    o.Pause = zul::test::Pause;
    o.SetVolume = zul::test::SetVolume;
    o.SetPan = zul::test::SetPan;
    o.Flush = zul::test::Flush;
    o.GetOutputTime = zul::test::GetOutputTime;
    o.GetWrittenTime = zul::test::GetWrittenTime;
    return o;
  }();
  return &m;
}

void RecordingOutput::Reset() {
  std::lock_guard l(lock_);
  calls_.clear();
  bytes_.clear();
  allowUntil_ = INT64_MAX / 2;
  hook_ = nullptr;
  flushBaseMs_ = 0;
  flushBaseBytes_ = 0;
}

void RecordingOutput::Allow(int64_t bytes) {
  std::lock_guard l(lock_);
  allowUntil_ = static_cast<int64_t>(bytes_.size()) + bytes;
}

std::vector<RecordedCall> RecordingOutput::Calls() {
  std::lock_guard l(lock_);
  return calls_;
}

std::vector<uint8_t> RecordingOutput::Bytes() {
  std::lock_guard l(lock_);
  return bytes_;
}

size_t RecordingOutput::ByteCount() {
  std::lock_guard l(lock_);
  return bytes_.size();
}

bool RecordingOutput::Has(const std::string& name) {
  std::lock_guard l(lock_);
  for (const RecordedCall& c : calls_)
    if (c.name == name) return true;
  return false;
}

void RecordingOutput::OnNext(const std::string& call, std::function<void()> hook) {
  std::lock_guard l(lock_);
  hookCall_ = call;
  hook_ = std::move(hook);
}

std::function<void()> RecordingOutput::TakeHook(const std::string& call) {
  std::function<void()> hook;
  if (hookCall_ == call) hook.swap(hook_);
  return hook;
}

int RecordingOutput::Open(int rate, int channels, int bits) {
  std::function<void()> hook;
  {
    std::lock_guard l(lock_);
    calls_.push_back({"Open", rate, channels, bits, bytes_.size()});
    rate_ = rate;
    frameBytes_ = channels * bits / 8;
    hook = TakeHook("Open");
  }
  if (hook) hook();
  return 0;
}

void RecordingOutput::Write(const char* buf, int len) {
  std::function<void()> hook;
  {
    std::lock_guard l(lock_);
    calls_.push_back({"Write", len, 0, 0, bytes_.size()});
    bytes_.insert(bytes_.end(), buf, buf + len);
    hook = TakeHook("Write");
  }
  if (hook) {
    hook();
    Note("Write returned", 0);
  }
}

int RecordingOutput::CanWrite() {
  std::lock_guard l(lock_);
  int64_t room = allowUntil_ - static_cast<int64_t>(bytes_.size());
  return static_cast<int>(std::clamp<int64_t>(room, 0, 1 << 20));
}

void RecordingOutput::Flush(int t) {
  std::function<void()> hook;
  {
    std::lock_guard l(lock_);
    calls_.push_back({"Flush", t, 0, 0, bytes_.size()});
    flushBaseMs_ = t;
    flushBaseBytes_ = bytes_.size();
    hook = TakeHook("Flush");
  }
  if (hook) {
    hook();
    Note("Flush returned", 0);
  }
}

void RecordingOutput::Note(const std::string& name, int a) {
  std::lock_guard l(lock_);
  calls_.push_back({name, a, 0, 0, bytes_.size()});
}

int RecordingOutput::WrittenTime() {
  std::lock_guard l(lock_);
  if (!frameBytes_ || !rate_) return flushBaseMs_;
  int64_t frames = static_cast<int64_t>(bytes_.size() - flushBaseBytes_) / frameBytes_;
  return flushBaseMs_ + static_cast<int>(frames * 1000 / rate_);
}

}  // namespace zul::test
