// The decode thread must not allocate: not per block, not when a new sample
// rate makes it redesign the tables, and not when it drains or drops what
// the filter holds. Counts every allocation this thread makes while the hook
// runs, whichever allocator it goes through.
//
// The test runs natively. Under AddressSanitizer every allocation (malloc,
// calloc, realloc, operator new, aligned forms) passes the sanitizer's
// allocator, which reports each one to an installed hook. Without it, this
// executable's malloc, calloc and realloc take the place of the C library's
// for the whole process, operator new included (libstdc++'s calls malloc).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <new>
#include <vector>

#include "equalizer/equalizer.h"

#if defined(__SANITIZE_ADDRESS__)
#define ZUL_ALLOC_HOOKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZUL_ALLOC_HOOKS 1
#endif
#endif

namespace {
thread_local bool counting = false;
thread_local int allocations = 0;

void Count() {
  if (counting) ++allocations;
}
}  // namespace

#ifdef ZUL_ALLOC_HOOKS
// From the sanitizer runtime's allocator interface (its header is not
// always installed).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*, size_t),
                                                         void (*free_hook)(const volatile void*));

namespace {
void OnMalloc(const volatile void*, size_t) { Count(); }
void OnFree(const volatile void*) {}
const bool hooked = __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree) != 0;
}  // namespace
#else
extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void __libc_free(void*);

void* malloc(size_t n) {
  Count();
  return __libc_malloc(n);
}
void* calloc(size_t n, size_t size) {
  Count();
  return __libc_calloc(n, size);
}
void* realloc(void* p, size_t n) {
  Count();
  return __libc_realloc(p, n);
}
void free(void* p) { __libc_free(p); }
}
namespace {
const bool hooked = true;
}  // namespace
#endif

namespace zul {
namespace {

void* volatile sink;  // keeps the compiler from eliding the allocations below

// The count itself: each allocator counts once, and only while counting.
TEST(EqAudioPath, TheCountSeesEveryAllocator) {
  ASSERT_TRUE(hooked);
  allocations = 0;
  sink = std::malloc(8);
  std::free(sink);
  counting = true;
  sink = std::malloc(16);
  std::free(sink);
  sink = std::calloc(4, 4);
  sink = std::realloc(sink, 4096);
  std::free(sink);
  int* p = new int(3);
  sink = p;
  delete p;
  std::vector<double> grown(100);
  sink = grown.data();
  counting = false;
  EXPECT_EQ(allocations, 5);
}

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
  auto* samples = reinterpret_cast<short*>(buffer.data());

  const struct {
    int bits, channels, rate;
  } formats[] = {{16, 2, 44100}, {16, 2, 48000}, {8, 1, 48000}, {24, 2, 48000}, {32, 2, 48000}, {16, 2, 22050}};
  allocations = 0;
  counting = true;
  for (const auto& f : formats) {
    for (int i = 0; i < 12; ++i) {
      eq.DspDoSamples(samples, 1152 + 500 * (i % 3), f.bits, f.channels, f.rate);
      if (i == 5) eq.Discard();  // a seek
    }
    while (eq.Drain(samples, 1152, f.bits, f.channels) > 0) {
    }
  }
  eq.SetEnabled(false);
  eq.DspDoSamples(samples, 20000, 16, 2, 22050);
  counting = false;
  EXPECT_EQ(allocations, 0);
}

}  // namespace
}  // namespace zul
