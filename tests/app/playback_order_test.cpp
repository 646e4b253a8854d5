// Track choice: album range, shuffle order and step, sequential moves and
// the volume scaling of the system mixer.
#include "app/playback_order.h"
#include "pluginhost/winamp_window/volume_scale.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace zul {
namespace {

IndexRange AlbumOf(const std::vector<std::string>& folders, int current, bool albumMode = true) {
  return AlbumRange(static_cast<int>(folders.size()), current, albumMode,
                    [&](int a, int b) { return folders[static_cast<size_t>(a)] == folders[static_cast<size_t>(b)]; });
}

TEST(AlbumRange, IsTheRunOfTheCurrentFolder) {
  const std::vector<std::string> folders{"a", "a", "b", "b", "b", "a", "c"};
  struct Case {
    int current, first, last;
  } cases[] = {{0, 0, 1}, {1, 0, 1}, {3, 2, 4}, {4, 2, 4}, {5, 5, 5}, {6, 6, 6}};
  for (const Case& c : cases) {
    IndexRange r = AlbumOf(folders, c.current);
    EXPECT_EQ(r.first, c.first) << c.current;
    EXPECT_EQ(r.last, c.last) << c.current;
  }
  IndexRange whole = AlbumOf(folders, 3, false);
  EXPECT_EQ(whole.first, 0);
  EXPECT_EQ(whole.last, 6);
  EXPECT_EQ(AlbumOf({}, 0).last, -1);
  EXPECT_EQ(AlbumOf(folders, -1).last, 6);  // no current entry: the whole list
}

TEST(ShuffleOrder, IsAPermutationThatMovesPositionsAbove32767) {
  ShuffleOrder order(12345);
  std::vector<bool> seen(ShuffleOrder::kPositions);
  int fixedHigh = 0;
  for (int p = 0; p < ShuffleOrder::kPositions; ++p) {
    int v = order.ValueAt(p);
    ASSERT_GE(v, 0);
    ASSERT_LT(v, ShuffleOrder::kPositions);
    ASSERT_FALSE(seen[static_cast<size_t>(v)]) << v;
    seen[static_cast<size_t>(v)] = true;
    if (p >= 32768 && v == p) ++fixedHigh;
  }
  // Each position takes part in three swaps on average, so about 5 % stay.
  EXPECT_LT(fixedHigh, (ShuffleOrder::kPositions - 32768) / 5);
  ShuffleOrder other(54321);
  int same = 0;
  for (int p = 0; p < 1000; ++p) same += order.ValueAt(p) == other.ValueAt(p);
  EXPECT_LT(same, 100);
}

// A cycle of steps visits every entry of the range once and comes back to
// where it began: with shuffle and without repeat, five entries play five
// tracks.
TEST(ShuffleOrder, ForwardStepsVisitEachEntryOnceThenReturn) {
  for (uint32_t seed : {1u, 2u, 99u}) {
    ShuffleOrder order(seed);
    for (IndexRange range : {IndexRange{0, 4}, IndexRange{3, 9}, IndexRange{0, 0}}) {
      int start = range.first;
      int current = start;
      std::set<int> played{current};
      int steps = 0;
      for (;;) {
        current = order.Step(true, current, range);
        ++steps;
        ASSERT_GE(current, range.first);
        ASSERT_LE(current, range.last);
        if (current == start) break;
        EXPECT_TRUE(played.insert(current).second) << "played twice: " << current;
        ASSERT_LT(steps, 100);
      }
      EXPECT_EQ(steps, range.last - range.first + 1);
      EXPECT_EQ(static_cast<int>(played.size()), range.last - range.first + 1);
    }
  }
}

TEST(ShuffleOrder, BackwardStepReturnsToThePreviousTrack) {
  ShuffleOrder order(7);
  IndexRange range{0, 19};
  int a = 4;
  int b = order.Step(true, a, range);
  int c = order.Step(true, b, range);
  EXPECT_EQ(order.Step(false, c, range), b);
  EXPECT_EQ(order.Step(false, b, range), a);
}

TEST(ShuffleOrder, EdgeInputsEndPromptly) {
  ShuffleOrder order(3);
  EXPECT_EQ(order.Step(true, 2, IndexRange{0, -1}), 0);  // empty playlist
  int cursor = order.Cursor();
  int v = order.Step(true, -1, IndexRange{0, 4});  // no current entry
  EXPECT_GE(v, 0);
  EXPECT_LE(v, 4);
  EXPECT_NE(order.Cursor(), cursor);
}

TEST(SequentialMoves, WrapInsideTheRange) {
  struct Case {
    int current, first, last, next;
    bool wrapped;
    int previous;
  } cases[] = {
      {0, 0, 4, 1, false, 4}, {3, 0, 4, 4, false, 2}, {4, 0, 4, 0, true, 3},
      {5, 5, 7, 6, false, 7}, {7, 5, 7, 5, true, 6},  {2, 2, 2, 2, true, 2},
  };
  for (const Case& c : cases) {
    NextChoice n = SequentialNext(c.current, IndexRange{c.first, c.last});
    EXPECT_EQ(n.index, c.next) << c.current;
    EXPECT_EQ(n.wrapped, c.wrapped) << c.current;
    EXPECT_EQ(SequentialPrevious(c.current, IndexRange{c.first, c.last}), c.previous) << c.current;
  }
}

TEST(MixerScaling, MatchesTheVolumeRules) {
  EXPECT_EQ(VolumeToMixer(0, 0, 65535), 65u);  // a thousandth, not mute
  EXPECT_EQ(VolumeToMixer(255, 0, 65535), 65535u);
  EXPECT_EQ(VolumeToMixer(128, 0, 65535), 32896u);
  EXPECT_EQ(VolumeToMixer(0, 100, 1100), 100u);  // only a computed 0 is replaced
  EXPECT_EQ(VolumeToMixer(300, 0, 65535), 65535u);
  EXPECT_EQ(MixerToVolume(65535, 0, 65535), 255);
  EXPECT_EQ(MixerToVolume(65, 0, 65535), 0);
  EXPECT_EQ(MixerToVolume(7, 0, 0), 0);  // a control without range
  for (int v = 0; v <= 255; ++v) EXPECT_EQ(MixerToVolume(VolumeToMixer(v, 0, 65535), 0, 65535), v) << v;
}

}  // namespace
}  // namespace zul
