// The decoder context alone: its result codes, the gain it applies, format
// changes and reset.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "mpeg_input/decoder/mpeg_decoder.h"
#include "tests/mpeg_input/decoder/playback_support.h"
#include "tests/mpeg_input/stream/fixtures.h"

namespace zul {
namespace {

using test::Bytes;

// Frames of silence: every field zero, which libmpg123 decodes as silence.
Bytes SilentFrames(int rateIndex, int count) { return test::Frames(test::Header(3, 3, 9, rateIndex, false, 1), count); }

struct Decoded {
  std::vector<DecodeResult> results;
  std::vector<double> samples;
};

// Feeds `input` in pieces of `piece` bytes and decodes until the decoder
// needs more after the last piece, or fails.
Decoded DecodeAll(CMpegDecoder& d, const Bytes& input, size_t piece = 1000) {
  Decoded out;
  std::vector<double> area(CMpegDecoder::kMinOutputBytes / sizeof(double));
  size_t pos = 0;
  std::span<const uint8_t> next;
  for (;;) {
    size_t bytes = 0;
    DecodeResult r = d.Decode(next, area.data(), area.size() * sizeof(double), &bytes);
    next = {};
    out.results.push_back(r);
    if (r == DecodeResult::kFrame) out.samples.insert(out.samples.end(), area.begin(), area.begin() + bytes / 8);
    if (r == DecodeResult::kError) break;
    if (r == DecodeResult::kNeedMore) {
      if (pos >= input.size()) break;
      size_t n = std::min(piece, input.size() - pos);
      next = std::span<const uint8_t>(input.data() + pos, n);
      pos += n;
    }
  }
  return out;
}

size_t Count(const Decoded& d, DecodeResult r) { return std::count(d.results.begin(), d.results.end(), r); }

TEST(MpegDecoder, RefusesAnOutputAreaSmallerThanOneFrame) {
  auto d = CMpegDecoder::Create(CGainDecision{});
  ASSERT_TRUE(d);
  Bytes frames = SilentFrames(0, 3);
  std::vector<double> area(CMpegDecoder::kMinOutputBytes / sizeof(double));
  size_t bytes = 1;
  EXPECT_EQ(d->Decode(frames, area.data(), CMpegDecoder::kMinOutputBytes - 8, &bytes), DecodeResult::kError);
  EXPECT_EQ(bytes, 0u);
  EXPECT_EQ(d->Decode({}, area.data(), area.size() * sizeof(double), &bytes), DecodeResult::kNeedMore);
}

TEST(MpegDecoder, DecodesOneFrameAtATimeAndReportsItsFormatAndBitrate) {
  auto d = CMpegDecoder::Create(CGainDecision{});
  ASSERT_TRUE(d);
  Decoded out = DecodeAll(*d, SilentFrames(0, 10), 333);
  EXPECT_EQ(Count(out, DecodeResult::kError), 0u);
  EXPECT_EQ(Count(out, DecodeResult::kFrame), 10u);
  EXPECT_EQ(out.samples.size(), 10u * 1152 * 2);
  EXPECT_EQ(d->Format(), (CDecodedFormat{0, 3, 44100, 2}));
  EXPECT_EQ(d->CurrentBitrateKbps(), 128);
  for (double v : out.samples) ASSERT_EQ(v, 0.0);
}

TEST(MpegDecoder, AFrameOfAnotherSampleRateIsAnErrorEvenAfterReset) {
  auto d = CMpegDecoder::Create(CGainDecision{});
  ASSERT_TRUE(d);
  Bytes mixed = SilentFrames(0, 5);
  test::Append(mixed, SilentFrames(1, 5));  // 48 kHz
  Decoded out = DecodeAll(*d, mixed);
  EXPECT_EQ(out.results.back(), DecodeResult::kError);
  EXPECT_EQ(Count(out, DecodeResult::kFrame), 5u);
  // The first frame's format stays the reference after a reset.
  ASSERT_TRUE(d->Reset());
  EXPECT_EQ(DecodeAll(*d, SilentFrames(1, 3)).results.back(), DecodeResult::kError);
  ASSERT_TRUE(d->Reset());
  EXPECT_EQ(Count(DecodeAll(*d, SilentFrames(0, 3)), DecodeResult::kFrame), 3u);
}

TEST(MpegDecoder, ResetForgetsQueuedInput) {
  auto d = CMpegDecoder::Create(CGainDecision{});
  ASSERT_TRUE(d);
  Bytes frames = SilentFrames(0, 4);
  std::vector<double> area(CMpegDecoder::kMinOutputBytes / sizeof(double));
  size_t bytes = 0;
  // Half a frame queued, then dropped: the next input starts a new frame.
  EXPECT_EQ(d->Decode(std::span<const uint8_t>(frames.data(), 200), area.data(), area.size() * 8, &bytes),
            DecodeResult::kNeedMore);
  ASSERT_TRUE(d->Reset());
  Decoded out = DecodeAll(*d, frames);
  EXPECT_EQ(Count(out, DecodeResult::kFrame), 4u);
  EXPECT_EQ(Count(out, DecodeResult::kFrameLost), 0u);
}

// The gain is applied while widening, by the same stage the sample tests
// check; with the limiter nothing reaches full scale.
TEST(MpegDecoder, AppliesTheDecidedGainToEverySample) {
  test::TempDir dir;
  ASSERT_TRUE(test::MakeWav(dir / "in.wav", 44100, 2, 44100));
  ASSERT_TRUE(test::Run(test::Lame("-b 128", dir / "in.wav", dir / "in.mp3")));
  Bytes file = test::ReadFile(dir / "in.mp3");

  auto plain = CMpegDecoder::Create(CGainDecision{});
  ASSERT_TRUE(plain);
  std::vector<double> raw = DecodeAll(*plain, file).samples;
  ASSERT_GT(raw.size(), 40000u);

  for (CGainDecision g : {CGainDecision{-6.5, false, 0.0}, CGainDecision{9.0, true, 1.0}}) {
    SCOPED_TRACE(g.gainDb);
    auto d = CMpegDecoder::Create(g);
    ASSERT_TRUE(d);
    std::vector<double> gained = DecodeAll(*d, file).samples;
    ASSERT_EQ(gained.size(), raw.size());
    CGainStage stage(g);
    double loudest = 0;
    for (size_t i = 0; i < raw.size(); ++i) {
      ASSERT_EQ(gained[i], stage.ApplyOne(raw[i])) << i;
      loudest = std::max(loudest, std::fabs(gained[i]));
    }
    if (g.limiter) {
      EXPECT_LT(loudest, 1.0);
      EXPECT_GT(loudest, 0.9);  // the gain did act
    }
  }
}

}  // namespace
}  // namespace zul
