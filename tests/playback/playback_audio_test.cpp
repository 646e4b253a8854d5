// What zul.exe plays, heard: the built-in MPEG input and waveOut output
// inside the real program, recorded from the PulseAudio null sink. Each
// fixture track is a steady tone of its own, so the recording tells which
// track sounded when.
//
// Under Wine a recording now and then misses a few milliseconds; a test
// that finds a hole records again (up to kAttempts times); a hole the
// program causes shows every time.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/audio_capture.h"
#include "tests/support/zul_process.h"
#include "tests/waveout/tone_analysis.h"

namespace zul::test {
namespace {

constexpr int kRate = kCaptureRate;
constexpr double kToneDb = -9.0309;  // the fixtures' sines have amplitude 0.5
constexpr double kThreshold = 0.01;
constexpr size_t kWindow = kRate / 20;  // 50 ms
constexpr int kAttempts = 5;

std::wstring Fixtures() { return BinDir() + L"\\playback_fixtures"; }

// A run of consecutive 50 ms windows whose pitch is the same tone.
struct ToneRun {
  double frequency = 0;
  Span span;
};

// Classifies every window of sound by the nearest of the given tones
// (within 2 %) and joins neighbours with the same tone. Windows that are
// silent or fit no tone (a switch falls inside) end a run.
std::vector<ToneRun> ToneRuns(const std::vector<double>& x, const std::vector<double>& tones) {
  std::vector<ToneRun> runs;
  for (size_t at = 0; at + kWindow <= x.size(); at += kWindow) {
    Span w{at, at + kWindow};
    double tone = 0;
    if (PeakAbs(x, w) > kThreshold) {
      const double f = ZeroCrossingFrequency(x, w, kRate);
      for (double t : tones)
        if (std::fabs(f - t) < t * 0.02) tone = t;
    }
    if (tone == 0) continue;
    if (!runs.empty() && runs.back().frequency == tone && runs.back().span.end == at)
      runs.back().span.end = w.end;
    else
      runs.push_back({tone, w});
  }
  // Runs shorter than 150 ms are the edges of a switch, not a track.
  runs.erase(std::remove_if(runs.begin(), runs.end(), [](const ToneRun& r) { return r.span.Length() < 3 * kWindow; }),
             runs.end());
  // Neighbours of the same tone separated only by dropped edges join again.
  std::vector<ToneRun> joined;
  for (const ToneRun& r : runs) {
    if (!joined.empty() && joined.back().frequency == r.frequency)
      joined.back().span.end = r.span.end;
    else
      joined.push_back(r);
  }
  return joined;
}

// Where the first quiet run of `length` samples inside the span starts.
size_t QuietRunStart(const std::vector<double>& x, Span span, double threshold, size_t length) {
  size_t run = 0;
  for (size_t i = span.begin; i < span.end; ++i) {
    run = std::fabs(x[i]) < threshold ? run + 1 : 0;
    if (run == length) return i + 1 - length;
  }
  return span.begin;
}

// The decoded reference's level: the 16-bit PCM of a WAV file.
double ReferenceDb(const std::wstring& wav, double frequency) {
  const std::string bytes = ReadFileBytes(wav);
  const size_t data = bytes.find("data");
  if (data == std::string::npos || bytes.size() < data + 8) return 0;
  std::vector<int16_t> samples((bytes.size() - data - 8) / 2);
  std::memcpy(samples.data(), bytes.data() + data + 8, samples.size() * 2);
  std::vector<double> x = Channel(samples, 2, 0);
  return ToneDb(x, Inner(Span{0, x.size()}, kRate / 10), frequency, kRate);
}

std::string Describe(const std::vector<ToneRun>& runs) {
  std::string text;
  for (const ToneRun& r : runs) {
    char part[64];
    std::snprintf(part, sizeof part, "%.0f Hz for %.0f ms; ", r.frequency, r.span.Length() * 1000.0 / kRate);
    text += part;
  }
  return text;
}

double Ms(size_t samples) { return samples * 1000.0 / kRate; }

class PlaybackAudio : public ::testing::Test {
protected:
  // Records while `play` runs zul.exe; again when a tone has a hole, unless
  // the playing itself makes one (a seek flushes the output inside a track).
  template <typename Play>
  std::vector<double> Record(const char* name, const std::vector<double>& tones, Play play, bool retryOnHole = true) {
    std::vector<double> left;
    auto spoilt = [&](const std::vector<int16_t>& samples, int attempt) {
      left = Channel(samples, 2, 0);
      if (!retryOnHole) return false;
      // Inside a track, not between two: the output closes and opens again
      // when the track changes.
      size_t hole = 0;
      double where = 0;
      for (const ToneRun& r : ToneRuns(left, tones)) {
        // A 50 ms window at either edge may hold the silence of a switch.
        const Span inner = Inner(r.span, kWindow + kRate / 100);
        const size_t h = LongestQuietRun(left, inner, 0.05);
        if (h > hole) {
          hole = h;
          where = Ms(QuietRunStart(left, inner, 0.05, h) - r.span.begin);
        }
      }
      if (hole <= 4) return false;
      std::printf("[ RETRY    ] %s: a %.1f ms hole %.0f ms into a track on attempt %d\n", name, Ms(hole), where,
                  attempt);
      return true;
    };
    if (RecordUntilClean(name, kAttempts, play, spoilt).empty()) return {};
    return left;
  }
};

TEST_F(PlaybackAudio, AFolderSoundsTrackByTrackAtItsLevel) {
  bool exited = false;
  std::vector<double> x = Record("folder", {770, 880}, [&] {
    ZulSandbox box(L"audio_folder");
    HANDLE process = box.Start(L"\"" + Fixtures() + L"\\albums\\album_b\"");
    exited = WaitForExit(process, 30000);
  });
  EXPECT_TRUE(exited) << "the program did not end after its last track";
  const double referenceDb = ReferenceDb(Fixtures() + L"\\reference\\b1.wav", 770);
  ASSERT_LT(referenceDb, -8.0);
  std::vector<ToneRun> runs = ToneRuns(x, {770, 880});
  ASSERT_EQ(runs.size(), 2u) << Describe(runs);
  EXPECT_EQ(runs[0].frequency, 770);
  EXPECT_EQ(runs[1].frequency, 880);
  for (const ToneRun& r : runs) {
    // Each track is one second; 50 ms windows cut at a switch are lost.
    EXPECT_NEAR(Ms(r.span.Length()), 1000, 110) << Describe(runs);
    const Span steady = Inner(r.span, kRate / 20);
    EXPECT_NEAR(ToneDb(x, steady, r.frequency, kRate), referenceDb, 0.2);
    EXPECT_LE(LongestQuietRun(x, steady, 0.05), 4u) << "a dropout inside the track";
  }
  std::printf("[ MEASURED ] %s level %.3f dBFS (decoded file %.3f, sine before encoding %.3f)\n",
              Describe(runs).c_str(), ToneDb(x, Inner(runs[0].span, kRate / 20), 770, kRate), referenceDb, kToneDb);
}

TEST_F(PlaybackAudio, NextPreviousAndSeekWhilePlaying) {
  int seekedBy = 0;
  int afterNext = -1, afterPrevious = -1;
  std::vector<double> x = Record(
      "commands", {500, 1000},
      [&] {
        ZulSandbox box(L"audio_commands");
        DWORD pid = 0;
        HANDLE process = box.Start(L"\"" + Fixtures() + L"\\long\"", &pid);
        HWND main = WaitForInstance(pid);
        ASSERT_NE(main, nullptr);
        ASSERT_TRUE(WaitUntilRunning(main));
        HWND winamp = FindWinampWindow(pid);
        ASSERT_NE(winamp, nullptr);
        auto ipc = [&](WPARAM w, LPARAM l) { return static_cast<int>(SendMessageW(winamp, WM_USER, w, l)); };
        auto command = [&](WPARAM id) { SendMessageW(winamp, WM_COMMAND, id, 0); };
        // Polls until the playing track has reached `ms`.
        auto playedUntil = [&](int ms) -> testing::AssertionResult {
          for (DWORD start = GetTickCount(); GetTickCount() - start < 20000; Sleep(20))
            if (ipc(0, 104) == 1 && ipc(0, 105) >= ms) return testing::AssertionSuccess();
          return testing::AssertionFailure() << "state " << ipc(0, 104) << ", position " << ipc(0, 105) << " ms";
        };
        ASSERT_TRUE(playedUntil(1500));
        command(40048);  // next
        afterNext = ipc(0, 125);
        ASSERT_TRUE(playedUntil(1500));
        // The decode thread carries a seek out shortly after the command: the
        // jump is the new position less the time that passed meanwhile.
        const int before = ipc(0, 105);
        const DWORD sent = GetTickCount();
        command(40148);  // forward 5 s
        for (DWORD start = GetTickCount(); GetTickCount() - start < 3000; Sleep(5)) {
          const int now = ipc(0, 105);
          if (now - before > 2500) {
            seekedBy = now - before - static_cast<int>(GetTickCount() - sent);
            break;
          }
        }
        ASSERT_TRUE(playedUntil(7500));
        command(40044);  // previous
        afterPrevious = ipc(0, 125);
        ASSERT_TRUE(playedUntil(1500));
        command(40001);
        WaitForExit(process, 20000);
      },
      false);
  EXPECT_EQ(afterNext, 1);
  EXPECT_EQ(afterPrevious, 0);
  EXPECT_NEAR(seekedBy, 5000, 250);
  std::vector<ToneRun> runs = ToneRuns(x, {500, 1000});
  ASSERT_EQ(runs.size(), 3u) << Describe(runs);
  EXPECT_EQ(runs[0].frequency, 500);
  EXPECT_EQ(runs[1].frequency, 1000);
  EXPECT_EQ(runs[2].frequency, 500);
  // The second track sounded from 0 to 1.5 s, then from 6.5 to 7.5 s: the
  // seek skipped five seconds of it.
  EXPECT_NEAR(Ms(runs[1].span.Length()), 2500, 300) << Describe(runs);
  std::printf("[ MEASURED ] %s seek moved the position by %d ms\n", Describe(runs).c_str(), seekedBy);
}

// The equalizer holds the last 280 ms it was given. With it on, the last
// track of a playlist still sounds to its end, and every track for its
// whole length.
TEST_F(PlaybackAudio, WithTheEqualizerOnEveryToneIsHeardToItsEnd) {
  bool exited = false;
  std::vector<double> x = Record("eq_end", {770, 880}, [&] {
    ZulSandbox box(L"audio_eq_end");
    WriteFileBytes(box.ini(), "[Preferences]\r\nEnableEQ=1\r\n");
    HANDLE process = box.Start(L"\"" + Fixtures() + L"\\albums\\album_b\"");
    exited = WaitForExit(process, 30000);
  });
  EXPECT_TRUE(exited) << "the program did not end after its last track";
  std::vector<ToneRun> runs = ToneRuns(x, {770, 880});
  ASSERT_EQ(runs.size(), 2u) << Describe(runs);
  EXPECT_EQ(runs[0].frequency, 770);
  EXPECT_EQ(runs[1].frequency, 880);
  for (const ToneRun& r : runs) EXPECT_NEAR(Ms(r.span.Length()), 1000, 110) << Describe(runs);
  std::printf("[ MEASURED ] with the equalizer: %s\n", Describe(runs).c_str());
}

// A seek from the first part of a track into the second with the equalizer
// on. The first part is a ruler of 300 ms tones; what was heard of it must
// be one stretch from its start, every tone whole up to the one the seek cut.
// The equalizer's 280 ms of the old position after the seek would show as a
// jump: the output's flush drops what it had queued, so the ruler tone
// playing at the seek is cut short and the held 280 ms of later tones follow.
TEST_F(PlaybackAudio, WithTheEqualizerOnASeekHearsOnlyTheNewPosition) {
  std::vector<double> ruler;
  for (int i = 0; i < 10; ++i) ruler.push_back(400 + 50 * i);
  std::vector<double> tones = ruler;
  tones.push_back(1200);
  int seekedAt = 0;
  std::vector<double> x = Record(
      "eq_seek", tones,
      [&] {
        ZulSandbox box(L"audio_eq_seek");
        WriteFileBytes(box.ini(), "[Preferences]\r\nEnableEQ=1\r\n");
        DWORD pid = 0;
        HANDLE process = box.Start(L"\"" + Fixtures() + L"\\seek\"", &pid);
        HWND main = WaitForInstance(pid);
        ASSERT_NE(main, nullptr);
        ASSERT_TRUE(WaitUntilRunning(main));
        HWND winamp = FindWinampWindow(pid);
        ASSERT_NE(winamp, nullptr);
        auto ipc = [&](WPARAM w, LPARAM l) { return static_cast<int>(SendMessageW(winamp, WM_USER, w, l)); };
        auto playedUntil = [&](int ms) -> testing::AssertionResult {
          for (DWORD start = GetTickCount(); GetTickCount() - start < 20000; Sleep(20))
            if (ipc(0, 104) == 1 && ipc(0, 105) >= ms) return testing::AssertionSuccess();
          return testing::AssertionFailure() << "state " << ipc(0, 104) << ", position " << ipc(0, 105) << " ms";
        };
        ASSERT_TRUE(playedUntil(1600));
        seekedAt = ipc(0, 105);
        ipc(6000, 106);  // IPC_JUMPTOFILETIME
        ASSERT_TRUE(playedUntil(7000));
        SendMessageW(winamp, WM_COMMAND, 40001, 0);
        WaitForExit(process, 20000);
      },
      false);
  std::vector<ToneRun> runs = ToneRuns(x, tones);
  ASSERT_GE(runs.size(), 2u) << Describe(runs);
  EXPECT_EQ(runs.back().frequency, 1200) << Describe(runs);
  const size_t heard = runs.size() - 1;  // the ruler tones before the new position
  ASSERT_GE(heard, 3u) << Describe(runs);
  for (size_t i = 0; i < heard; ++i) {
    SCOPED_TRACE(testing::Message() << "ruler tone " << i << ": " << Describe(runs));
    EXPECT_EQ(runs[i].frequency, ruler[i]) << "a ruler tone was skipped";
    // 50 ms windows cut at each switch are lost; only the last may be cut by
    // the seek.
    if (i + 1 < heard) {
      EXPECT_NEAR(Ms(runs[i].span.Length()), 300, 60);
    }
  }
  std::printf("[ MEASURED ] seek at %d ms: %s\n", seekedAt, Describe(runs).c_str());
}

}  // namespace
}  // namespace zul::test
