#pragma once
// The measuring loop both readers of the TagLib comparison share: a pass
// reads every file once; one untimed pass warms the file cache, then the
// median CPU time (user and system) of the timed passes is printed as
//   us=<median per pass> files=<files whose title was read> fields=<values read>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace zul::bench {

struct CPassCount {
  int titles = 0;  // files whose title was read
  int fields = 0;  // non-empty values read, the length included
};

inline double CpuMicros() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
}

// The files are DIR/f0000.mp3 ... in the order written.
inline std::string BenchFileName(const std::string& dir, int i) {
  char name[32];
  std::snprintf(name, sizeof name, "/f%04d.mp3", i);
  return dir + name;
}

// `readAll` reads every file once and returns what it found.
template <class ReadAll>
int RunPasses(int passes, ReadAll readAll) {
  CPassCount found = readAll();
  std::vector<double> times;
  for (int p = 0; p < passes; ++p) {
    double start = CpuMicros();
    CPassCount c = readAll();
    times.push_back(CpuMicros() - start);
    if (c.titles != found.titles || c.fields != found.fields) return 1;
  }
  std::sort(times.begin(), times.end());
  std::printf("us=%.0f files=%d fields=%d\n", times[times.size() / 2], found.titles, found.fields);
  return 0;
}

}  // namespace zul::bench
