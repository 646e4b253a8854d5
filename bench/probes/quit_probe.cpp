// Measures how long zul.exe takes from the exit request to the end of its
// process, idle and while playing, next to a minimal Win32 program closed
// with WM_CLOSE. The request is what "zul.exe -x" hands a running instance:
// the menu command "Exit" (507), sent and waited for (SMTO_BLOCK). Medians
// of 5 rounds; target: at most 300 ms more than the minimal program, in both
// cases. Exits non-zero when a target is missed.
//   quit_probe [zul.exe to measure instead of the built one]
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/win32_handles.h"
#include "bench/probes/bench_clock.h"
#include "tests/support/zul_process.h"

using namespace zul::test;
using zul::UniqueHandle;

namespace {

constexpr double kTargetMs = 300;
constexpr UINT kMenuExit = 507;
constexpr LPARAM kIpcIsPlaying = 104;
constexpr LPARAM kIpcGetOutputTime = 105;

LRESULT Ipc(HWND winamp, LPARAM what) {
  DWORD_PTR reply = 0;
  if (!winamp || !SendMessageTimeoutW(winamp, WM_USER, 0, what, SMTO_BLOCK, 5000, &reply)) return -1;
  return static_cast<LRESULT>(reply);
}

// Sends `msg` as the exit request and times it to the end of the process;
// -1 when the process did not end.
double TimeToExit(HANDLE process, HWND target, UINT msg, WPARAM wParam) {
  const double t0 = NowMs();
  DWORD_PTR reply = 0;
  SendMessageTimeoutW(target, msg, wParam, 0, SMTO_BLOCK, 500, &reply);
  const bool ended = WaitForSingleObject(process, 30000) == WAIT_OBJECT_0;
  const double elapsed = NowMs() - t0;
  if (!ended) TerminateProcess(process, 1);
  return ended ? elapsed : -1;
}

// zul.exe idle (no argument) or playing `track` once it is heard.
double ZulQuit(const std::wstring& exe, const std::wstring& track) {
  DWORD pid = 0;
  UniqueHandle process(StartProgram(exe, track.empty() ? L"" : L"\"" + track + L"\"", &pid));
  if (!process) return -1;
  HWND main = WaitForInstance(pid);
  if (!main || !WaitUntilRunning(main)) {
    TerminateProcess(process.Get(), 1);
    return -1;
  }
  if (!track.empty()) {
    HWND winamp = FindWinampWindow(pid);
    const double t0 = NowMs();
    while (!(Ipc(winamp, kIpcIsPlaying) == 1 && Ipc(winamp, kIpcGetOutputTime) > 0)) {
      if (NowMs() - t0 > 30000) {
        TerminateProcess(process.Get(), 1);
        return -1;
      }
      Sleep(10);
    }
  }
  return TimeToExit(process.Get(), main, WM_COMMAND, kMenuExit);
}

double MinimalClose(const std::wstring& exe) {
  DWORD pid = 0;
  UniqueHandle process(StartProgram(exe, L"", &pid));
  if (!process) return -1;
  HWND main = WaitForInstance(pid);
  if (!main) {
    TerminateProcess(process.Get(), 1);
    return -1;
  }
  return TimeToExit(process.Get(), main, WM_CLOSE, 0);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  ZulSandbox box(L"bench_quit");
  if (argc > 1) CopyFileW(argv[1], box.exe().c_str(), FALSE);
  const std::wstring track = box.dir() + L"\\long.mp3";
  CopyFileW((BinDir() + L"\\playback_fixtures\\long\\l1.mp3").c_str(), track.c_str(), FALSE);
  const std::wstring baseline = BinDir() + L"\\minimal_instance.exe";
  ZulQuit(box.exe(), L"");  // the first start writes the settings file
  std::vector<double> idle, playing, minimal;
  for (int i = 0; i < 5; ++i) {
    const double z = ZulQuit(box.exe(), L"");
    // The quit saved the track as the playlist: clear it, so the idle
    // round stays idle.
    DeleteFileW((box.dir() + L"\\zul.m3u").c_str());
    const double p = ZulQuit(box.exe(), track);
    DeleteFileW((box.dir() + L"\\zul.m3u").c_str());
    const double m = MinimalClose(baseline);
    if (z < 0 || p < 0 || m < 0) {
      std::printf("quit measurement failed (zul idle %.1f, playing %.1f, minimal %.1f)\n", z, p, m);
      return 1;
    }
    idle.push_back(z);
    playing.push_back(p);
    minimal.push_back(m);
  }
  const double idleExtra = Median(idle) - Median(minimal);
  const double playingExtra = Median(playing) - Median(minimal);
  std::printf(
      "exit request to process end, median of 5: zul.exe idle %.0f ms (+%.0f), playing %.0f ms (+%.0f); "
      "minimal Win32 program, WM_CLOSE, %.0f ms (target <= +%.0f)\n",
      Median(idle), idleExtra, Median(playing), playingExtra, Median(minimal), kTargetMs);
  return idleExtra <= kTargetMs && playingExtra <= kTargetMs ? 0 : 1;
}
