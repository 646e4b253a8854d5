// The output module playing real audio under Wine into the test
// environment's PulseAudio null sink, recorded from the sink's monitor. A
// test executable plays the input plug-in: it writes generated tones through
// the Out_Module functions, and for the equalizer passes them through the
// host's DSP hook first. Each test prints its measured figures.
//
// Two things of the environment, not of the module, shape the tests:
// - On a loaded machine Wine's audio thread now and then stalls long enough
//   for PulseAudio to insert silence into the stream, while our ring still
//   holds most of a second. A recording with such a hole is made again (at
//   most kAttempts times); a hole the module causes shows every time.
// - Wine reports blocks done (and positions) a little before the sink has
//   played them, so a track is closed only after a short wait (EndTrack);
//   closing at once cuts the last few milliseconds in the sink.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "base/settings.h"
#include "equalizer/eq_startup.h"
#include "equalizer/equalizer.h"
#include "tests/support/audio_capture.h"
#include "tests/waveout/module_harness.h"
#include "tests/waveout/tone_analysis.h"
#include "waveout/waveout_module.h"
#include "waveout/waveout_output.h"
#include "waveout/waveout_settings_file.h"

namespace zul::test {
namespace {

constexpr int kRate = 44100;
constexpr int kPiece = 576 * 4;     // one MPEG frame of 16-bit stereo per Write
constexpr double kAmplitude = 0.5;  // -9.03 dBFS RMS
constexpr double kToneDb = -9.0309;
constexpr double kSoundThreshold = 0.01;
constexpr size_t kSplitGap = kRate / 10;  // 100 ms of silence separates two sounds
constexpr size_t kMaxDip = 4;             // samples a sine spends below a tenth of its peak at a crossing
constexpr int kAttempts = 5;

double Ms(size_t samples) { return samples * 1000.0 / kRate; }
double VolumeDb(int v) { return 20 * std::log10((v * 65535 / 255) / 65535.0); }

struct Recorded {
  std::vector<double> left, right;
  std::vector<double> Louder() const {  // finds sounds on either side
    std::vector<double> x(left.size());
    for (size_t i = 0; i < x.size(); ++i) x[i] = std::max(std::abs(left[i]), std::abs(right[i]));
    return x;
  }
};

// The longest dip inside any sound, against a tenth of that sound's peak.
size_t LongestHole(const Recorded& r) {
  const std::vector<double> x = r.Louder();
  size_t hole = 0;
  for (const Span& s : FindSounds(x, 0.002, kSplitGap))
    hole = std::max(hole, LongestQuietRun(x, s, PeakAbs(x, s) / 10));
  return hole;
}

class WaveOutAudioTest : public ::testing::Test {
protected:
  void SetUp() override {
    DeleteFileW(WaveOutSettingsPath().c_str());
    out = StartModule(host);
  }
  void TearDown() override { StopModule(out); }

  void EndTrack() {
    Sleep(300);
    out->Close();
  }

  // Records while `play` drives the module; again while `hole` finds a hole.
  template <typename Play, typename Hole>
  Recorded Record(const char* name, Play play, Hole hole) {
    Recorded r;
    auto spoilt = [&](const std::vector<int16_t>& samples, int attempt) {
      r = {Channel(samples, 2, 0), Channel(samples, 2, 1)};
      const size_t h = hole(r);
      if (h <= kMaxDip) return false;
      std::printf("[ RETRY    ] %s: a %.1f ms hole in the sound on attempt %d\n", name, Ms(h), attempt);
      return true;
    };
    if (RecordUntilClean(name, kAttempts, play, spoilt).empty()) return {};
    return r;
  }
  template <typename Play>
  Recorded Record(const char* name, Play play) {
    return Record(name, play, LongestHole);
  }

  CFakeHost host{255};
  Out_Module* out = nullptr;
};

TEST_F(WaveOutAudioTest, ToneComesOutWithItsPitchLevelAndLengthWithoutDropouts) {
  Recorded r = Record("tone", [&] {
    ASSERT_EQ(out->Open(kRate, 2, 16, 0, 0), 975);
    ASSERT_TRUE(PlayAll(out, Bytes(Sine(1000, kAmplitude, kRate, 2, 2 * kRate)), kPiece));
    EXPECT_EQ(out->GetWrittenTime(), 2000);
    EXPECT_NEAR(out->GetOutputTime(), 2000, 20);
    EndTrack();
  });

  auto spans = FindSounds(r.left, kSoundThreshold, kSplitGap);
  ASSERT_EQ(spans.size(), 1u) << "the tone came out in pieces";
  const Span tone = spans[0];
  const Span steady = Inner(tone, kRate / 20);
  for (const auto* ch : {&r.left, &r.right}) {
    EXPECT_NEAR(ZeroCrossingFrequency(*ch, steady, kRate), 1000, 1);
    EXPECT_NEAR(RmsDb(*ch, steady), kToneDb, 0.2);
    EXPECT_NEAR(ToneDb(*ch, steady, 1000, kRate), kToneDb, 0.2);
    // A sine is below a tenth of its amplitude for a sample or two around
    // each zero crossing; anything longer is a hole in the sound.
    EXPECT_LE(LongestQuietRun(*ch, tone, kAmplitude / 10), kMaxDip);
  }
  EXPECT_NEAR(Ms(tone.Length()), 2000, 50);
  std::printf(
      "[ MEASURED ] tone: %.2f Hz, %.3f dBFS RMS (written %.3f), length %.1f ms (written 2000, error %+.1f ms), "
      "longest dip %zu samples\n",
      ZeroCrossingFrequency(r.left, steady, kRate), RmsDb(r.left, steady), kToneDb, Ms(tone.Length()),
      Ms(tone.Length()) - 2000, LongestQuietRun(r.left, tone, kAmplitude / 10));
}

// A short pause keeps the device; a long one releases it (kParkAfterMs) and
// takes it again on resume. Either way the tone goes on from the sample it
// stopped at: nothing lost, nothing played twice, the position held.
TEST_F(WaveOutAudioTest, PauseHoldsThePositionAndLosesNothing) {
  struct Case {
    const char* name;
    bool parks;
  };
  for (const Case& c : {Case{"short pause", false}, Case{"long pause", true}}) {
    SCOPED_TRACE(c.name);
    int held = -1;
    DWORD pausedMs = 0;
    Recorded r = Record(c.name, [&] {
      ASSERT_EQ(out->Open(kRate, 2, 16, 0, 0), 975);
      bool played = false;
      std::thread decoder([&] { played = PlayAll(out, Bytes(Sine(1000, kAmplitude, kRate, 2, 2 * kRate)), kPiece); });
      const DWORD start = GetTickCount();
      while (out->GetOutputTime() < 600 && GetTickCount() - start < 10000) Sleep(5);
      EXPECT_EQ(out->Pause(1), 0);
      const DWORD pausedAt = GetTickCount();
      Sleep(100);
      held = out->GetOutputTime();
      if (c.parks) {
        while (!WaveOutOutput().Parked() && GetTickCount() - pausedAt < 10000) Sleep(5);
        EXPECT_TRUE(WaveOutOutput().Parked()) << "the device was kept through a long pause";
        Sleep(300);
      } else {
        Sleep(700);
        EXPECT_FALSE(WaveOutOutput().Parked());
      }
      EXPECT_EQ(out->GetOutputTime(), held) << "the position moved while paused";
      pausedMs = GetTickCount() - pausedAt;
      EXPECT_EQ(out->Pause(0), 1);
      EXPECT_FALSE(WaveOutOutput().Parked());
      decoder.join();
      EXPECT_TRUE(played);
      EXPECT_NEAR(out->GetOutputTime(), 2000, 20);
      EndTrack();
    });

    auto spans = FindSounds(r.left, kSoundThreshold, kSplitGap);
    ASSERT_EQ(spans.size(), 2u) << "expected the tone, a silent pause, and the rest of the tone";
    const double total = Ms(spans[0].Length() + spans[1].Length());
    const double gap = Ms(spans[1].begin - spans[0].end);
    if (c.parks) {
      // The device plays on from the held position: the rest of the tone,
      // once. (Wine reports as played what PulseAudio still buffers behind
      // the position, about its latency; closing the device drops that, so
      // here less than the held position was heard before the pause.)
      EXPECT_NEAR(Ms(spans[1].Length()), 2000 - held, 30) << "the tone did not go on from the held position";
      EXPECT_LE(Ms(spans[0].Length()), held + 30) << "sound past the held position before the pause";
    } else {
      EXPECT_NEAR(total, 2000, 50) << "sound lost or repeated across the pause";
    }
    EXPECT_NEAR(gap, pausedMs, 150);
    for (const Span& s : spans) EXPECT_LE(LongestQuietRun(r.left, s, kAmplitude / 10), kMaxDip);
    std::printf(
        "[ MEASURED ] %s: position held at %d ms, paused %lu ms, silent for %.1f ms, tone total %.1f ms of 2000\n",
        c.name, held, pausedMs, gap, total);
  }
}

TEST_F(WaveOutAudioTest, FlushDropsWhatIsQueuedAndRestartsAtTheGivenTime) {
  // After the flush 500 ms of 2000 Hz follow the cut 1000 Hz tone; only
  // those are checked for holes (the cut itself may leave a short gap).
  auto lastPart = [](const Recorded& r) -> size_t {
    auto spans = FindSounds(r.left, kSoundThreshold, kSplitGap);
    if (spans.empty() || spans.back().Length() < kRate / 2) return 0;
    const Span part{spans.back().end - kRate * 48 / 100, spans.back().end};
    return LongestQuietRun(r.left, part, kAmplitude / 10);
  };
  Recorded r = Record(
      "flush",
      [&] {
        ASSERT_EQ(out->Open(kRate, 2, 16, 0, 0), 975);
        ASSERT_TRUE(WriteAll(out, Bytes(Sine(1000, kAmplitude, kRate, 2, kRate / 2 + 1000)), kPiece));
        const DWORD start = GetTickCount();
        while (out->GetOutputTime() < 200 && GetTickCount() - start < 10000) Sleep(5);
        out->Flush(61000);
        EXPECT_EQ(out->GetOutputTime(), 61000);
        EXPECT_EQ(out->GetWrittenTime(), 61000);
        EXPECT_EQ(out->IsPlaying(), 0);
        EXPECT_EQ(out->CanWrite(), 20 * 8192);
        ASSERT_TRUE(PlayAll(out, Bytes(Sine(2000, kAmplitude, kRate, 2, kRate / 2)), kPiece));
        EXPECT_EQ(out->GetWrittenTime(), 61500);
        EXPECT_NEAR(out->GetOutputTime(), 61500, 20);
        EndTrack();
      },
      lastPart);

  auto spans = FindSounds(r.left, kSoundThreshold, kSplitGap);
  ASSERT_FALSE(spans.empty());
  const Span all{spans.front().begin, spans.back().end};
  // Of the first tone only what played before the flush is heard.
  EXPECT_LT(Ms(all.Length()), 500 + 450);
  const Span second{all.end - kRate / 2 + kRate / 50, all.end - kRate / 50};
  EXPECT_NEAR(ZeroCrossingFrequency(r.left, second, kRate), 2000, 2);
  EXPECT_LT(ToneDb(r.left, second, 1000, kRate), kToneDb - 60) << "the flushed tone played after the flush";
  EXPECT_LE(lastPart(r), kMaxDip);
  std::printf("[ MEASURED ] flush: %.1f ms of sound for 500 ms written after the flush\n", Ms(all.Length()));
}

// A seek while a long pause has released the device: what was kept and
// what waited is dropped, the position is the seek's, and on resume only
// the new data plays, from there.
TEST_F(WaveOutAudioTest, FlushWhileParkedPlaysOnlyTheNewDataOnResume) {
  Recorded r = Record("flush while parked", [&] {
    ASSERT_EQ(out->Open(kRate, 2, 16, 0, 0), 975);
    ASSERT_TRUE(WriteAll(out, Bytes(Sine(1000, kAmplitude, kRate, 2, kRate)), kPiece));
    const DWORD start = GetTickCount();
    while (out->GetOutputTime() < 200 && GetTickCount() - start < 10000) Sleep(5);
    EXPECT_EQ(out->Pause(1), 0);
    while (!WaveOutOutput().Parked() && GetTickCount() - start < 20000) Sleep(5);
    ASSERT_TRUE(WaveOutOutput().Parked());
    out->Flush(61000);
    EXPECT_EQ(out->GetOutputTime(), 61000);
    EXPECT_EQ(out->IsPlaying(), 0);
    EXPECT_EQ(out->CanWrite(), 20 * 8192);
    ASSERT_TRUE(WriteAll(out, Bytes(Sine(2000, kAmplitude, kRate, 2, kRate / 2)), kPiece));
    EXPECT_EQ(out->GetOutputTime(), 61000) << "the position moved while parked";
    EXPECT_EQ(out->Pause(0), 1);
    ASSERT_TRUE(WaitUntilPlayed(out));
    EXPECT_EQ(out->GetWrittenTime(), 61500);
    EXPECT_NEAR(out->GetOutputTime(), 61500, 20);
    EndTrack();
  });

  auto spans = FindSounds(r.left, kSoundThreshold, kSplitGap);
  ASSERT_EQ(spans.size(), 2u) << "expected the first tone, a silent pause, and the new tone";
  const Span second = Inner(spans[1], kRate / 50);
  EXPECT_NEAR(Ms(spans[1].Length()), 500, 30);
  EXPECT_NEAR(ZeroCrossingFrequency(r.left, second, kRate), 2000, 2);
  EXPECT_LT(ToneDb(r.left, second, 1000, kRate), kToneDb - 60) << "the flushed tone played after the resume";
  EXPECT_LE(LongestQuietRun(r.left, spans[1], kAmplitude / 10), kMaxDip);
  std::printf("[ MEASURED ] flush while parked: %.1f ms of sound for 500 ms written after the flush\n",
              Ms(spans[1].Length()));
}

// The device volume scales what is heard by v x 65535 / 255; the balance
// lowers one side; -666 and a disabled volume control change nothing.
TEST_F(WaveOutAudioTest, VolumeAndBalanceScaleTheRecordedLevel) {
  struct Segment {
    const char* what;
    WaveOutSettings settings;
    void (*before)(Out_Module*);
    int volume;                    // expected, 0..255; 0 = silent
    double leftShift, rightShift;  // extra dB from the balance
  };
  const WaveOutSettings plain{}, reverse{20, 8192, 1, 1, -1, 1}, noControl{20, 8192, 0, 0, -1, 1};
  const Segment segments[] = {
      {"host volume", plain, [](Out_Module*) {}, 128, 0, 0},
      {"255", plain, [](Out_Module* o) { o->SetVolume(255); }, 255, 0, 0},
      {"64", plain, [](Out_Module* o) { o->SetVolume(64); }, 64, 0, 0},
      {"64 then -666", plain, [](Out_Module* o) { o->SetVolume(64), o->SetVolume(-666); }, 64, 0, 0},
      {"pan 64", plain, [](Out_Module* o) { o->SetVolume(255), o->SetPan(64); }, 255, -6.0206, 0},
      {"pan 64 reversed", reverse, [](Out_Module* o) { o->SetVolume(255), o->SetPan(64); }, 255, 0, -6.0206},
      {"no volume control", noControl, [](Out_Module* o) { o->SetPan(0), o->SetVolume(64); }, 255, 0, 0},
      {"0", plain, [](Out_Module* o) { o->SetVolume(0); }, 0, 0, 0},
      {"255 after 0", plain, [](Out_Module* o) { o->SetVolume(255); }, 255, 0, 0},
  };
  const std::string tone = Bytes(Sine(1000, kAmplitude, kRate, 2, kRate * 3 / 10));
  Recorded r = Record("volume", [&] {
    host.volume = 128;
    out->Init();  // asks the host again: 128 is the volume the first Open applies
    for (const Segment& s : segments) {
      DeleteFileW(WaveOutSettingsPath().c_str());
      SaveWaveOutSettings(WaveOutSettingsPath(), s.settings);
      ASSERT_NE(out->Open(kRate, 2, 16, 0, 0), -1);
      s.before(out);
      ASSERT_TRUE(PlayAll(out, tone, kPiece)) << s.what;
      EndTrack();
    }
  });

  auto spans = FindSounds(r.Louder(), 0.002, kSplitGap);
  ASSERT_EQ(spans.size(), std::size(segments) - 1) << "every segment but the silent one is heard";
  size_t k = 0;
  for (const Segment& s : segments) {
    if (s.volume == 0) {
      const Span between{spans[k - 1].end, spans[k].begin};
      EXPECT_GT(Ms(between.Length()), 300 + 300);
      EXPECT_LT(RmsDb(r.left, between), -90) << s.what;
      EXPECT_LT(RmsDb(r.right, between), -90) << s.what;
      continue;
    }
    const Span steady = Inner(spans[k++], kRate / 20);
    const double left = ToneDb(r.left, steady, 1000, kRate), right = ToneDb(r.right, steady, 1000, kRate);
    const double wantLeft = kToneDb + VolumeDb(s.volume) + s.leftShift;
    const double wantRight = kToneDb + VolumeDb(s.volume) + s.rightShift;
    EXPECT_NEAR(left, wantLeft, 0.3) << s.what;
    EXPECT_NEAR(right, wantRight, 0.3) << s.what;
    std::printf("[ MEASURED ] volume %-18s left %8.3f dB (expected %8.3f), right %8.3f dB (expected %8.3f)\n", s.what,
                left, wantLeft, right, wantRight);
  }
}

// Start-up loads the saved equalizer with band 8 (740..1046 Hz) cut to 96;
// a two-tone signal goes through the host's DSP hook before Write.
TEST_F(WaveOutAudioTest, EqualizerCutsItsBandAndSparesTwoBandsAway) {
  Settings settings;
  settings.enableEq = 1;
  std::wstring line;
  for (int i = 0; i < kEqValueCount; ++i) {
    const bool band8 = i == kEqLeftPreamp + 1 + 8 || i == kEqRightPreamp + 1 + 8;
    line += (i ? L" " : L"") + std::to_wstring(band8 ? 96 : 0);
  }
  settings.eqBands = {line};
  InitEqualizer(settings);
  ASSERT_NE(TheEqualizer(), nullptr);
  EXPECT_EQ(dsp_isactive(), 1);
  EXPECT_EQ(TheEqualizer()->Preset().values[kEqLeftPreamp + 1 + 8], 96);
  EXPECT_EQ(TheEqualizer()->Preset().values[kEqRightPreamp + 1 + 10], 0);

  // 880 Hz lies in band 8; 1760 Hz in band 10. A second of silence at the
  // end pushes the filter's delayed output out.
  const double a = kAmplitude / 2;
  std::vector<int16_t> pcm = Sine(880, a, kRate, 2, 2 * kRate);
  std::vector<int16_t> high = Sine(1760, a, kRate, 2, 2 * kRate);
  for (size_t i = 0; i < pcm.size(); ++i) pcm[i] = static_cast<int16_t>(pcm[i] + high[i]);
  pcm.resize(pcm.size() + 2 * kRate, 0);
  for (size_t f = 0; f + 576 <= pcm.size() / 2; f += 576)
    ASSERT_EQ(dsp_dosamples(pcm.data() + 2 * f, 576, 16, 2, kRate), 576);
  EqQuit();

  // The linear-phase filter rings in before the tone and out after it, so
  // holes are looked for in the steady part only.
  auto steadyHole = [](const Recorded& r) -> size_t {
    auto spans = FindSounds(r.left, kSoundThreshold, kSplitGap);
    if (spans.size() != 1) return 0;
    const Span steady = Inner(spans[0], kRate / 5);
    return LongestQuietRun(r.left, steady, PeakAbs(r.left, steady) / 10);
  };
  Recorded r = Record(
      "equalizer",
      [&] {
        ASSERT_EQ(out->Open(kRate, 2, 16, 0, 0), 975);
        ASSERT_TRUE(PlayAll(out, Bytes(pcm), kPiece));
        EndTrack();
      },
      steadyHole);

  auto spans = FindSounds(r.left, kSoundThreshold, kSplitGap);
  ASSERT_EQ(spans.size(), 1u);
  const Span steady = Inner(spans[0], kRate / 5);
  const double toneDb = 20 * std::log10(a / std::sqrt(2.0));
  EXPECT_LE(steadyHole(r), kMaxDip);
  for (const auto* ch : {&r.left, &r.right}) {
    const double cut = ToneDb(*ch, steady, 880, kRate), kept = ToneDb(*ch, steady, 1760, kRate);
    EXPECT_LE(cut, toneDb - 60);
    EXPECT_NEAR(kept, toneDb, 0.5);
    std::printf("[ MEASURED ] equalizer: 880 Hz %.1f dB (attenuated by %.1f dB), 1760 Hz %.3f dB (written %.3f)\n", cut,
                toneDb - cut, kept, toneDb);
  }
}

// PulseAudio resamples a 22.05 kHz stream; its resampler lets the last half
// millisecond or so out only after the stream has run dry, some milliseconds
// later (more on a busy machine): a short leftover after a gap at the very
// end of a sound. This is the sound without it.
Span WithoutResamplerLeftover(const std::vector<double>& x, Span s, double quiet) {
  constexpr size_t kLeftover = kRate / 500;  // 2 ms
  size_t run = 0;
  for (size_t i = s.end; i > s.begin && s.end - i < kLeftover + run; --i) {
    if (std::fabs(x[i - 1]) < quiet) {
      ++run;
    } else {
      if (run > kMaxDip) return {s.begin, i};
      run = 0;
    }
  }
  return s;
}

TEST_F(WaveOutAudioTest, FormatSwitchReopensAtTheNewFormat) {
  // Holes are looked for away from the ends of each sound, and before the
  // resampler's leftover.
  auto innerHole = [](const Recorded& r) -> size_t {
    size_t hole = 0;
    for (const Span& s : FindSounds(r.left, kSoundThreshold, kSplitGap)) {
      const Span sound = WithoutResamplerLeftover(r.left, s, kAmplitude / 10);
      hole = std::max(hole, LongestQuietRun(r.left, Inner(sound, kRate / 100), kAmplitude / 10));
    }
    return hole;
  };
  Recorded r = Record(
      "format",
      [&] {
        ASSERT_EQ(out->Open(kRate, 2, 16, 0, 0), 975);
        ASSERT_TRUE(PlayAll(out, Bytes(Sine(1000, kAmplitude, kRate, 2, kRate / 2)), kPiece));
        Sleep(300);
        // The next track, mono at 22.05 kHz, opened without a Close. (Not
        // 8-bit: Wine fills an 8-bit stream that runs dry with 0 rather than
        // 128, a full-scale click after the last sample that is no fault of
        // ours.)
        ASSERT_EQ(out->Open(22050, 1, 16, 0, 0), 3901);  // 21 x 8192 bytes at 44100 bytes/s
        ASSERT_TRUE(PlayAll(out, Bytes(Sine(500, kAmplitude, 22050, 1, 22050 / 2)), 576 * 2));
        EXPECT_EQ(out->GetWrittenTime(), 500);
        EndTrack();
      },
      innerHole);

  auto spans = FindSounds(r.left, kSoundThreshold, kSplitGap);
  ASSERT_EQ(spans.size(), 2u);
  const Span first = Inner(spans[0], 2205), second = Inner(spans[1], 2205);
  EXPECT_NEAR(ZeroCrossingFrequency(r.left, first, kRate), 1000, 1);
  for (const auto* ch : {&r.left, &r.right}) {
    EXPECT_NEAR(ZeroCrossingFrequency(*ch, second, kRate), 500, 1);
    EXPECT_NEAR(ToneDb(*ch, second, 500, kRate), kToneDb, 0.5);
  }
  EXPECT_LE(innerHole(r), kMaxDip);
  EXPECT_NEAR(Ms(spans[0].Length()), 500, 50);
  EXPECT_NEAR(Ms(spans[1].Length()), 500, 50);
  std::printf("[ MEASURED ] format switch: 22.05 kHz mono part %.1f ms at %.2f Hz, %.3f dBFS\n", Ms(spans[1].Length()),
              ZeroCrossingFrequency(r.left, second, kRate), ToneDb(r.left, second, 500, kRate));
}

}  // namespace
}  // namespace zul::test
