// The audio thread must never see a half-written table while another thread
// rebuilds. Run it under ThreadSanitizer too, which reports any access pair
// the hand-over fails to order, however short the overlap:
//   cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZUL_SANITIZE=OFF
//         -DCMAKE_CXX_FLAGS=-fsanitize=thread -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread
//   cmake --build build/tsan -j2 --target equalizer_handover_test
//   build/tsan/tests/equalizer/equalizer_handover_test
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "equalizer/eq_filter.h"
#include "equalizer/eq_tables.h"
#include "equalizer/equalizer.h"

namespace zul {
namespace {

TEST(EqTables, BuildBeforeTheClaimRewritesTheUnclaimedCopy) {
  CEqTables tables;
  const int initial = tables.TakeForAudio();
  const int first = tables.BeginWrite();
  EXPECT_NE(first, initial);
  tables.Publish(first);
  // The audio thread has not claimed `first`; writing the "other" copy now
  // would overwrite the one it is still reading.
  const int second = tables.BeginWrite();
  EXPECT_EQ(second, first);
  EXPECT_EQ(tables.TakeForAudio(), initial) << "withdrawn while rewritten";
  tables.Publish(second);
  EXPECT_EQ(tables.TakeForAudio(), second);
  EXPECT_EQ(tables.TakeForAudio(), second);
  EXPECT_EQ(tables.BeginWrite(), initial);
}

TEST(EqTables, AudioSeesOnlyCompleteTablesWhileAnotherThreadRebuilds) {
  // Each build is a pure gain (equal band gains design an exact impulse), so
  // a constant input comes out as exactly one of the two scaled values; a
  // torn table would smear the impulse and give other values.
  CEqFilter filter;
  filter.SetEnabled(true);
  const double gains[2] = {1.0, std::pow(10.0, -6.0 / 20)};
  const int16_t expected[2] = {10000, static_cast<int16_t>(std::lround(10000 * gains[1]))};
  std::atomic<bool> done{false};
  std::thread builder([&] {
    for (int i = 0; i < 200; ++i) {
      std::vector<double> g(kEqBands, gains[i % 2]);
      filter.BuildTables(g.data(), g.data(), {}, 44100);
    }
    done = true;
  });

  std::vector<int16_t> block(2 * 1152);
  long long frames = 0;
  int seen[2] = {0, 0};  // outputs per gain
  int wrong = 0;
  // Runs while the builder does, then long enough to take its last table.
  for (int after = 0; after < 30; after += done.load()) {
    std::fill(block.begin(), block.end(), 10000);
    filter.Process(block.data(), 1152, 2, 16);
    for (int i = 0; i < 2 * 1152; ++i) {
      if (frames + i / 2 < kEqLatency) continue;
      if (block[i] == expected[0])
        ++seen[0];
      else if (block[i] == expected[1])
        ++seen[1];
      else
        ++wrong;
    }
    frames += 1152;
  }
  builder.join();
  EXPECT_EQ(wrong, 0);
  EXPECT_GT(seen[1], 0) << "the last build never reached the audio path";
}

TEST(EqTables, GainChangesRacingRateChangesEndWithTheLatestOfBoth) {
  // The UI thread applies gains while the decode thread switches rates (and
  // so rebuilds too); whichever build runs last must use the last gains.
  CEqualizer eq;
  eq.SetEnabled(true);
  std::atomic<bool> done{false};
  std::thread ui([&] {
    EqPreset preset;
    for (int i = 0; i < 40; ++i) {
      preset.values[kEqLeftPreamp] = preset.values[kEqRightPreamp] = i % 2 ? 6 : 0;
      preset.values[1 + i % kEqBands] = i % 2 ? 6 : 0;  // not all bands equal: a real design
      eq.SetPreset(preset);
      eq.ApplyGains();
    }
    preset.values.fill(0);
    preset.values[kEqLeftPreamp] = preset.values[kEqRightPreamp] = 6;
    eq.SetPreset(preset);
    eq.ApplyGains();
    done = true;
  });
  std::vector<int16_t> block(2 * 1152, 10000);
  int rate = 44100;
  for (int i = 0; !done.load(); ++i) {
    if (i % 4 == 0) rate = rate == 44100 ? 48000 : 44100;
    eq.DspDoSamples(block.data(), 1152, 16, 2, rate);
  }
  ui.join();
  for (int i = 0; i < 2 * kEqLatency / 1152 + 2; ++i) {
    std::fill(block.begin(), block.end(), 10000);
    eq.DspDoSamples(block.data(), 1152, 16, 2, rate);
  }
  const int16_t expected = static_cast<int16_t>(std::lround(10000 * std::pow(10.0, -6.0 / 20)));
  for (int16_t v : block) ASSERT_EQ(v, expected);
}

}  // namespace
}  // namespace zul
