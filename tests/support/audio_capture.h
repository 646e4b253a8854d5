#pragma once
// Records what the test environment's PulseAudio null sink plays (its
// monitor source; scripts/test-env.sh creates the sink), for Wine tests that
// check real audio output. The recording itself is done by parec under
// tests/support/audio_capture.sh, which runs the test and a recorder beside
// it; this class drives that recorder through files in the folder named by
// $ZUL_AUDIO_CAPTURE_DIR, reached from the Windows side through drive Z:.
// (The test must not start parec itself: see the script.)
//
// Threads: one test thread.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace zul::test {

inline constexpr int kCaptureRate = 44100;  // the sink's format: 16-bit stereo

class CAudioCapture {
public:
  explicit CAudioCapture(std::string name);  // the recording is <name>.raw
  ~CAudioCapture();                          // stops a recording still running

  // Starts a recording and waits until audio data (silence included)
  // arrives. False, with the reason in Error(), when that does not happen.
  bool Start();
  // Ends the recording and returns the interleaved stereo samples.
  std::vector<int16_t> Stop();
  const std::string& Error() const { return error_; }

private:
  std::string dir_, name_, error_;
  bool running_ = false;
};

// Records while `play` runs, as "<name>-<attempt>". Under Wine a recording
// now and then misses a few milliseconds the program did play, so while
// `spoilt(samples, attempt)` finds such a hole it records again, at most
// `attempts` times; a hole the program causes shows every time. Returns the
// last recording, or nothing after a failure (reported).
template <typename Play, typename Spoilt>
std::vector<int16_t> RecordUntilClean(const std::string& name, int attempts, Play play, Spoilt spoilt) {
  std::vector<int16_t> samples;
  for (int attempt = 1; attempt <= attempts; ++attempt) {
    CAudioCapture capture(name + "-" + std::to_string(attempt));
    if (!capture.Start()) {
      ADD_FAILURE() << capture.Error();
      return {};
    }
    play();
    Sleep(300);  // the sink's last samples reach the monitor
    samples = capture.Stop();
    EXPECT_TRUE(capture.Error().empty()) << capture.Error();
    if (::testing::Test::HasFatalFailure()) return {};
    if (!spoilt(samples, attempt)) break;
  }
  return samples;
}

}  // namespace zul::test
