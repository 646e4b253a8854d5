// Equalizer benchmarks, measured in thread CPU time (the machine is shared):
//   design   both channels' tables for one gain change        target <= 20 ms
//   filter   one second of 44.1 kHz 16-bit stereo              target <= 3 % of a core
//   ratio    filter cost / libmpg123 decoding the same second  reported only
// Exits non-zero when a target is missed.
#include <mpg123.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "equalizer/eq_filter.h"

namespace zul {
namespace {

constexpr int kRate = 44100;
constexpr int kSeconds = 20;
constexpr int kChunk = 1152;  // one MPEG-1 Layer III frame

double CpuSeconds() {
  timespec ts;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return ts.tv_sec + ts.tv_nsec * 1e-9;
}

// Music-like test signal: a few tones and some noise, stereo 16-bit.
std::vector<int16_t> MakeSignal(int seconds) {
  std::mt19937 rng(1);
  std::normal_distribution<double> noise(0, 1500);
  std::vector<int16_t> pcm(static_cast<size_t>(seconds) * kRate * 2);
  for (size_t i = 0; i < pcm.size() / 2; ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double tone = 6000 * std::sin(2 * std::numbers::pi * 220 * t) +
                        4000 * std::sin(2 * std::numbers::pi * 1375 * t) +
                        2000 * std::sin(2 * std::numbers::pi * 5230 * t * (1 + 0.01 * std::sin(t)));
    pcm[2 * i] = static_cast<int16_t>(std::clamp(tone + noise(rng), -32768.0, 32767.0));
    pcm[2 * i + 1] = static_cast<int16_t>(std::clamp(0.8 * tone + noise(rng), -32768.0, 32767.0));
  }
  return pcm;
}

// Slider-like gains with every band different, plus two records, so that
// every segment edge costs a term.
void SliderGains(int step, double* left, double* right) {
  for (int i = 0; i < kEqBands; ++i) {
    left[i] = EqCutFactor((i * 5 + step) % 24);
    right[i] = EqCutFactor((i * 3 + step) % 30);
  }
}
const EqParam kParams[] = {{1000, 2000, 6, 1, 0}, {50, 120, -3, 1, 1}};

double BenchDesign(CEqFilter& filter) {
  std::vector<double> times;
  double left[kEqBands], right[kEqBands];
  for (int step = 0; step < 30; ++step) {
    SliderGains(step, left, right);
    const double t0 = CpuSeconds();
    filter.BuildTables(left, right, kParams, kRate);
    times.push_back(CpuSeconds() - t0);
  }
  std::sort(times.begin(), times.end());
  std::printf("design, both channels: median %.2f ms, min %.2f ms, max %.2f ms (target <= 20 ms)\n",
              times[times.size() / 2] * 1e3, times.front() * 1e3, times.back() * 1e3);
  return times[times.size() / 2];
}

// CPU seconds to filter one second of audio (best of three runs).
double BenchFilter(CEqFilter& filter, const std::vector<int16_t>& signal, bool enabled, bool dither) {
  filter.SetEnabled(enabled);
  filter.SetDither(dither);
  std::vector<int16_t> work(signal.size());
  double best = 1e9;
  for (int run = 0; run < 3; ++run) {
    work = signal;
    const int frames = static_cast<int>(work.size() / 2);
    const double t0 = CpuSeconds();
    for (int done = 0; done < frames; done += kChunk)
      filter.Process(&work[static_cast<size_t>(done) * 2], std::min(kChunk, frames - done), 2, 16);
    best = std::min(best, (CpuSeconds() - t0) / kSeconds);
  }
  return best;
}

bool WriteWav(const std::string& path, const std::vector<int16_t>& pcm) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  auto u32 = [&](uint32_t v) { std::fwrite(&v, 4, 1, f); };
  auto u16 = [&](uint16_t v) { std::fwrite(&v, 2, 1, f); };
  const uint32_t bytes = static_cast<uint32_t>(pcm.size() * 2);
  std::fwrite("RIFF", 1, 4, f);
  u32(36 + bytes);
  std::fwrite("WAVEfmt ", 1, 8, f);
  u32(16), u16(1), u16(2), u32(kRate), u32(kRate * 4), u16(4), u16(16);
  std::fwrite("data", 1, 4, f);
  u32(bytes);
  std::fwrite(pcm.data(), 2, pcm.size(), f);
  return std::fclose(f) == 0;
}

// CPU seconds for libmpg123 to decode one second of the file to float PCM
// (as the MPEG input does), best of three; negative on failure.
double BenchDecode(const std::string& mp3) {
  double best = -1;
  for (int run = 0; run < 3; ++run) {
    int err = MPG123_OK;
    mpg123_handle* mh = mpg123_new(nullptr, &err);
    if (!mh) return -1;
    if (mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_FORCE_FLOAT, 0) != MPG123_OK ||
        mpg123_open(mh, mp3.c_str()) != MPG123_OK) {
      std::fprintf(stderr, "mpg123: %s\n", mpg123_strerror(mh));
      mpg123_delete(mh);
      return -1;
    }
    std::vector<unsigned char> out(1 << 16);
    size_t decoded = 0, total = 0;
    const double t0 = CpuSeconds();
    while ((err = mpg123_read(mh, out.data(), out.size(), &decoded)) == MPG123_OK || err == MPG123_NEW_FORMAT)
      total += decoded;
    total += decoded;
    const double elapsed = CpuSeconds() - t0;
    mpg123_close(mh);
    mpg123_delete(mh);
    if (err != MPG123_DONE) return -1;
    const double seconds = static_cast<double>(total) / (sizeof(float) * 2 * kRate);
    if (seconds < 1) return -1;
    const double perSecond = elapsed / seconds;
    best = best < 0 ? perSecond : std::min(best, perSecond);
  }
  return best;
}

int Main() {
  bool ok = true;
  CEqFilter filter;
  filter.ReserveParams(std::size(kParams));

  ok &= BenchDesign(filter) <= 0.020;

  const std::vector<int16_t> signal = MakeSignal(kSeconds);
  const double filtering = BenchFilter(filter, signal, true, false);
  const double dithered = BenchFilter(filter, signal, true, true);
  const double passing = BenchFilter(filter, signal, false, false);
  std::printf("filter, 1 s of 44.1 kHz 16-bit stereo: %.2f ms = %.2f %% of a core (target <= 3 %%)\n", filtering * 1e3,
              filtering * 100);
  std::printf("  with dither %.2f ms, disabled (delay only) %.2f ms\n", dithered * 1e3, passing * 1e3);
  ok &= filtering <= 0.03 && dithered <= 0.03;

  char dir[] = "/tmp/zul_bench_eq_XXXXXX";
  if (!mkdtemp(dir)) {
    std::printf("mpg123 comparison skipped: no temporary folder\n");
    return ok ? 0 : 1;
  }
  const std::string wav = std::string(dir) + "/signal.wav", mp3 = std::string(dir) + "/signal.mp3";
  const std::string lame = "lame --quiet -b 192 '" + wav + "' '" + mp3 + "'";
  if (!WriteWav(wav, signal) || std::system(lame.c_str()) != 0) {
    std::printf("mpg123 comparison failed: could not encode the test file with lame\n");
    ok = false;
  } else {
    mpg123_init();
    const double decode = BenchDecode(mp3);
    if (decode <= 0) {
      std::printf("mpg123 comparison failed: decoding error\n");
      ok = false;
    } else {
      std::printf(
          "libmpg123 decode of the same second (192 kbit/s, float out): %.2f ms; equalizer = %.2f x decode (%.0f %%)\n",
          decode * 1e3, filtering / decode, filtering / decode * 100);
    }
  }
  std::remove(wav.c_str());
  std::remove(mp3.c_str());
  rmdir(dir);
  return ok ? 0 : 1;
}

}  // namespace
}  // namespace zul

int main() { return zul::Main(); }
