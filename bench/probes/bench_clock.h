#pragma once
// Clock and statistics shared by the Wine benchmark probes.
#include <windows.h>

#include <algorithm>
#include <vector>

namespace zul::test {

// Milliseconds on the performance counter.
inline double NowMs() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return 1000.0 * static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace zul::test
