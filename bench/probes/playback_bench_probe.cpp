// Benchmarks of zul.exe as a player under Wine (make bench runs them):
//   list   start to the Winamp window answering IPC_GETLISTLENGTH with 10000
//          (a restored 10000-entry playlist of existing files), paired with a
//          minimal Win32 program's start to its first answered message;
//          target: at most 500 ms more. Medians of 5 pairs.
//   play   play command to the first samples at the output and at the sound
//          driver, from the program's own clocks (ZUL_TIMINGS); target: at
//          most 30 ms to the output.
// Exits non-zero when a target is missed.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "base/win32_handles.h"
#include "bench/probes/bench_clock.h"
#include "tests/support/zul_process.h"

using namespace zul::test;
using zul::UniqueHandle;

namespace {

constexpr int kEntries = 10000;

void End(UniqueHandle process, HWND main) {
  DWORD_PTR reply;
  if (main) SendMessageTimeoutW(main, WM_COMMAND, 507, 0, SMTO_BLOCK, 10000, &reply);  // "Exit"
  if (WaitForSingleObject(process.Get(), 20000) != WAIT_OBJECT_0) TerminateProcess(process.Get(), 1);
}

// zul.exe: start to IPC_GETLISTLENGTH answering kEntries; -1 on failure.
double ZulListStart(const std::wstring& exe) {
  DWORD pid = 0;
  const double t0 = NowMs();
  UniqueHandle process(StartProgram(exe, L"", &pid));
  if (!process) return -1;
  double result = -1;
  HWND winamp = nullptr;
  while (NowMs() - t0 < 60000) {
    if (!winamp) winamp = FindWinampWindow(pid);
    DWORD_PTR count = 0;
    if (winamp && SendMessageTimeoutW(winamp, WM_USER, 0, 124, SMTO_BLOCK, 1000, &count) && count == kEntries) {
      result = NowMs() - t0;
      break;
    }
    Sleep(1);
  }
  End(std::move(process), WaitForInstance(pid, 5000));
  return result;
}

// The minimal program: start to its first answered message.
double MinimalStart(const std::wstring& exe) {
  DWORD pid = 0;
  const double t0 = NowMs();
  UniqueHandle process(StartProgram(exe, L"", &pid));
  if (!process) return -1;
  HWND main = WaitForInstance(pid, 30000);
  const double result = main ? NowMs() - t0 : -1;
  End(std::move(process), main);
  return result;
}

int ListBench() {
  ZulSandbox box(L"bench_list");
  // Entry 0 is a long real track (the restored list starts playing it);
  // the others are small files that exist.
  const std::wstring media = box.dir() + L"\\media";
  CreateDirectoryW(media.c_str(), nullptr);
  const std::wstring first = BinDir() + L"\\playback_fixtures\\long\\l1.mp3";
  std::string m3u = "#EXTM3U\r\n";
  m3u += std::string(first.begin(), first.end()) + "\r\n";
  for (int i = 1; i < kEntries; ++i) {
    wchar_t name[32];
    swprintf(name, 32, L"\\t%05d.mp3", i);
    const std::wstring path = media + name;
    WriteFileBytes(path, "ID3");
    m3u += std::string(path.begin(), path.end()) + "\r\n";
  }
  WriteFileBytes(box.dir() + L"\\zul.m3u", m3u);
  // The restored order is kept: the load sorts by the template, here the
  // playlist's own order does not matter, only the count.
  WriteFileBytes(box.ini(), "[Preferences]\r\nCurrentInPlaylist=0\r\n");
  const std::wstring baseline = BinDir() + L"\\minimal_instance.exe";
  std::vector<double> zul, minimal;
  for (int i = 0; i < 5; ++i) {
    const double z = ZulListStart(box.exe());
    const double m = MinimalStart(baseline);
    if (z < 0 || m < 0) {
      std::printf("list start-up measurement failed (zul %.1f, minimal %.1f)\n", z, m);
      return 1;
    }
    // The quit saved the list again: each start restores the same 10000.
    zul.push_back(z);
    minimal.push_back(m);
  }
  const double extra = Median(zul) - Median(minimal);
  std::printf(
      "start to IPC_GETLISTLENGTH = %d, median of 5 pairs: zul.exe %.0f ms, minimal Win32 program %.0f ms "
      "(+%.0f ms, target <= 500)\n",
      kEntries, Median(zul), Median(minimal), extra);
  return extra <= 500 ? 0 : 1;
}

int PlayBench() {
  ZulSandbox box(L"bench_play");
  const std::wstring timings = box.dir() + L"\\timings.txt";
  SetEnvironmentVariableW(L"ZUL_TIMINGS", timings.c_str());
  DWORD pid = 0;
  UniqueHandle process(StartProgram(box.exe(), L"\"" + BinDir() + L"\\playback_fixtures\\albums\\album_a\"", &pid));
  SetEnvironmentVariableW(L"ZUL_TIMINGS", nullptr);
  if (!process || WaitForSingleObject(process.Get(), 60000) != WAIT_OBJECT_0) {
    std::printf("the play measurement run did not end\n");
    return 1;
  }
  process.Reset();
  const std::string text = ReadFileBytes(timings);
  std::vector<double> output, driver;
  for (size_t at = 0; (at = text.find("play-to-output ", at)) != std::string::npos; ++at) {
    double o = -1, d = -1;
    if (std::sscanf(text.c_str() + at, "play-to-output %lf play-to-driver %lf", &o, &d) == 2) {
      output.push_back(o);
      driver.push_back(d);
    }
  }
  if (output.empty()) {
    std::printf("no play timings were written\n");
    return 1;
  }
  const double worst = *std::max_element(output.begin(), output.end());
  std::printf(
      "play command to first samples, %zu tracks: output median %.2f ms (worst %.2f, target <= 30), "
      "driver median %.2f ms\n",
      output.size(), Median(output), worst, Median(driver));
  return worst >= 0 && worst <= 30 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string which = argc > 1 ? argv[1] : "";
  if (which == "list") return ListBench();
  if (which == "play") return PlayBench();
  std::printf("usage: playback_bench_probe list|play\n");
  return 2;
}
