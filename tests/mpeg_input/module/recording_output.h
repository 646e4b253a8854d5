#pragma once
// An output module that records every call and every byte written, with a
// gate on how much it accepts, so a test can hold playback at a point.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "pluginhost/protocol/winamp_records.h"

namespace zul::test {

struct RecordedCall {
  std::string name;  // "Open", "Write", "Flush", "Pause", "Close", "SetVolume", ...
  int a = 0, b = 0, c = 0;
  size_t byteOffset = 0;  // bytes written before this call
};

class RecordingOutput {
public:
  static RecordingOutput& Get();
  Out_Module* Module();

  void Reset();
  // CanWrite admits at most this many more bytes (from now on).
  void Allow(int64_t bytes);
  void AllowAll() { Allow(INT64_MAX / 2); }
  // Runs `hook` once, inside the next Open, Write or Flush (`call`), after
  // the call is recorded: an output whose Open dispatches messages lets the
  // host act there, a Flush is the middle of a seek, and a slow Write or
  // Flush is a plug-in that keeps the decode thread. A Write or Flush hook
  // that returns is recorded as "<call> returned".
  void OnNext(const std::string& call, std::function<void()> hook);
  // Subtracted from the written time to give the output time.
  static constexpr int kLatencyMs = 200;

  std::vector<RecordedCall> Calls();
  std::vector<uint8_t> Bytes();
  size_t ByteCount();
  bool Has(const std::string& name);

  // Out_Module behaviour.
  int Open(int rate, int channels, int bits);
  void Write(const char* buf, int len);
  int CanWrite();
  void Flush(int t);
  void Note(const std::string& name, int a);
  int WrittenTime();

private:
  std::mutex lock_;
  std::string hookCall_;
  std::function<void()> hook_;
  // The hook for `call` if one is waiting; lock_ held.
  std::function<void()> TakeHook(const std::string& call);
  std::vector<RecordedCall> calls_;
  std::vector<uint8_t> bytes_;
  int64_t allowUntil_ = 0;  // byte count up to which writing is allowed
  int bytesPerMs_x1000_ = 0;
  int rate_ = 0, frameBytes_ = 0;
  int flushBaseMs_ = 0;
  size_t flushBaseBytes_ = 0;
};

}  // namespace zul::test
