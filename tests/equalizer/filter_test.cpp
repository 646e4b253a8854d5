#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <random>
#include <vector>

#include "equalizer/equalizer.h"

namespace zul {
namespace {

// Chunk sizes an input plug-in might use; they straddle block boundaries.
constexpr int kChunks[] = {1152, 576, 4000, 1, 9000, 333};

// Passes interleaved samples (stored one per int) through the hook in
// varying chunks, packing them to the given width.
std::vector<int32_t> Feed(CEqualizer& eq, const std::vector<int32_t>& in, int channels, int bits, int rate = 44100) {
  const int bytes = bits / 8;
  const int frames = static_cast<int>(in.size()) / channels;
  std::vector<uint8_t> buffer(in.size() * bytes);
  for (size_t i = 0; i < in.size(); ++i) {
    const int32_t v = bits == 8 ? in[i] + 128 : in[i];
    std::memcpy(&buffer[i * bytes], &v, bytes);  // little-endian low bytes
  }
  int done = 0;
  for (int c = 0; done < frames; ++c) {
    const int n = std::min(kChunks[c % std::size(kChunks)], frames - done);
    EXPECT_EQ(eq.DspDoSamples(reinterpret_cast<short*>(&buffer[done * channels * bytes]), n, bits, channels, rate), n);
    done += n;
  }
  std::vector<int32_t> out(in.size());
  for (size_t i = 0; i < in.size(); ++i) {
    const uint8_t* p = &buffer[i * bytes];
    if (bits == 8) out[i] = p[0] - 128;
    if (bits == 16) out[i] = static_cast<int16_t>(p[0] | p[1] << 8);
    if (bits == 24) out[i] = static_cast<int32_t>((p[0] | p[1] << 8 | p[2] << 16) << 8) >> 8;
  }
  return out;
}

std::vector<int32_t> Noise(int samples, int bits, unsigned seed = 7) {
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int32_t> d(-(1 << (bits - 1)), (1 << (bits - 1)) - 1);
  std::vector<int32_t> v(samples);
  for (auto& x : v) x = d(rng);
  return v;
}

struct DelayCase {
  int channels;
  int bits;
  bool enabled;
};

TEST(EqFilter, FlatGainsDelayTheInputExactly) {
  const DelayCase cases[] = {{2, 16, true},  {2, 16, false}, {1, 16, true}, {2, 24, true},
                             {2, 24, false}, {1, 8, true},   {2, 8, false}};
  for (const DelayCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.channels << " ch, " << c.bits << " bit, enabled " << c.enabled);
    CEqualizer eq;
    eq.SetEnabled(c.enabled);
    const int frames = 3 * kEqLatency + 1234;
    const std::vector<int32_t> in = Noise(frames * c.channels, c.bits);
    const std::vector<int32_t> out = Feed(eq, in, c.channels, c.bits);
    const size_t lag = static_cast<size_t>(kEqLatency) * c.channels;
    for (size_t i = 0; i < lag; ++i) ASSERT_EQ(out[i], 0) << i;  // 8-bit silence is 128 on the wire
    for (size_t i = lag; i < out.size(); ++i) ASSERT_EQ(out[i], in[i - lag]) << i;
  }
}

// RMS of a steady tone after the filter's latency and transient.
double ToneRms(CEqualizer& eq, double freq, double amplitude) {
  const int rate = 44100, frames = 3 * rate;
  std::vector<int32_t> in(frames * 2);
  for (int i = 0; i < frames; ++i)
    in[2 * i] = in[2 * i + 1] =
        static_cast<int32_t>(std::lround(amplitude * std::sin(2 * std::numbers::pi * freq * i / rate)));
  const std::vector<int32_t> out = Feed(eq, in, 2, 16, rate);
  double sum = 0;
  int n = 0;
  for (int i = kEqLatency + kEqTaps; i < frames; ++i, ++n) sum += static_cast<double>(out[2 * i]) * out[2 * i];
  return std::sqrt(sum / n);
}

TEST(EqFilter, CutBandRemovesItsToneAndSparesTwoBandsAway) {
  EqPreset preset;
  preset.values[kEqLeftPreamp + 1 + 8] = kEqMaxCut;  // band 9 (880 Hz), both channels
  preset.values[kEqRightPreamp + 1 + 8] = kEqMaxCut;
  const double amplitude = 16000, reference = amplitude / std::sqrt(2.0);

  CEqualizer cut;
  cut.SetEnabled(true);
  cut.SetPreset(preset);
  cut.ApplyGains();  // no rate yet: the first block builds
  EXPECT_LE(20 * std::log10(ToneRms(cut, 880, amplitude) / reference), -60);

  CEqualizer spared;
  spared.SetEnabled(true);
  spared.SetPreset(preset);
  spared.ApplyGains();
  EXPECT_NEAR(20 * std::log10(ToneRms(spared, 1760, amplitude) / reference), 0.0, 0.5);
}

TEST(EqFilter, SilencedPreampKeepsEightBitAtItsMidpoint) {
  EqPreset preset;
  preset.values[kEqLeftPreamp] = kEqMaxCut;
  CEqualizer eq;
  eq.SetEnabled(true);
  eq.SetPreset(preset);
  eq.ApplyGains();
  std::vector<uint8_t> buffer(3 * kEqLatency);
  for (size_t i = 0; i < buffer.size(); ++i) buffer[i] = static_cast<uint8_t>(i * 37);
  for (size_t done = 0; done < buffer.size(); done += 1000) {
    const int n = static_cast<int>(std::min<size_t>(1000, buffer.size() - done));
    eq.DspDoSamples(reinterpret_cast<short*>(&buffer[done]), n, 8, 1, 44100);
  }
  for (size_t i = 0; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], 128) << i;
}

TEST(EqFilter, UnsupportedFormatsPassUntouchedAndLeaveTheStreamAlone) {
  CEqualizer eq;
  eq.SetEnabled(true);
  const int frames = 2 * kEqLatency;
  const std::vector<int32_t> in = Noise(frames * 2, 16);
  std::vector<int16_t> buffer(in.begin(), in.end());
  const struct { int bits, channels; } foreign[] = {{32, 2}, {16, 4}, {16, 6}, {12, 2}, {16, 0}};
  int done = 0;
  for (int c = 0; done < frames; ++c) {
    const int n = std::min(1152, frames - done);
    eq.DspDoSamples(&buffer[done * 2], n, 16, 2, 44100);
    done += n;
    // Interleaved blocks of another format must neither be touched nor reset
    // the 16-bit stream's delay line.
    for (const auto& f : foreign) {
      std::vector<int32_t> other(300 * 4, 0x12345678);
      const std::vector<int32_t> copy = other;
      EXPECT_EQ(eq.DspDoSamples(reinterpret_cast<short*>(other.data()), 300, f.bits, f.channels, 44100), 300);
      ASSERT_EQ(other, copy);
    }
  }
  for (int i = kEqLatency * 2; i < frames * 2; ++i) ASSERT_EQ(buffer[i], in[i - kEqLatency * 2]) << i;
}

TEST(EqFilter, FormatOrRateChangeDropsThePendingFrames) {
  const struct {
    const char* name;
    int channels, bits, rate;
  } next[] = {{"8-bit mono", 1, 8, 44100}, {"16-bit mono", 1, 16, 44100}, {"new rate", 2, 16, 48000}};
  for (const auto& n : next) {
    SCOPED_TRACE(n.name);
    CEqualizer eq;
    eq.SetEnabled(true);
    Feed(eq, Noise(2 * kEqLatency * 2, 16), 2, 16);  // leaves 12286 frames of loud noise pending
    const int frames = kEqLatency + 500;
    const std::vector<int32_t> in(frames * n.channels, 5);
    const std::vector<int32_t> out = Feed(eq, in, n.channels, n.bits, n.rate);
    for (int i = 0; i < kEqLatency * n.channels; ++i) ASSERT_EQ(out[i], 0) << i;
    for (size_t i = kEqLatency * n.channels; i < out.size(); ++i) ASSERT_EQ(out[i], 5) << i;
  }
}

// Everything given between a Discard and the end of a Drain comes out, in
// order and without the filter's start-up silence: a whole track, however
// short, and after a jump nothing of what came before it.
std::vector<int16_t> Through(CEqualizer& eq, const std::vector<int16_t>& in) {
  std::vector<int16_t> out;
  std::vector<int16_t> block(2 * 1152);
  for (size_t at = 0; at < in.size();) {
    const size_t n = std::min<size_t>(block.size(), in.size() - at);
    std::copy(in.begin() + at, in.begin() + at + n, block.begin());
    const int got = eq.DspDoSamples(block.data(), static_cast<int>(n / 2), 16, 2, 44100);
    EXPECT_LE(got, static_cast<int>(n / 2));
    out.insert(out.end(), block.begin(), block.begin() + 2 * got);
    at += n;
  }
  return out;
}

std::vector<int16_t> Drained(CEqualizer& eq) {
  std::vector<int16_t> out, piece(2 * 1000);
  for (int n; (n = eq.Drain(piece.data(), 1000, 16, 2)) > 0;)
    out.insert(out.end(), piece.begin(), piece.begin() + 2 * n);
  return out;
}

TEST(EqFilter, DrainAndDiscardGiveEachTrackWhole) {
  for (int frames : {3 * kEqLatency + 777, kEqLatency, 5000}) {
    SCOPED_TRACE(frames);
    CEqualizer eq;
    eq.SetEnabled(false);  // the delay path: exact, so the comparison can be
    const std::vector<int32_t> noise = Noise(2 * frames, 16, frames);
    const std::vector<int16_t> track(noise.begin(), noise.end());
    eq.Discard();
    std::vector<int16_t> out = Through(eq, track);
    const std::vector<int16_t> tail = Drained(eq);
    EXPECT_EQ(tail.size(), 2 * static_cast<size_t>(std::min(frames, kEqLatency)));
    out.insert(out.end(), tail.begin(), tail.end());
    ASSERT_EQ(out, track);
    // The next track of the same format starts at once.
    const std::vector<int16_t> next(2 * 20000, 7);
    std::vector<int16_t> again = Through(eq, next);
    const std::vector<int16_t> rest = Drained(eq);
    again.insert(again.end(), rest.begin(), rest.end());
    ASSERT_EQ(again, next);
  }
  // A jump: what was held before it is dropped.
  CEqualizer eq;
  eq.Discard();
  Through(eq, std::vector<int16_t>(2 * 30000, 1000));
  eq.Discard();
  std::vector<int16_t> out = Through(eq, std::vector<int16_t>(2 * 30000, -3));
  const std::vector<int16_t> tail = Drained(eq);
  out.insert(out.end(), tail.begin(), tail.end());
  EXPECT_EQ(out, std::vector<int16_t>(2 * 30000, -3));
  // Nothing to drain in another format than the one last filtered.
  std::vector<int16_t> piece(4000);
  EXPECT_EQ(eq.Drain(piece.data(), 1000, 8, 1), 0);
}

TEST(EqFilter, RateChangeRedesignsBeforeTheFirstBlock) {
  // Band 16 (11840 to 16744 Hz) cut: a 14 kHz tone vanishes at 44.1 kHz; at
  // 22.05 kHz the band lies above Nyquist and a 10 kHz tone passes.
  EqPreset preset;
  preset.values[kEqLeftPreamp + 1 + 16] = kEqMaxCut;
  CEqualizer eq;
  eq.SetEnabled(true);
  eq.SetPreset(preset);
  eq.ApplyGains();
  auto rms = [&](double freq, int rate) {
    const int frames = kEqLatency + 2 * kEqTaps;
    std::vector<int32_t> in(frames);
    for (int i = 0; i < frames; ++i) in[i] = std::lround(10000 * std::sin(2 * std::numbers::pi * freq * i / rate));
    const std::vector<int32_t> out = Feed(eq, in, 1, 16, rate);
    double sum = 0;
    for (int i = kEqLatency + kEqTaps; i < frames; ++i) sum += static_cast<double>(out[i]) * out[i];
    return std::sqrt(sum / kEqTaps);
  };
  EXPECT_LT(rms(14000, 44100), 1.0);
  EXPECT_NEAR(rms(10000, 22050), 10000 / std::sqrt(2.0), 10);
  EXPECT_LT(rms(14000, 44100), 1.0);
}

TEST(EqFilter, DitherCarriesTheFractionAndSparesTwentyFourBit) {
  // Preamp -6 dB turns a constant 1 into 0.501: rounding alone gives 1
  // everywhere; dither with error feedback keeps the average.
  EqPreset preset;
  preset.values[kEqLeftPreamp] = 6;
  for (int bits : {16, 8, 24}) {
    SCOPED_TRACE(bits);
    CEqualizer eq;
    eq.SetEnabled(true);
    eq.SetDither(true);
    eq.SetPreset(preset);
    eq.ApplyGains();
    const int frames = kEqLatency + 20000;
    const std::vector<int32_t> out = Feed(eq, std::vector<int32_t>(frames, 1), 1, bits);
    double sum = 0;
    for (int i = kEqLatency; i < frames; ++i) {
      ASSERT_GE(out[i], -1);
      ASSERT_LE(out[i], 2);
      sum += out[i];
    }
    const double mean = sum / (frames - kEqLatency);
    if (bits == 24)
      EXPECT_EQ(mean, 1.0);
    else
      EXPECT_NEAR(mean, 0.501, 0.02);
  }
}

TEST(EqFilter, ExtremeRecordGainsStaySafe) {
  // A record whose factor overflows is ignored; records that together
  // overflow make the design fail and the previous (flat) tables stay; a
  // huge but finite gain clips instead of reaching an undefined conversion.
  const struct {
    const char* name;
    std::vector<EqParam> params;
    bool clipped;
  } cases[] = {
      {"factor overflows", {{100, 20000, 1e6f, 1, 1}}, false},
      {"product overflows", {{100, 20000, 6000, 1, 1}, {100, 20000, 6000, 1, 1}}, false},
      {"huge gain", {{100, 20000, 3000, 1, 1}}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EqPreset preset;
    preset.params = c.params;
    CEqualizer eq;
    eq.SetEnabled(true);
    eq.SetPreset(preset);
    eq.ApplyGains();
    const std::vector<int32_t> in = Noise(2 * kEqLatency * 2, 16);
    const std::vector<int32_t> out = Feed(eq, in, 2, 16);
    const size_t lag = kEqLatency * 2;
    if (!c.clipped) {
      for (size_t i = lag; i < out.size(); ++i) ASSERT_EQ(out[i], in[i - lag]) << i;
    } else {
      int clipped = 0;
      for (size_t i = lag; i < out.size(); ++i) clipped += out[i] == 32767 || out[i] == -32768;
      EXPECT_GT(clipped, static_cast<int>(out.size() - lag) / 2);
    }
  }
}

TEST(EqFilter, HostHooksFollowTheGlobalInstance) {
  short samples[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  EXPECT_EQ(dsp_dosamples(samples, 4, 16, 2, 44100), 4);  // before EqInit: untouched
  EXPECT_EQ(samples[0], 1);
  ASSERT_TRUE(EqInit());
  EXPECT_EQ(dsp_isactive(), 0);
  TheEqualizer()->SetEnabled(true);
  EXPECT_EQ(dsp_isactive(), 1);
  EXPECT_EQ(dsp_dosamples(samples, 4, 16, 2, 44100), 4);
  EXPECT_EQ(samples[0], 0);  // the delay line starts silent
  EqQuit();
  EXPECT_EQ(dsp_isactive(), 0);
}

}  // namespace
}  // namespace zul
