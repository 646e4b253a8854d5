#include "mpeg_input/stream/seek_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>

#include "tests/mpeg_input/stream/fixtures.h"

namespace zul {
namespace {

using test::Append;
using test::Bytes;
using test::Frames;
using test::Header;

// Frame offsets as ffprobe sees them: an outside opinion of where frames
// start. ffmpeg consumes the VBR header frame itself, so its first packet is
// the frame after it.
std::vector<int64_t> ProbeFrameOffsets(const std::filesystem::path& path) {
  std::vector<int64_t> offsets;
  std::string command =
      "ffprobe -v error -select_streams a -show_entries packet=pos -of csv=p=0 '" + path.string() + "'";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return offsets;
  char line[64];
  while (std::fgets(line, sizeof line, pipe.get())) {
    if (line[0] >= '0' && line[0] <= '9') offsets.push_back(std::stoll(line));  // side-data lines are empty
  }
  return offsets;
}

TEST(SeekTable, WalksTheFramesOfAVbrFileLikeFfprobe) {
  test::TempDir dir;
  auto wav = dir / "in.wav";
  auto mp3 = dir / "vbr.mp3";
  ASSERT_TRUE(test::MakeWav(wav, 44100, 2, 44100 * 3));
  ASSERT_TRUE(test::Run("lame --quiet -V 0 '" + wav.string() + "' '" + mp3.string() + "'"));
  std::vector<int64_t> expected = ProbeFrameOffsets(mp3);
  ASSERT_GT(expected.size(), 100u);

  CFileSource source;
  ASSERT_TRUE(source.Open(mp3));
  CMpegScanResult scan;
  ASSERT_TRUE(ScanMpegStream(source, scan));
  ASSERT_TRUE(scan.vbr);
  expected.insert(expected.begin(), scan.dataStart);
  const double frameMs = 1152 * 1000.0 / 44100;

  CSeekTable table(source, scan);
  CSeekTable::Entry e;
  for (double t : {0.0, 1.0, 26.0, 26.2, 1000.0, 1500.5, 2999.0, 400.0, 0.5}) {
    SCOPED_TRACE(t);
    ASSERT_TRUE(table.Find(t, e));
    size_t index = static_cast<size_t>(std::lround(e.ms / frameMs));
    ASSERT_LT(index, expected.size());
    EXPECT_EQ(e.offset, expected[index]);
    EXPECT_LE(e.ms, t);
    EXPECT_GT(e.ms + frameMs, t);
  }
  // Beyond the end: the last frame.
  ASSERT_TRUE(table.Find(1e9, e));
  EXPECT_TRUE(table.Complete());
  EXPECT_EQ(e.offset, expected.back());
  EXPECT_EQ(table.Entries().size(), expected.size());
  EXPECT_DOUBLE_EQ(e.ms, (expected.size() - 1) * frameMs);
}

TEST(SeekTable, RefusesTimesThatAreNoTimes) {
  Bytes file = Frames(Header(3, 3, 9, 0, false, 1), 10);
  CMemorySource source(file);
  CMpegScanResult scan;
  ASSERT_TRUE(ScanMpegStream(source, scan));
  CSeekTable table(source, scan);
  CSeekTable::Entry e;
  EXPECT_FALSE(table.Find(-1.0, e));
  EXPECT_FALSE(table.Find(std::nan(""), e));
  EXPECT_FALSE(table.Find(INFINITY, e));
  ASSERT_TRUE(table.Find(0.0, e));
  EXPECT_EQ(e.offset, 0);
}

TEST(SeekTable, StopsAtADamagedFrameAndAtTheDataEnd) {
  Bytes file = Frames(Header(3, 3, 9, 0, false, 1), 20);
  file[10 * 417] = 0;  // frame 10 loses its sync
  Append(file, std::string(125, ' '));
  Bytes tag(128, 0);
  std::copy_n("TAG", 3, tag.begin());
  Append(file, tag);
  CMemorySource source(file);
  CMpegScanResult scan;
  ASSERT_TRUE(ScanMpegStream(source, scan));
  CSeekTable table(source, scan);
  CSeekTable::Entry e;
  ASSERT_TRUE(table.Find(100000.0, e));
  EXPECT_EQ(e.offset, 9 * 417);  // the last frame before the damage
  EXPECT_TRUE(table.Complete());

  // An intact file stops at its last whole frame, not inside the junk or
  // the tag after it.
  file[10 * 417] = 0xFF;
  CMemorySource intact(file);
  CSeekTable whole(intact, scan);
  ASSERT_TRUE(whole.Find(100000.0, e));
  EXPECT_EQ(e.offset, 19 * 417);
}

}  // namespace
}  // namespace zul
