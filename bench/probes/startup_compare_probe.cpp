// Cold start of two zul.exe files side by side, from process start to the
// running state (the main window accepts open requests): the installed
// program and the build tree's. Alternating runs share the machine's load.
//   startup_compare_probe.exe <installed zul.exe> <build-tree zul.exe>
// Prints the medians; fails when a start fails or the installed program is
// slower than the build tree's by more than the spread of the runs.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "base/win32_handles.h"
#include "bench/probes/bench_clock.h"
#include "tests/support/zul_process.h"

using namespace zul::test;
using zul::UniqueHandle;

namespace {

constexpr UINT kMenuExit = 507;

// One start: milliseconds to the running state, or -1.
double MeasureOnce(const std::wstring& exe) {
  DWORD pid = 0;
  double t0 = NowMs();
  UniqueHandle process(StartProgram(exe, L"", &pid));
  if (!process) return -1;
  double result = -1;
  HWND main = WaitForInstance(pid, 30000);
  if (main && WaitUntilRunning(main, 30000)) result = NowMs() - t0;
  DWORD_PTR reply;
  if (main) SendMessageTimeoutW(main, WM_COMMAND, kMenuExit, 0, SMTO_BLOCK, 5000, &reply);
  if (!WaitForExit(process.Get(), 10000)) TerminateProcess(process.Get(), 1);
  return result;
}

double Spread(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() * 3 / 4] - v[v.size() / 4];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: startup_compare_probe.exe <installed zul.exe> <build-tree zul.exe>\n");
    return 2;
  }
  std::wstring installed = argv[1], tree = argv[2];
  MeasureOnce(installed);  // first starts write the settings files
  MeasureOnce(tree);
  std::vector<double> a, b;
  for (int i = 0; i < 7; ++i) {
    double x = MeasureOnce(installed);
    double y = MeasureOnce(tree);
    if (x < 0 || y < 0) {
      std::printf("start-up measurement failed (installed %.1f, build tree %.1f)\n", x, y);
      return 1;
    }
    a.push_back(x);
    b.push_back(y);
  }
  double slack = std::max(Spread(a), Spread(b));
  std::printf(
      "cold start to running state, median of 7: installed zul.exe %.0f ms, build-tree zul.exe %.0f ms"
      " (difference %+.0f ms, run-to-run spread %.0f ms)\n",
      Median(a), Median(b), Median(a) - Median(b), slack);
  if (Median(a) > Median(b) + slack) {
    std::printf("the installed program starts slower than the build tree's\n");
    return 1;
  }
  return 0;
}
