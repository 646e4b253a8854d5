#include "mpeg_input/stream/stream_scan.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/mpeg_input/stream/decode_oracle.h"
#include "tests/mpeg_input/stream/fixtures.h"

namespace zul {
namespace {

using test::Append;
using test::Bytes;
using test::Frames;
using test::Header;

bool ScanBytes(const Bytes& bytes, CMpegScanResult& r) {
  CMemorySource source(bytes);
  return ScanMpegStream(source, r);
}

bool ScanPath(const std::filesystem::path& path, CMpegScanResult& r) {
  CFileSource source;
  return source.Open(path) && ScanMpegStream(source, r);
}

// lame reads a WAV of a known number of sample frames; the scan must give
// back exactly that number, and dropping the initial skip from the decoder's
// output must line the audio up with the source to the sample.
struct GaplessCase {
  const char* name;
  int rate;
  int channels;
  const char* lameOptions;
  int samplesPerFrame;
};

void PrintTo(const GaplessCase& c, std::ostream* os) { *os << c.name; }

class GaplessLength : public testing::TestWithParam<GaplessCase> {};

TEST_P(GaplessLength, MatchesTheSourceFrameCountAndAlignment) {
  const GaplessCase& c = GetParam();
  test::TempDir dir;
  const int64_t frames = c.rate + 12345;  // no multiple of any frame size
  auto wav = dir / "in.wav";
  auto mp3 = dir / "out.mp3";
  ASSERT_TRUE(test::MakeWav(wav, c.rate, c.channels, frames));
  ASSERT_TRUE(
      test::Run(std::string("lame --quiet ") + c.lameOptions + " '" + wav.string() + "' '" + mp3.string() + "'"));

  CMpegScanResult r;
  ASSERT_TRUE(ScanPath(mp3, r));
  EXPECT_EQ(r.sampleRate, c.rate);
  EXPECT_EQ(r.channels, c.channels);
  EXPECT_EQ(r.samplesPerFrame, c.samplesPerFrame);
  ASSERT_TRUE(r.hasVbrHeader);
  ASSERT_TRUE(r.vbrHeader.lame);
  EXPECT_TRUE(r.exactLength);
  EXPECT_EQ(r.totalSamples, frames);
  EXPECT_EQ(r.lengthMs, (frames * 1000 + c.rate / 2) / c.rate);
  EXPECT_EQ(r.initialSkip, r.vbrHeader.encoderDelay + c.samplesPerFrame + 529);
  EXPECT_EQ(r.dataSize, static_cast<int64_t>(std::filesystem::file_size(mp3)));

  int decodedChannels = 0, sourceChannels = 0;
  auto decoded = test::DecodeAll(mp3, &decodedChannels);
  auto source = test::ReadWavChannel0(wav, &sourceChannels);
  ASSERT_EQ(decodedChannels, c.channels);
  ASSERT_EQ(static_cast<int64_t>(source.size()), frames);
  // Everything the listener should hear was decoded...
  ASSERT_GE(static_cast<int64_t>(decoded.size() / c.channels), r.initialSkip + r.totalSamples);
  // ...and starts exactly where the skip ends.
  EXPECT_EQ(test::BestLag(decoded, c.channels, static_cast<size_t>(r.initialSkip), source, 1200), 0);
}

INSTANTIATE_TEST_SUITE_P(Lame, GaplessLength,
                         testing::Values(GaplessCase{"Cbr44100", 44100, 2, "-b 128", 1152},
                                         GaplessCase{"Vbr44100", 44100, 2, "-V 2", 1152},
                                         GaplessCase{"Cbr48000", 48000, 2, "-b 192", 1152},
                                         GaplessCase{"Vbr48000", 48000, 1, "-V 4", 1152},
                                         GaplessCase{"Mpeg2Vbr22050", 22050, 2, "-V 5", 576},
                                         GaplessCase{"Mpeg2Cbr24000", 24000, 1, "-b 64", 576},
                                         GaplessCase{"Mpeg25Cbr11025", 11025, 1, "-b 32", 576},
                                         GaplessCase{"Mpeg25Vbr8000", 8000, 1, "-V 7", 576}),
                         [](const testing::TestParamInfo<GaplessCase>& info) { return std::string(info.param.name); });

class LameFiles : public testing::Test {
protected:
  static void SetUpTestSuite() {
    dir_ = new test::TempDir;
    auto wav = *dir_ / "in.wav";
    ok_ = test::MakeWav(wav, 44100, 2, 60000) &&
          test::Run("lame --quiet -b 128 '" + wav.string() + "' '" + (*dir_ / "cbr.mp3").string() + "'") &&
          test::Run("lame --quiet -V 2 '" + wav.string() + "' '" + (*dir_ / "vbr.mp3").string() + "'") &&
          test::Run("lame --quiet -t -b 128 '" + wav.string() + "' '" + (*dir_ / "bare.mp3").string() + "'") &&
          test::Run("lame --quiet -b 128 --add-id3v2 --tt Title --ta Artist '" + wav.string() + "' '" +
                    (*dir_ / "tagged.mp3").string() + "'") &&
          test::Run("ffmpeg -v error -y -i '" + wav.string() + "' -c:a mp2 -b:a 192k '" +
                    (*dir_ / "layer2.mp2").string() + "'");
  }
  static void TearDownTestSuite() { delete dir_; }
  void SetUp() override { ASSERT_TRUE(ok_) << "fixture tools failed"; }
  static std::filesystem::path File(const char* name) { return *dir_ / name; }

  static inline test::TempDir* dir_ = nullptr;
  static inline bool ok_ = false;
};

TEST_F(LameFiles, InfoMarksCbrXingMarksVbrBothGiveExactLength) {
  CMpegScanResult cbr, vbr;
  ASSERT_TRUE(ScanPath(File("cbr.mp3"), cbr));
  ASSERT_TRUE(ScanPath(File("vbr.mp3"), vbr));
  EXPECT_FALSE(cbr.vbr);
  EXPECT_TRUE(vbr.vbr);
  EXPECT_TRUE(cbr.exactLength);
  EXPECT_TRUE(vbr.exactLength);
  EXPECT_EQ(cbr.totalSamples, 60000);
  EXPECT_EQ(vbr.totalSamples, 60000);
  // The average counts the header frame's bytes but not its samples.
  EXPECT_NEAR(cbr.bitrate, 128000, 128000 * 3 / 100);
}

TEST_F(LameFiles, WithoutAVbrHeaderTheLengthComesFromSizeAndBitrate) {
  CMpegScanResult r;
  ASSERT_TRUE(ScanPath(File("bare.mp3"), r));
  EXPECT_FALSE(r.hasVbrHeader);
  EXPECT_FALSE(r.exactLength);
  EXPECT_EQ(r.bitrate, 128000);
  int64_t size = static_cast<int64_t>(std::filesystem::file_size(File("bare.mp3")));
  EXPECT_EQ(r.dataSize, size);
  EXPECT_EQ(r.lengthMs, (size * 8000 + 64000) / 128000);
  EXPECT_EQ(r.totalSamples, (r.lengthMs * 44100 + 500) / 1000);
  EXPECT_EQ(r.frames, r.totalSamples / 1152);
  EXPECT_EQ(r.initialSkip, 529);
  EXPECT_EQ(r.startOffsetMs, 0);
}

TEST_F(LameFiles, TagsAroundTheAudioAreLeftOut) {
  CMpegScanResult plain, tagged;
  ASSERT_TRUE(ScanPath(File("cbr.mp3"), plain));
  ASSERT_TRUE(ScanPath(File("tagged.mp3"), tagged));
  Bytes bytes = test::ReadFile(File("tagged.mp3"));
  ASSERT_EQ(std::memcmp(bytes.data(), "ID3", 3), 0);
  ASSERT_EQ(std::memcmp(bytes.data() + bytes.size() - 128, "TAG", 3), 0);
  EXPECT_GT(tagged.dataStart, 10);
  EXPECT_EQ(tagged.dataSize, plain.dataSize);
  EXPECT_EQ(tagged.dataEnd, static_cast<int64_t>(bytes.size()) - 128);
  EXPECT_EQ(tagged.totalSamples, plain.totalSamples);
}

TEST_F(LameFiles, ABrokenLameCrcLeavesDelayAndPaddingUnknown) {
  Bytes bytes = test::ReadFile(File("cbr.mp3"));
  CMpegScanResult good, broken;
  ASSERT_TRUE(ScanBytes(bytes, good));
  ASSERT_GT(good.vbrHeader.encoderDelay, 0);
  bytes[100] ^= 0x55;  // inside the table of contents, covered by the CRC
  ASSERT_TRUE(ScanBytes(bytes, broken));
  EXPECT_FALSE(broken.vbrHeader.lame);
  EXPECT_TRUE(broken.exactLength);
  EXPECT_EQ(broken.frames, good.frames);
  EXPECT_EQ(broken.totalSamples, good.frames * 1152);
  EXPECT_EQ(broken.initialSkip, 529);
  EXPECT_EQ(broken.startOffsetMs, 0);
}

TEST_F(LameFiles, LayerTwoFromFfmpeg) {
  CMpegScanResult r;
  ASSERT_TRUE(ScanPath(File("layer2.mp2"), r));
  EXPECT_EQ(r.layer, 2);
  EXPECT_EQ(r.bitrate, 192000);
  EXPECT_EQ(r.samplesPerFrame, 1152);
  EXPECT_EQ(r.initialSkip, 481);
  // 60000 samples at 44.1 kHz take 53 frames; the length is the bytes'.
  EXPECT_NEAR(r.lengthMs, 53 * 1152 * 1000 / 44100, 30);
}

TEST(StreamScan, SynthesisedFormatsOfEveryLayer) {
  struct Case {
    const char* name;
    Bytes header;
    int layer, rate, samples, delay;
  } cases[] = {
      {"MPEG-1 Layer I", Header(3, 1, 12, 1, false, 0), 1, 48000, 384, 0},
      {"MPEG-2 Layer I", Header(2, 1, 12, 1, false, 3), 1, 24000, 384, 0},
      {"MPEG-1 Layer II", Header(3, 2, 10, 2, false, 0), 2, 32000, 1152, 481},
      {"MPEG-2 Layer III", Header(2, 3, 8, 0, false, 1), 3, 22050, 576, 529},
      {"MPEG-2.5 Layer III", Header(0, 3, 8, 2, false, 3), 3, 8000, 576, 529},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CMpegScanResult r;
    ASSERT_TRUE(ScanBytes(Frames(c.header, 200), r));
    EXPECT_EQ(r.layer, c.layer);
    EXPECT_EQ(r.sampleRate, c.rate);
    EXPECT_EQ(r.samplesPerFrame, c.samples);
    EXPECT_EQ(r.initialSkip, c.delay);
    // Constant frames: the byte-based length is the frames' duration, within
    // the rounding of the frame length.
    EXPECT_NEAR(r.lengthMs, 200.0 * c.samples * 1000 / c.rate, 200.0 * c.samples * 1000 / c.rate * 0.01);
  }
}

TEST(StreamScan, SearchesSixtyFourKilobytesForTheFirstFrame) {
  Bytes frames = Frames(Header(3, 3, 9, 0, false, 1), 20);
  struct Case {
    const char* name;
    size_t tagBytes;  // an ID3v2 tag first; the search counts from its end
    size_t garbage;
    bool found;
  } cases[] = {
      {"65535 bytes", 0, 65535, true},
      {"65536 bytes", 0, 65536, false},
      {"tag and 65535 bytes", 3000, 65535, true},
      {"tag and 65536 bytes", 3000, 65536, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes file;
    if (c.tagBytes) {
      file = {
          'I', 'D', '3', 3, 0, 0, 0, 0, static_cast<uint8_t>(c.tagBytes >> 7), static_cast<uint8_t>(c.tagBytes & 127)};
      file.resize(10 + c.tagBytes, 0);
    }
    // All-ones garbage carries sync bits everywhere and must still be passed.
    file.resize(file.size() + c.garbage, 0xFF);
    Append(file, frames);
    CMpegScanResult r;
    EXPECT_EQ(ScanBytes(file, r), c.found);
    if (c.found) {
      EXPECT_EQ(r.dataStart, static_cast<int64_t>((c.tagBytes ? 10 + c.tagBytes : 0) + c.garbage));
    }
  }
}

TEST(StreamScan, AHeaderCountsOnlyWhenAConsistentOneFollows) {
  Bytes file = Frames(Header(3, 3, 9, 0, false, 1), 1);   // lone MPEG-1 frame
  Append(file, Frames(Header(3, 3, 9, 1, false, 1), 3));  // 48 kHz: another stream
  CMpegScanResult r;
  ASSERT_TRUE(ScanBytes(file, r));
  EXPECT_EQ(r.dataStart, 417);  // the second frame, followed by its like
  EXPECT_EQ(r.sampleRate, 48000);
}

TEST(StreamScan, FailsCleanly) {
  Bytes oneFrame = Frames(Header(3, 3, 9, 0, false, 1), 1);
  Bytes hugeTag = {'I', 'D', '3', 4, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F};
  Append(hugeTag, Frames(Header(3, 3, 9, 0, false, 1), 3));
  struct Case {
    const char* name;
    Bytes bytes;
  } cases[] = {
      {"empty", {}},
      {"three bytes", {0xFF, 0xFB, 0x90}},
      {"ID3 shorter than its header", {'I', 'D', '3', 3, 0, 0, 0}},
      {"tag larger than the file", hugeTag},
      {"one frame only", oneFrame},
      {"silence", Bytes(5000, 0)},
      {"RIFF of another form",
       [] {
         Bytes b = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I', ' '};
         Append(b, Frames(Header(3, 3, 9, 0, false, 1), 3));
         return b;
       }()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CMpegScanResult r;
    EXPECT_FALSE(ScanBytes(c.bytes, r));
  }
}

Bytes Id3v1() {
  Bytes t(128, 0);
  std::memcpy(t.data(), "TAG", 3);
  return t;
}

Bytes Ape(uint32_t itemBytes, bool withHeader) {
  Bytes t;
  Bytes footer(32, 0);
  std::memcpy(footer.data(), "APETAGEX", 8);
  test::PutLe32(footer, 8, 2000);
  test::PutLe32(footer, 12, itemBytes + 32);
  test::PutLe32(footer, 20, withHeader ? 0x80000000u : 0);  // bit 31: a header exists
  if (withHeader) {
    Bytes header = footer;
    test::PutLe32(header, 20, 0xA0000000u);  // bit 29: this is the header
    Append(t, header);
  }
  t.resize(t.size() + itemBytes, 'i');
  Append(t, footer);
  return t;
}

Bytes Id3v2Footer(uint32_t bodyBytes) {
  Bytes t = {
      'I', 'D', '3', 4, 0, 0x10, 0, 0, static_cast<uint8_t>(bodyBytes >> 7), static_cast<uint8_t>(bodyBytes & 127)};
  t.resize(10 + bodyBytes, 0);
  Append(t, Bytes{'3', 'D', 'I', 4, 0, 0x10, 0, 0, static_cast<uint8_t>(bodyBytes >> 7),
                  static_cast<uint8_t>(bodyBytes & 127)});
  return t;
}

TEST(StreamScan, TrailingTagsAreSubtracted) {
  const Bytes audio = Frames(Header(3, 3, 9, 0, false, 1), 30);
  Bytes bogusApe = Ape(100, false);
  test::PutLe32(bogusApe, bogusApe.size() - 20, 0x7FFFFFFF);
  struct Case {
    const char* name;
    Bytes tail;
    size_t tagBytes;
  } cases[] = {
      {"none", {}, 0},
      {"ID3v1", Id3v1(), 128},
      {"APE without header", Ape(100, false), 132},
      {"APE with header", Ape(100, true), 164},
      {"APE then ID3v1",
       [] {
         Bytes b = Ape(50, true);
         Append(b, Id3v1());
         return b;
       }(),
       50 + 64 + 128},
      {"ID3v2 with footer", Id3v2Footer(300), 320},
      {"APE claiming more than the file", bogusApe, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes file = audio;
    Append(file, c.tail);
    CMpegScanResult r;
    ASSERT_TRUE(ScanBytes(file, r));
    EXPECT_EQ(r.dataEnd, static_cast<int64_t>(file.size() - c.tagBytes));
    EXPECT_EQ(r.dataSize, r.dataEnd - r.dataStart);
  }
}

Bytes Riff(const char* form, const Bytes& audio, uint32_t declaredDataSize) {
  Bytes b = {'R', 'I', 'F', 'F', 0, 0, 0, 0};
  Append(b, std::string(form, 4));
  Append(b, std::string("fmt "));
  Bytes fmt(4 + 30, 0);  // an MPEGLAYER3WAVEFORMAT-sized chunk
  test::PutLe32(fmt, 0, 30);
  fmt[4] = 0x55;
  Append(b, fmt);
  Append(b, std::string("LIST"));
  Bytes list(4 + 5, 'x');  // odd size: padded to even
  test::PutLe32(list, 0, 5);
  list.push_back(0);
  Append(b, list);
  Append(b, std::string("data"));
  Bytes size(4);
  test::PutLe32(size, 0, declaredDataSize);
  Append(b, size);
  Append(b, audio);
  test::PutLe32(b, 4, static_cast<uint32_t>(b.size() - 8));
  return b;
}

TEST(StreamScan, RiffFormsDecideTheAudioRange) {
  const Bytes audio = Frames(Header(3, 3, 9, 0, false, 1), 30);
  for (const char* form : {"WAVE", "RMP3"}) {
    SCOPED_TRACE(form);
    Bytes file = Riff(form, audio, static_cast<uint32_t>(audio.size()));
    int64_t chunkEnd = static_cast<int64_t>(file.size());
    Append(file, Id3v1());  // outside the form: the chunk already ends before it
    Append(file, Frames(Header(3, 3, 9, 0, false, 1), 2));
    CMpegScanResult r;
    ASSERT_TRUE(ScanBytes(file, r));
    EXPECT_EQ(r.dataStart, chunkEnd - static_cast<int64_t>(audio.size()));
    EXPECT_EQ(r.dataEnd, chunkEnd);
  }
  // A data chunk cut short by a truncated copy ends at the end of the file.
  Bytes cut = Riff("WAVE", audio, static_cast<uint32_t>(audio.size() * 3));
  CMpegScanResult r;
  ASSERT_TRUE(ScanBytes(cut, r));
  EXPECT_EQ(r.dataEnd, static_cast<int64_t>(cut.size()));
}

TEST(StreamScan, ByteCountOfTheVbrHeaderBoundsTheData) {
  test::XingSpec spec;
  spec.frames = 50;
  spec.bytes = 20 * 417;  // the header says less than the file holds
  Bytes file = test::XingFrame(spec);
  Append(file, Frames(Header(3, 3, 9, 0, false, 1), 49));
  CMpegScanResult r;
  ASSERT_TRUE(ScanBytes(file, r));
  EXPECT_EQ(r.dataSize, 20 * 417);
  EXPECT_EQ(r.dataEnd, 20 * 417);
  // ...but never more than the file holds.
  spec.bytes = 1000000;
  file = test::XingFrame(spec);
  Append(file, Frames(Header(3, 3, 9, 0, false, 1), 49));
  ASSERT_TRUE(ScanBytes(file, r));
  EXPECT_EQ(r.dataEnd, 50 * 417);
  // A count smaller than the header frame itself is damage, not a bound.
  spec.bytes = 0;
  file = test::XingFrame(spec);
  Append(file, Frames(Header(3, 3, 9, 0, false, 1), 49));
  ASSERT_TRUE(ScanBytes(file, r));
  EXPECT_EQ(r.dataEnd, 50 * 417);
}

TEST(StreamScan, DamagedFrameCountsFallBackToTheBytes) {
  test::XingSpec spec;
  spec.frames = 0;
  Bytes file = test::XingFrame(spec);
  Append(file, Frames(Header(3, 3, 9, 0, false, 1), 49));
  CMpegScanResult r;
  ASSERT_TRUE(ScanBytes(file, r));
  EXPECT_FALSE(r.exactLength);
  EXPECT_EQ(r.lengthMs, (50 * 417 * 8000 + 64000) / 128000);
}

}  // namespace
}  // namespace zul
