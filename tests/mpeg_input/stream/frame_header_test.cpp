#include "mpeg_input/stream/frame_header.h"

#include <gtest/gtest.h>

#include "tests/mpeg_input/stream/fixtures.h"

namespace zul {
namespace {

using test::Header;

struct HeaderCase {
  const char* name;
  int version, layer, bitrateIndex, rateIndex;
  bool padding;
  int mode;
  // expected
  bool mpeg25, lsf;
  int rate, kbps, length, samples, delay, channels;
};

TEST(FrameHeader, DecodesEveryVersionAndLayer) {
  const HeaderCase cases[] = {
      {"MPEG-1 L3 128k 44.1", 3, 3, 9, 0, false, 1, false, false, 44100, 128, 417, 1152, 529, 2},
      {"MPEG-1 L3 128k 44.1 padded", 3, 3, 9, 0, true, 1, false, false, 44100, 128, 418, 1152, 529, 2},
      {"MPEG-1 L3 320k 48 mono", 3, 3, 14, 1, false, 3, false, false, 48000, 320, 960, 1152, 529, 1},
      {"MPEG-1 L2 384k 32", 3, 2, 14, 2, true, 0, false, false, 32000, 384, 1729, 1152, 481, 2},
      {"MPEG-1 L1 448k 44.1", 3, 1, 14, 0, true, 2, false, false, 44100, 448, 488, 384, 0, 2},
      {"MPEG-2 L3 64k 22.05", 2, 3, 8, 0, false, 1, false, true, 22050, 64, 208, 576, 529, 2},
      {"MPEG-2 L2 160k 16", 2, 2, 14, 2, false, 3, false, true, 16000, 160, 1440, 1152, 481, 1},
      {"MPEG-2 L1 256k 24", 2, 1, 14, 1, false, 0, false, true, 24000, 256, 512, 384, 0, 2},
      {"MPEG-2.5 L3 8k 8", 0, 3, 1, 2, false, 3, true, true, 8000, 8, 72, 576, 529, 1},
      {"MPEG-2.5 L2 160k 8 padded (longest)", 0, 2, 14, 2, true, 0, true, true, 8000, 160, kMaxFrameLength, 1152, 481,
       2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto bytes = Header(c.version, c.layer, c.bitrateIndex, c.rateIndex, c.padding, c.mode);
    auto h = ParseFrameHeader(bytes.data());
    ASSERT_TRUE(h);
    EXPECT_EQ(h->mpeg25, c.mpeg25);
    EXPECT_EQ(h->lsf, c.lsf);
    EXPECT_EQ(h->layer, c.layer);
    EXPECT_EQ(h->sampleRate, c.rate);
    EXPECT_EQ(h->bitrateKbps, c.kbps);
    EXPECT_EQ(h->frameLength, c.length);
    EXPECT_EQ(h->samplesPerFrame, c.samples);
    EXPECT_EQ(h->decoderDelay, c.delay);
    EXPECT_EQ(h->channels, c.channels);
    EXPECT_EQ(h->channelMode, c.mode);
  }
}

TEST(FrameHeader, RefusesWhatCannotStartAPlayableFrame) {
  struct Bad {
    const char* name;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"no sync", {0xFF, 0xDB, 0x90, 0x64}},
      {"first byte", {0xFE, 0xFB, 0x90, 0x64}},
      {"reserved version", Header(1, 3, 9, 0, false, 0)},
      {"reserved layer", {0xFF, 0xF9, 0x90, 0x64}},
      {"free format", Header(3, 3, 0, 0, false, 0)},
      {"bitrate index 15", Header(3, 3, 15, 0, false, 0)},
      {"sample rate index 3", Header(3, 3, 9, 3, false, 0)},
      {"all ones", {0xFF, 0xFF, 0xFF, 0xFF}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(ParseFrameHeader(c.bytes.data()));
  }
}

TEST(FrameHeader, SameStreamIgnoresBitrateAndPaddingOnly) {
  auto base = *ParseFrameHeader(Header(3, 3, 9, 0, false, 1).data());
  EXPECT_TRUE(SameStream(base, *ParseFrameHeader(Header(3, 3, 14, 0, true, 0).data())));   // stereo modes
  EXPECT_FALSE(SameStream(base, *ParseFrameHeader(Header(3, 3, 9, 1, false, 1).data())));  // rate
  EXPECT_FALSE(SameStream(base, *ParseFrameHeader(Header(3, 2, 9, 0, false, 1).data())));  // layer
  EXPECT_FALSE(SameStream(base, *ParseFrameHeader(Header(2, 3, 9, 0, false, 1).data())));  // version
  EXPECT_FALSE(SameStream(base, *ParseFrameHeader(Header(3, 3, 9, 0, false, 3).data())));  // channels
}

}  // namespace
}  // namespace zul
