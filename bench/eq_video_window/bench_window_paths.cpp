// The equalizer and video windows' paths, measured in thread CPU time (the
// machine is shared):
//   slider   a slider move (new values, gains applied, both tables designed
//            and handed over) until the next audio block uses them   target <= 20 ms
//   frame    one 640 x 360 frame turned into the drawn pixels, YUY2
//            and YV12                                                  target <= 2 ms
// Exits non-zero when a target is missed.
#include <time.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "equalizer/equalizer.h"
#include "pluginhost/video/yuv_convert.h"

namespace zul {
namespace {

double CpuSeconds() {
  timespec ts;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return ts.tv_sec + ts.tv_nsec * 1e-9;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double SliderMs() {
  CEqualizer eq;
  eq.SetEnabled(true);
  std::vector<short> block(1152 * 2, 1000);
  eq.DspDoSamples(block.data(), 1152, 16, 2, 44100);  // the rate is known: gain changes build at once
  std::vector<double> times;
  for (int move = 0; move < 40; ++move) {
    EqPreset preset = eq.Preset();
    preset.values[7] = move % 97;  // the left 440 Hz slider
    const double t0 = CpuSeconds();
    eq.SetPreset(preset);
    eq.ApplyGains();
    eq.DspDoSamples(block.data(), 1152, 16, 2, 44100);  // takes the new table
    times.push_back((CpuSeconds() - t0) * 1000);
  }
  return Median(times);
}

double FrameMs(bool planar) {
  const int w = 640, h = 360;
  std::vector<uint8_t> yuy2(2 * w * h, 128), y(w * h, 100), u(w * h / 4, 90), v(w * h / 4, 200);
  std::vector<uint32_t> out(w * h);
  std::vector<double> times;
  for (int i = 0; i < 200; ++i) {
    yuy2[i] = static_cast<uint8_t>(i);
    const double t0 = CpuSeconds();
    const bool ok = planar ? ConvertYv12({y.data(), w}, {u.data(), w / 2}, {v.data(), w / 2}, w, h, false, out.data())
                           : ConvertYuy2(yuy2.data(), w, h, false, out.data());
    times.push_back((CpuSeconds() - t0) * 1000);
    if (!ok) return 1e9;
  }
  return Median(times);
}

}  // namespace
}  // namespace zul

int main() {
  int status = 0;
  const double slider = zul::SliderMs();
  std::printf("slider move to the table in use: %.2f ms (target <= 20 ms)\n", slider);
  if (slider > 20) status = 1;
  for (bool planar : {false, true}) {
    const double frame = zul::FrameMs(planar);
    std::printf("640x360 %s frame: %.3f ms (target <= 2 ms)\n", planar ? "YV12" : "YUY2", frame);
    if (frame > 2) status = 1;
  }
  return status;
}
