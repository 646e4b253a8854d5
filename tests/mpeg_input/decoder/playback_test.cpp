// The decoder layer with the scan and the block step, on files lame, sox and
// ffmpeg make: exact length and alignment, exact seeking, damaged files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <iostream>

#include "tests/mpeg_input/decoder/playback_support.h"
#include "tests/mpeg_input/stream/decode_oracle.h"
#include "tests/mpeg_input/stream/fixtures.h"

namespace zul {
namespace {

struct LengthCase {
  const char* name;
  int rate;
  const char* lameOptions;
};

void PrintTo(const LengthCase& c, std::ostream* os) { *os << c.name; }

class ExactLength : public testing::TestWithParam<LengthCase> {};

// N source frames in, N frames out, none shifted: the initial skip and the
// end cap must both be right to the sample.
TEST_P(ExactLength, GivesBackEverySourceFrameInPlace) {
  const LengthCase& c = GetParam();
  test::TempDir dir;
  const int64_t n = 2 * c.rate + 777;
  // A pure sweep: coded almost transparently, so the residual error says how
  // well the decoded samples sit on the source's.
  ASSERT_TRUE(test::Run("sox -R -r " + std::to_string(c.rate) + " -c 2 -n -b 16 '" + (dir / "in.wav").string() +
                        "' synth " + std::to_string(n) + "s sine 100-8000 vol 0.5"));
  ASSERT_TRUE(test::Run(test::Lame(c.lameOptions, dir / "in.wav", dir / "out.mp3")));

  CMpegFilePlayback p;
  std::vector<double> decoded = test::DecodeFile(dir / "out.mp3", &p);
  ASSERT_TRUE(p.Scan().exactLength);
  EXPECT_EQ(static_cast<int64_t>(decoded.size() / 2), n);

  int sourceChannels = 0;
  std::vector<float> source = test::ReadWavChannel0(dir / "in.wav", &sourceChannels);
  std::vector<float> left = test::Channel0(decoded, 2);
  EXPECT_EQ(test::BestLag(left, 1, 0, source, 1200), 0);
  double error = test::RelativeError(left, source);
  std::cout << c.name << ": " << n << " frames, relative residual error " << error << "\n";
  RecordProperty("relative_error", std::to_string(error));
  // One sample of shift alone would give about 0.5 over this sweep.
  EXPECT_LT(error, 0.1);
}

INSTANTIATE_TEST_SUITE_P(Lame, ExactLength,
                         testing::Values(LengthCase{"Cbr44100", 44100, "-b 128"}, LengthCase{"Vbr44100", 44100, "-V 2"},
                                         LengthCase{"Cbr48000", 48000, "-b 160"},
                                         LengthCase{"Vbr48000", 48000, "-V 4"}),
                         [](const testing::TestParamInfo<LengthCase>& info) { return std::string(info.param.name); });

// Files shared by the seek and damage tests, made once.
class Files : public testing::Test {
protected:
  static void SetUpTestSuite() {
    dir_ = new test::TempDir;
    auto wav = *dir_ / "in.wav";
    auto wav22 = *dir_ / "in22.wav";
    ok_ = test::MakeWav(wav, 44100, 2, 5 * 44100 + 123) && test::MakeWav(wav22, 22050, 1, 3 * 22050) &&
          test::Run(test::Lame("-b 128", wav, *dir_ / "cbr.mp3")) &&
          test::Run(test::Lame("-V 2", wav, *dir_ / "vbr.mp3")) &&
          test::Run(test::Lame("-b 32", wav, *dir_ / "low.mp3")) &&
          test::Run(test::Lame("-t -b 128", wav, *dir_ / "bare.mp3")) &&
          test::Run(test::Lame("-V 5", wav22, *dir_ / "mpeg2.mp3")) &&
          test::Run("ffmpeg -v quiet -y -i '" + wav.string() + "' -c:a mp2 -b:a 192k '" +
                    (*dir_ / "layer2.mp2").string() + "'");
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  void SetUp() override { ASSERT_TRUE(ok_) << "fixture tools failed"; }
  static std::filesystem::path Path(const std::string& name) { return *dir_ / name; }

  static test::TempDir* dir_;
  static bool ok_;
};
test::TempDir* Files::dir_ = nullptr;
bool Files::ok_ = false;

// The largest difference between `part` and `all` from `offset` on.
double Difference(const std::vector<double>& part, const std::vector<double>& all, size_t offset) {
  double worst = 0;
  for (size_t i = 0; i < part.size() && offset + i < all.size(); ++i)
    worst = std::max(worst, std::fabs(part[i] - all[offset + i]));
  return worst;
}

// Decoding from the start and stopping somewhere, then seeking to t and
// decoding on, must give exactly the samples of one run from the start.
// MPEG-1 stereo streams come out bit for bit; in others libmpg123's float
// synthesis may round the last bit differently depending on its history,
// so one float step (about -140 dB) is allowed.
TEST_F(Files, DecodeWholeEqualsTwoHalvesAroundASeek) {
  for (const char* name : {"cbr.mp3", "vbr.mp3", "low.mp3", "bare.mp3", "mpeg2.mp3", "layer2.mp2"}) {
    SCOPED_TRACE(name);
    CMpegFilePlayback whole;
    std::vector<double> all = test::DecodeFile(Path(name), &whole);
    ASSERT_FALSE(all.empty());
    const int ch = whole.Channels();
    const int rate = whole.Scan().sampleRate;
    const int64_t frames = static_cast<int64_t>(all.size()) / ch;
    for (double t : {0.0, 1.0, 26.12, 1000.3, 2345.6, frames * 1000.0 / rate - 5.0}) {
      SCOPED_TRACE(t);
      const int64_t at = std::llround(t * rate / 1000.0);
      CMpegFilePlayback p;
      ASSERT_TRUE(p.Open(Path(name), false));
      ASSERT_TRUE(p.StartDecoding(CGainDecision{}, false));
      // First half: played up to somewhere else, then the seek.
      std::vector<double> first = test::DecodeRest(p, static_cast<size_t>(frames / 3));
      ASSERT_TRUE(p.Seek(t));
      EXPECT_DOUBLE_EQ(p.ClockMs(), t);
      std::vector<double> rest = test::DecodeRest(p);
      ASSERT_EQ(static_cast<int64_t>(rest.size()), (frames - at) * ch);
      EXPECT_LE(Difference(rest, all, static_cast<size_t>(at * ch)), 0x1p-23);
      EXPECT_TRUE(std::equal(first.begin(), first.end(), all.begin()));
    }
  }
}

TEST_F(Files, SeekLandsOnTheFrameTheSeekTableSelects) {
  CMpegFilePlayback p;
  ASSERT_TRUE(p.Open(Path("cbr.mp3"), false));
  ASSERT_TRUE(p.StartDecoding(CGainDecision{}, false));
  const CMpegScanResult& s = p.Scan();
  for (double t : {500.0, 2000.0, 4000.0}) {
    ASSERT_TRUE(p.Seek(t));
    // The frame that holds t's sample, counting the delays before it.
    int64_t frame = (std::llround(t * s.sampleRate / 1000.0) + s.initialSkip) / s.samplesPerFrame;
    CFileSource file;
    ASSERT_TRUE(file.Open(Path("cbr.mp3")));
    CSeekTable table(file, s);
    CSeekTable::Entry e;
    ASSERT_TRUE(table.Find(frame * (s.samplesPerFrame * 1000.0 / s.sampleRate) + 0.1, e));
    EXPECT_EQ(p.LastSeekFrameOffset(), e.offset);
    // Fed from before it, for the bit reservoir.
    EXPECT_LT(p.LastSeekFeedOffset(), e.offset);
  }
  EXPECT_FALSE(p.Seek(-1.0));
}

TEST_F(Files, SeekPastTheEndEndsAtOnce) {
  CMpegFilePlayback p;
  ASSERT_TRUE(p.Open(Path("vbr.mp3"), false));
  ASSERT_TRUE(p.StartDecoding(CGainDecision{}, false));
  ASSERT_TRUE(p.Seek(p.Scan().lengthMs + 10000.0));
  EXPECT_TRUE(test::DecodeRest(p).empty());
}

// Where damage can end up inside the decoded stream: a file cut inside a
// frame, a frame header overwritten, a frame's data overwritten, a run of
// junk longer than libmpg123 searches. Each must play to its end without
// anything but finite samples, and be exact again a few frames after it.
struct Damage {
  const char* name;
  int frame;             // the damaged frame
  int offset;            // from its start
  int length;            // bytes overwritten; 0: the file is cut there
  int lostMin, lostMax;  // whole frames missing from the output
};

TEST_F(Files, DamagedFilesEndOrContinueCleanly) {
  CMpegFilePlayback clean;
  std::vector<double> all = test::DecodeFile(Path("cbr.mp3"), &clean);
  ASSERT_FALSE(all.empty());
  const CMpegScanResult& s = clean.Scan();
  const size_t spf = static_cast<size_t>(s.samplesPerFrame);
  test::Bytes bytes = test::ReadFile(Path("cbr.mp3"));
  CFileSource file;
  ASSERT_TRUE(file.Open(Path("cbr.mp3")));
  CSeekTable table(file, s);
  CSeekTable::Entry last;
  ASSERT_TRUE(table.Find(1e9, last));
  const auto& starts = table.Entries();

  for (const Damage& d :
       {Damage{"cut inside a frame", 100, 200, 0, 0, 0}, Damage{"header overwritten", 100, 0, 4, 1, 2},
        Damage{"data overwritten", 100, 40, 300, 0, 0}, Damage{"junk beyond the search", 100, 10, 3000, 7, 9}}) {
    SCOPED_TRACE(d.name);
    test::Bytes damaged = bytes;
    size_t at = static_cast<size_t>(starts[d.frame].offset) + d.offset;
    if (d.length == 0) {
      damaged.resize(at);
    } else {
      for (int i = 0; i < d.length; ++i) damaged[at + i] = static_cast<uint8_t>(0x5A ^ (i * 37));
    }
    test::WriteFile(Path("damaged.mp3"), damaged);
    CMpegFilePlayback p;
    std::vector<double> out = test::DecodeFile(Path("damaged.mp3"), &p);
    ASSERT_FALSE(out.empty());
    for (double v : out) ASSERT_TRUE(std::isfinite(v));
    const size_t before = (d.frame - 1) * spf - s.initialSkip;  // samples surely intact before the damage
    ASSERT_GT(out.size(), before * 2);
    EXPECT_TRUE(std::equal(out.begin(), out.begin() + before * 2, all.begin()));
    if (d.length == 0) {
      // Everything before the cut frame, and nothing invented after it.
      EXPECT_LE(out.size(), all.size());
      EXPECT_GE(out.size() / 2, before);
      continue;
    }
    // Behind the damage the audio is exact again, shifted by the frames lost.
    size_t missing = (all.size() - out.size()) / 2;
    EXPECT_GE(missing + spf, d.lostMin * spf);
    EXPECT_LE(missing, d.lostMax * spf + spf);
    bool matched = false;
    const size_t check = (d.frame + d.lostMax + 4) * spf;
    for (int lost = d.lostMin; lost <= d.lostMax && !matched; ++lost) {
      size_t shift = static_cast<size_t>(lost) * spf * 2;
      if (check * 2 + 4096 * 2 + shift > all.size() || check * 2 + 4096 * 2 > out.size()) continue;
      matched =
          std::equal(out.begin() + check * 2, out.begin() + check * 2 + 4096 * 2, all.begin() + check * 2 + shift);
    }
    EXPECT_TRUE(matched) << "missing " << missing << " samples";
  }
}

}  // namespace
}  // namespace zul
