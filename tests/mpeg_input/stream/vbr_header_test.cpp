#include "mpeg_input/stream/vbr_header.h"

#include <gtest/gtest.h>

#include <cstring>

#include "mpeg_input/stream/stream_scan.h"
#include "tests/mpeg_input/stream/fixtures.h"

namespace zul {
namespace {

using test::Bytes;
using test::Header;
using test::XingFrame;
using test::XingSpec;

bool Parse(const Bytes& frame, CVbrHeader& out) {
  auto h = ParseFrameHeader(frame.data());
  EXPECT_TRUE(h);
  return ParseVbrHeader(frame.data(), std::min<size_t>(frame.size(), kVbrHeaderBytes), *h, out);
}

TEST(Crc16Arc, MatchesTheCatalogueCheckValue) {
  const char* check = "123456789";
  EXPECT_EQ(Crc16Arc(reinterpret_cast<const uint8_t*>(check), 9), 0xBB3D);
}

TEST(VbrHeader, ReadsXingWithLameExtension) {
  XingSpec spec;
  spec.peakRaw = 0x00700000;             // 0.875
  spec.radioGain = 0x2C00 | 0x200 | 65;  // radio, set by the user, -6.5 dB
  spec.audiophileGain = 0x4C00 | 12;     // audiophile, user, +1.2 dB
  CVbrHeader v;
  ASSERT_TRUE(Parse(XingFrame(spec), v));
  EXPECT_TRUE(v.vbr);
  EXPECT_TRUE(v.mpeg1);
  EXPECT_EQ(v.sampleRate, 44100);
  EXPECT_EQ(v.frameLength, 417);
  EXPECT_EQ(v.xingFlags, 15u);
  EXPECT_EQ(v.frames, 100);
  EXPECT_EQ(v.bytes, 41700);
  EXPECT_EQ(v.toc[50], 127);
  EXPECT_EQ(v.quality, 57);
  EXPECT_TRUE(v.lame);
  EXPECT_EQ(v.encoder, "LAME3.100");
  EXPECT_DOUBLE_EQ(v.peak, 0.875);
  EXPECT_TRUE(v.hasTrackGain);
  EXPECT_DOUBLE_EQ(v.trackGainDb, -6.5);
  EXPECT_TRUE(v.hasAlbumGain);
  EXPECT_DOUBLE_EQ(v.albumGainDb, 1.2);
  EXPECT_EQ(v.encoderDelay, 576);
  EXPECT_EQ(v.padding, 1000);
}

TEST(VbrHeader, InfoIsCbrAndTheHeaderMovesWithVersionAndChannels) {
  struct Case {
    const char* name;
    Bytes header;
    const char* tag;
    bool vbr;
  } cases[] = {
      {"MPEG-1 stereo Info", Header(3, 3, 9, 0, false, 0), "Info", false},
      {"MPEG-1 mono Xing", Header(3, 3, 9, 0, false, 3), "Xing", true},
      {"MPEG-2 stereo Info", Header(2, 3, 14, 0, false, 1), "Info", false},
      {"MPEG-2.5 mono Xing", Header(0, 3, 14, 0, false, 3), "Xing", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    XingSpec spec;
    spec.header = c.header;
    spec.tag = c.tag;
    CVbrHeader v;
    ASSERT_TRUE(Parse(XingFrame(spec), v));
    EXPECT_EQ(v.vbr, c.vbr);
    EXPECT_EQ(v.frames, 100);
    EXPECT_EQ(v.encoderDelay, 576);
    // The tag at the offset of another layout is not found.
    Bytes moved = XingFrame(spec);
    size_t at = test::XingOffset(c.header);
    std::memmove(moved.data() + at + 1, moved.data() + at, 150);
    moved[at] = 0;
    EXPECT_FALSE(Parse(moved, v));
  }
}

TEST(VbrHeader, ABrokenLameCrcKeepsOnlyTheXingFields) {
  XingSpec spec;
  spec.validCrc = false;
  spec.radioGain = 0x2C00 | 65;
  CVbrHeader v;
  ASSERT_TRUE(Parse(XingFrame(spec), v));
  EXPECT_EQ(v.frames, 100);
  EXPECT_EQ(v.bytes, 41700);
  EXPECT_FALSE(v.lame);
  EXPECT_FALSE(v.hasTrackGain);
  EXPECT_EQ(v.encoderDelay, -1);
  EXPECT_EQ(v.padding, -1);
}

TEST(VbrHeader, LameFieldsThatCountAsAbsent) {
  struct Case {
    const char* name;
    uint16_t radio, audiophile;
    int delay, padding;
    const char* encoder;
    bool lame, hasTrack, hasAlbum;
    int expectDelay, expectPadding;
  } cases[] = {
      {"originator 0", 0x2000 | 65, 0x4000 | 65, 576, 1000, "LAME3.100", true, false, false, 576, 1000},
      {"name codes swapped", 0x4C00 | 65, 0x2C00 | 65, 576, 1000, "LAME3.100", true, false, false, 576, 1000},
      {"delay above 3000", 0, 0, 3001, 3000, "LAME3.100", true, false, false, -1, 3000},
      {"another encoder", 0x2C00 | 65, 0, 576, 1000, "Lavc59.37", false, false, false, -1, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    XingSpec spec;
    spec.radioGain = c.radio;
    spec.audiophileGain = c.audiophile;
    spec.delay = c.delay;
    spec.padding = c.padding;
    spec.encoder = c.encoder;
    CVbrHeader v;
    ASSERT_TRUE(Parse(XingFrame(spec), v));
    EXPECT_EQ(v.lame, c.lame);
    EXPECT_EQ(v.hasTrackGain, c.hasTrack);
    EXPECT_EQ(v.hasAlbumGain, c.hasAlbum);
    EXPECT_EQ(v.encoderDelay, c.expectDelay);
    EXPECT_EQ(v.padding, c.expectPadding);
  }
}

TEST(VbrHeader, EncoderStringLosesTrailingBlanks) {
  XingSpec spec;
  spec.encoder = "LAME3.99 ";
  CVbrHeader v;
  ASSERT_TRUE(Parse(XingFrame(spec), v));
  EXPECT_EQ(v.encoder, "LAME3.99");
}

TEST(VbrHeader, ReadsVbri) {
  Bytes f = test::Frames(Header(3, 3, 9, 0, false, 1), 1);
  std::memcpy(f.data() + 36, "VBRI", 4);
  test::PutBe32(f, 46, 123456);
  test::PutBe32(f, 50, 789);
  CVbrHeader v;
  ASSERT_TRUE(Parse(f, v));
  EXPECT_TRUE(v.vbr);
  EXPECT_EQ(v.bytes, 123456);
  EXPECT_EQ(v.frames, 789);
  EXPECT_FALSE(v.lame);
  EXPECT_EQ(v.encoderDelay, -1);
}

TEST(VbrHeader, FieldsMustLieInsideTheFrame) {
  // MPEG-2.5 8 kbit/s frames are 72 bytes: a table of contents cannot fit.
  XingSpec spec;
  spec.header = Header(0, 3, 1, 2, false, 3);
  spec.lame = false;
  spec.flags = 1;
  Bytes small = XingFrame(spec);
  ASSERT_EQ(small.size(), 72u);
  CVbrHeader v;
  EXPECT_TRUE(Parse(small, v));
  small[test::XingOffset(spec.header) + 7] = 5;  // frames and a table of contents
  EXPECT_FALSE(Parse(small, v));
}

TEST(VbrHeader, ComputedLengthUsesDelayPaddingAndTheHeaderFrame) {
  // Encoder delay 576 and padding 1000 at 44.1 kHz Layer III.
  XingSpec spec;
  Bytes file = XingFrame(spec);
  test::Append(file, test::Frames(Header(3, 3, 9, 0, false, 1), 99));
  CMemorySource source(file);
  CMpegScanResult r;
  ASSERT_TRUE(ScanMpegStream(source, r));
  EXPECT_EQ(r.initialSkip, 576 + 1152 + 529);
  EXPECT_EQ(r.startOffsetMs, 39);  // 1728 samples = 39.18 ms
  EXPECT_EQ(r.totalSamples, 100 * 1152 - 576 - 1000);
  EXPECT_EQ(r.lengthMs, 2577);   // 2576.503
  EXPECT_EQ(r.bitrate, 127706);  // 41700 bytes over 115200 samples
}

}  // namespace
}  // namespace zul
