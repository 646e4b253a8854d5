// Measures how long zul.exe takes from process start to its running state
// (the main window accepts open requests), next to a minimal Win32 program
// that answers the same two messages. Prints medians of several runs.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "base/win32_handles.h"
#include "bench/probes/bench_clock.h"
#include "tests/support/zul_process.h"

using namespace zul::test;
using zul::UniqueHandle;

namespace {

// One start: milliseconds to the running state, or -1.
double MeasureOnce(const std::wstring& exe) {
  STARTUPINFOW si{sizeof si};
  PROCESS_INFORMATION pi{};
  std::wstring cmd = L"\"" + exe + L"\"";
  double t0 = NowMs();
  if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
  UniqueHandle process(pi.hProcess), thread(pi.hThread);
  double result = -1;
  HWND main = WaitForInstance(pi.dwProcessId, 30000);
  if (main && WaitUntilRunning(main, 30000)) result = NowMs() - t0;
  DWORD_PTR reply;
  SendMessageTimeoutW(main, WM_COMMAND, 507, 0, SMTO_BLOCK, 5000, &reply);  // "Exit"
  if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  return result;
}

}  // namespace

int main() {
  ZulSandbox box(L"startup");
  std::wstring baseline = BinDir() + L"\\minimal_instance.exe";
  std::vector<double> zul, minimal;
  MeasureOnce(box.exe());  // first start writes the settings file
  for (int i = 0; i < 7; ++i) {
    double z = MeasureOnce(box.exe());
    double m = MeasureOnce(baseline);
    if (z < 0 || m < 0) {
      std::printf("start-up measurement failed (zul %.1f, minimal %.1f)\n", z, m);
      return 1;
    }
    zul.push_back(z);
    minimal.push_back(m);
  }
  std::printf("start to running state, median of 7: zul.exe %.0f ms, minimal Win32 program %.0f ms (+%.0f ms)\n",
              Median(zul), Median(minimal), Median(zul) - Median(minimal));
  return 0;
}
