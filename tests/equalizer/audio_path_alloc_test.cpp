// The decode thread must not allocate: not per block, and not when a new
// sample rate makes it redesign the tables. Counts operator new calls made
// by this thread while the hook runs.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <new>
#include <vector>

#include "equalizer/equalizer.h"

namespace {
thread_local bool counting = false;
thread_local int allocations = 0;
}  // namespace

void* operator new(std::size_t n) {
  if (counting) ++allocations;
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace zul {
namespace {

TEST(EqAudioPath, NeverAllocates) {
  CEqualizer eq;
  EqPreset preset;
  preset.values[3] = 12;
  preset.params = {{1000, 2000, 6, 1, 0}, {800, 900, -6, 1, 1}, {50, 20000, 1, 0, 1}};
  eq.SetPreset(preset);
  eq.ApplyGains();
  eq.SetEnabled(true);
  eq.SetDither(true);
  std::vector<uint8_t> buffer(3 * 4 * 20000, 1);

  const struct {
    int bits, channels, rate;
  } formats[] = {{16, 2, 44100}, {16, 2, 48000}, {8, 1, 48000}, {24, 2, 48000}, {32, 2, 48000}, {16, 2, 22050}};
  counting = true;
  for (const auto& f : formats)
    for (int i = 0; i < 12; ++i)
      eq.DspDoSamples(reinterpret_cast<short*>(buffer.data()), 1152 + 500 * (i % 3), f.bits, f.channels, f.rate);
  eq.SetEnabled(false);
  eq.DspDoSamples(reinterpret_cast<short*>(buffer.data()), 20000, 16, 2, 22050);
  counting = false;
  EXPECT_EQ(allocations, 0);
}

}  // namespace
}  // namespace zul
