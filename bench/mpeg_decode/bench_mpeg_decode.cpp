// The cost of the MPEG input's decode path next to a bare libmpg123 decode
// of the same 5-minute VBR file to 16-bit integers (bench_mpg123_bare).
// The path measured is the module's own, without threads or output: scan,
// decoder layer, block step, ReplayGain with the soft limiter acting, and
// conversion to 16-bit. The file is a sweep with pink noise at -15.5 dBFS
// RMS (peaks -7.3 dBFS), about the loudness ReplayGain brings music to;
// the +3 dB pre-amplification then takes the peaks into the limiter.
//   target: instructions (callgrind) at most 1.05 x the bare decode;
//           without valgrind, thread CPU time (median of 3) is compared.
//   bench_mpeg_decode           runs everything and judges
//   bench_mpeg_decode path FILE runs only the module's path once
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "mpeg_input/module/block_render.h"
#include "mpeg_input/module/file_playback.h"

namespace {

namespace fs = std::filesystem;

constexpr double kTarget = 1.05;

size_t DecodePath(const fs::path& file) {
  zul::CMpegFilePlayback p;
  // +3 dB without ReplayGain and with the hard limit: the limiter bends
  // every sample that the gain takes beyond half scale.
  zul::CGainDecision gain{3.0, true, 1.0};
  if (!p.Open(file, false) || !p.StartDecoding(gain, false)) return 0;
  std::vector<uint8_t> out(zul::CMpegFilePlayback::kBlockFrames * 2 * 2);
  size_t total = 0;
  for (;;) {
    double* samples = nullptr;
    bool ended = false;
    size_t frames = p.NextBlock(&samples, &ended);
    total +=
        zul::RenderBlock(samples, frames, p.Channels(), zul::CChannelOptions{}, zul::SampleFormat::kInt16, out.data()) /
        2;
    p.AdvanceClock(frames);
    if (ended && !p.Resynchronise()) break;
  }
  return total;
}

bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }

// The "summary:" line of a callgrind output file.
long long CallgrindTotal(const fs::path& out) {
  std::ifstream in(out);
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("summary:", 0) == 0) return std::atoll(line.c_str() + 8);
  return -1;
}

// CPU time of a child process (user and system), from the children's
// resource usage before and after.
double CpuSeconds(const std::string& command) {
  rusage before{}, after{};
  getrusage(RUSAGE_CHILDREN, &before);
  if (!Run(command)) return -1.0;
  getrusage(RUSAGE_CHILDREN, &after);
  auto seconds = [](const rusage& r) {
    return r.ru_utime.tv_sec + r.ru_stime.tv_sec + (r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
  };
  return seconds(after) - seconds(before);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "path") {
    size_t n = DecodePath(argv[2]);
    std::printf("%zu samples\n", n);
    return n > 0 ? 0 : 1;
  }
  const fs::path self = fs::canonical("/proc/self/exe");
  const fs::path bare = self.parent_path().parent_path() / "bench_helpers" / "bench_mpg123_bare";
  const fs::path dir = fs::temp_directory_path() / ("zul_bench_mpeg_" + std::to_string(getpid()));
  fs::create_directories(dir);
  const fs::path wav = dir / "in.wav", mp3 = dir / "in.mp3";
  std::printf("making a 5-minute VBR file...\n");
  if (!Run("sox -R -r 44100 -c 2 -n -b 16 '" + wav.string() +
           "' synth 300 sine 100-8000 synth 300 pinknoise mix vol 0.45 2>/dev/null") ||
      !Run("lame --quiet -V 2 '" + wav.string() + "' '" + mp3.string() + "'")) {
    std::printf("FAILED: sox or lame\n");
    fs::remove_all(dir);
    return 1;
  }
  const std::string pathCmd = "'" + self.string() + "' path '" + mp3.string() + "' >/dev/null";
  const std::string bareCmd = "'" + bare.string() + "' '" + mp3.string() + "' >/dev/null";
  double ratio = -1;
  if (Run("valgrind --version >/dev/null 2>&1")) {
    auto measure = [&](const std::string& cmd, const char* name) {
      fs::path out = dir / (std::string(name) + ".callgrind");
      Run("valgrind --tool=callgrind --callgrind-out-file='" + out.string() + "' " + cmd + " 2>/dev/null");
      return CallgrindTotal(out);
    };
    long long path = measure(pathCmd, "path");
    long long reference = measure(bareCmd, "bare");
    if (path > 0 && reference > 0) ratio = static_cast<double>(path) / reference;
    std::printf("instructions: module path %lld, bare libmpg123 to 16-bit %lld\n", path, reference);
  } else {
    std::vector<double> path, reference;
    for (int i = 0; i < 3; ++i) {
      path.push_back(CpuSeconds(pathCmd));
      reference.push_back(CpuSeconds(bareCmd));
    }
    std::sort(path.begin(), path.end());
    std::sort(reference.begin(), reference.end());
    if (path[1] > 0 && reference[1] > 0) ratio = path[1] / reference[1];
    std::printf("seconds (median of 3): module path %.3f, bare libmpg123 to 16-bit %.3f\n", path[1], reference[1]);
  }
  fs::remove_all(dir);
  std::printf("ratio %.3f (target <= %.2f)\n", ratio, kTarget);
  return ratio > 0 && ratio <= kTarget ? 0 : 1;
}
