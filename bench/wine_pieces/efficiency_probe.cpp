// What zul.exe costs while it plays, pauses and waits, under Wine, in CPU
// ticks of its process plus the wineserver's (100 ticks are one second of
// one core), each against a plain program doing the same work in the same
// run. make bench runs it through bench/wine/efficiency.sh, which makes the
// media and names the wineserver.
//   realtime   20 s of playback through the built-in waveOut output after
//              3 s of settling, against waveout_player.exe; target <= 1.15
//   fullspeed  a 30-minute file decoded into out_null.dll, against
//              mpg123_decode.exe on the same file (medians of 3); <= 1.15
//   paused     20 s paused; target <= 0.2 % of a core
//   stopped    20 s stopped with a 10000-entry playlist; <= 0.2 % of a core
// Exits non-zero when a figure misses its target.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/probes/bench_clock.h"
#include "bench/wine_pieces/linux_ticks.h"
#include "tests/support/zul_process.h"

using namespace zul::test;
using zul::bench::LinuxTicks;
using zul::bench::WineserverTicks;

namespace {

constexpr double kRatioTarget = 1.15;
constexpr double kIdleTargetPercent = 0.2;
constexpr DWORD kSettleMs = 3000;
constexpr DWORD kSpanMs = 20000;
constexpr UINT kWinampPause = 40046, kWinampStop = 40047;

std::wstring Media() { return BinDir() + L"\\bench_media\\long30.mp3"; }

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

using zul::bench::ReadSmallFile;

// The Linux process whose command line (Wine sets it to the Windows one)
// holds `needle`; empty when none does within the time.
std::string LinuxPidOf(const std::string& needle, DWORD timeoutMs = 20000) {
  const double t0 = NowMs();
  do {
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA("Z:\\proc\\*", &found);
    if (find != INVALID_HANDLE_VALUE) {
      std::string pid;
      do {
        const std::string name = found.cFileName;
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::string cmd = ReadSmallFile("Z:\\proc\\" + name + "\\cmdline");
        std::replace(cmd.begin(), cmd.end(), '\0', ' ');
        if (cmd.find(needle) != std::string::npos) pid = name;
      } while (pid.empty() && FindNextFileA(find, &found));
      FindClose(find);
      if (!pid.empty()) return pid;
    }
    Sleep(50);
  } while (NowMs() - t0 < timeoutMs);
  return {};
}

struct Ticks {
  long long process = -1, server = -1;
  long long Sum() const { return process + server; }
  bool Valid() const { return process >= 0 && server >= 0; }
};

// Ticks of the process and the wineserver over kSpanMs after kSettleMs.
Ticks Measure(const std::string& pid) {
  Sleep(kSettleMs);
  const long long p0 = LinuxTicks(pid), s0 = WineserverTicks();
  Sleep(kSpanMs);
  const long long p1 = LinuxTicks(pid), s1 = WineserverTicks();
  Ticks t;
  if (p0 >= 0 && p1 >= 0) t.process = p1 - p0;
  if (s0 >= 0 && s1 >= 0) t.server = s1 - s0;
  return t;
}

void End(HANDLE process, DWORD pid) {
  HWND main = WaitForInstance(pid, 5000);
  DWORD_PTR reply;
  if (main) SendMessageTimeoutW(main, WM_COMMAND, 507, 0, SMTO_BLOCK, 10000, &reply);  // "Exit"
  if (WaitForSingleObject(process, 20000) != WAIT_OBJECT_0) TerminateProcess(process, 1);
  CloseHandle(process);
}

bool Winamp(DWORD pid, UINT command) {
  HWND winamp = FindWinampWindow(pid);
  DWORD_PTR reply;
  return winamp && SendMessageTimeoutW(winamp, WM_COMMAND, command, 0, SMTO_BLOCK, 10000, &reply);
}

int Verdict(bool ok) { return ok ? 0 : 1; }

int Realtime() {
  ZulSandbox box(L"bench_rt");
  DWORD pid = 0;
  HANDLE zul = box.Start(L"\"" + Media() + L"\"", &pid);
  const std::string zulPid = zul ? LinuxPidOf(Narrow(box.dir())) : "";
  const Ticks z = zulPid.empty() ? Ticks{} : Measure(zulPid);
  if (zul) End(zul, pid);

  const std::wstring player = BinDir() + L"\\waveout_player.exe";
  HANDLE plain = StartProgram(player, L"\"" + Media() + L"\" 30", &pid);
  const std::string plainPid = plain ? LinuxPidOf("waveout_player.exe") : "";
  const Ticks p = plainPid.empty() ? Ticks{} : Measure(plainPid);
  if (plain) {
    if (WaitForSingleObject(plain, 30000) != WAIT_OBJECT_0) TerminateProcess(plain, 1);
    CloseHandle(plain);
  }
  if (!z.Valid() || !p.Valid() || p.Sum() <= 0) {
    std::printf("real-time playback measurement failed\n");
    return 1;
  }
  const double ratio = static_cast<double>(z.Sum()) / p.Sum();
  std::printf(
      "real-time playback, %lu s after %lu s: zul.exe %lld + wineserver %lld ticks, plain waveOut player "
      "%lld + %lld ticks: %.2f x (target <= %.2f)\n",
      kSpanMs / 1000, kSettleMs / 1000, z.process, z.server, p.process, p.server, ratio, kRatioTarget);
  return Verdict(ratio <= kRatioTarget);
}

// "ticks <process> <wineserver> bytes <n>" from a text; false when absent.
bool ParseTicks(const std::string& text, Ticks* t, long long* bytes) {
  size_t at = text.rfind("ticks ");
  return at != std::string::npos &&
         std::sscanf(text.c_str() + at, "ticks %lld %lld bytes %lld", &t->process, &t->server, bytes) == 3;
}

Ticks ZulFullSpeed(long long* bytes) {
  ZulSandbox box(L"bench_full");
  const std::wstring out = box.dir() + L"\\out_null.dll";
  CopyFileW((BinDir() + L"\\out_null.dll").c_str(), out.c_str(), FALSE);
  WriteFileBytes(box.ini(), "[Preferences]\r\ndllOutName0=" + Narrow(out) + "\r\n");
  const std::wstring result = box.dir() + L"\\result.txt";
  SetEnvironmentVariableW(L"ZUL_BENCH_RESULT", result.c_str());
  // A one-track playlist that runs to its end ends the program.
  const DWORD code = box.RunToEnd(L"\"" + Media() + L"\"", 300000);
  SetEnvironmentVariableW(L"ZUL_BENCH_RESULT", nullptr);
  Ticks t;
  if (code == STILL_ACTIVE || !ParseTicks(ReadSmallFile(Narrow(result)), &t, bytes)) return Ticks{};
  return t;
}

Ticks BareFullSpeed(long long* bytes) {
  const std::wstring folder = FreshTempFolder(L"bench_bare");
  const std::wstring log = folder + L"\\out.txt";
  const std::wstring cmd =
      L"cmd.exe /c \"\"" + BinDir() + L"\\mpg123_decode.exe\" \"" + Media() + L"\" > \"" + log + L"\"\"";
  STARTUPINFOW si{sizeof si};
  PROCESS_INFORMATION pi{};
  std::wstring line = cmd;
  Ticks t;
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return t;
  CloseHandle(pi.hThread);
  WaitForSingleObject(pi.hProcess, 300000);
  CloseHandle(pi.hProcess);
  if (!ParseTicks(ReadSmallFile(Narrow(log)), &t, bytes)) return Ticks{};
  return t;
}

int FullSpeed() {
  std::vector<double> zul, bare;
  Ticks z, b;
  long long zulBytes = 0, bareBytes = 0;
  for (int i = 0; i < 3; ++i) {
    z = ZulFullSpeed(&zulBytes);
    b = BareFullSpeed(&bareBytes);
    if (!z.Valid() || !b.Valid() || b.Sum() <= 0) {
      std::printf("full-speed decode measurement failed\n");
      return 1;
    }
    zul.push_back(static_cast<double>(z.Sum()));
    bare.push_back(static_cast<double>(b.Sum()));
    std::printf(
        "  run %d: zul.exe %lld + wineserver %lld ticks (%lld bytes), libmpg123 %lld + %lld ticks (%lld "
        "bytes)\n",
        i + 1, z.process, z.server, zulBytes, b.process, b.server, bareBytes);
  }
  const double ratio = Median(zul) / Median(bare);
  std::printf(
      "full-speed decode of 30 minutes, median of 3: zul.exe with wineserver %.0f ticks, libmpg123 alone "
      "%.0f ticks: %.2f x (target <= %.2f)\n",
      Median(zul), Median(bare), ratio, kRatioTarget);
  // Decoding everything is part of the comparison: a module that stopped
  // early would look cheap.
  const bool whole = zulBytes > bareBytes * 99 / 100;
  if (!whole) std::printf("zul.exe wrote %lld bytes, libmpg123 decoded %lld\n", zulBytes, bareBytes);
  return Verdict(whole && ratio <= kRatioTarget);
}

// The wineserver's own ticks over kSpanMs while no program of ours runs: it
// also serves Wine's processes of the prefix (the desktop, services), about
// 0.2 % of a core here, which no program can save.
long long WineserverAlone() {
  const long long s0 = WineserverTicks();
  Sleep(kSpanMs);
  const long long s1 = WineserverTicks();
  return s0 >= 0 && s1 >= 0 ? s1 - s0 : -1;
}

// Waits, at most two minutes, until the process used at most one tick in two
// seconds: work that start-up began (the playlist's tag reads) has ended.
// Returns the seconds waited.
double WaitUntilQuiet(const std::string& pid) {
  const double t0 = NowMs();
  for (long long before = LinuxTicks(pid); NowMs() - t0 < 120000;) {
    Sleep(2000);
    const long long now = LinuxTicks(pid);
    if (now >= 0 && before >= 0 && now - before <= 1) break;
    before = now;
  }
  return (NowMs() - t0) / 1000;
}

int IdleVerdict(const char* what, const Ticks& t, long long serverAlone) {
  if (!t.Valid() || serverAlone < 0) {
    std::printf("%s measurement failed\n", what);
    return 1;
  }
  const long long ours = t.process + std::max(0LL, t.server - serverAlone);
  const double percent = 100.0 * ours / (kSpanMs / 10.0);
  std::printf(
      "%s for %lu s: zul.exe %lld + wineserver %lld ticks (the wineserver alone %lld) = %.2f %% of a core "
      "(target <= %.1f)\n",
      what, kSpanMs / 1000, t.process, t.server, serverAlone, percent, kIdleTargetPercent);
  return Verdict(percent <= kIdleTargetPercent);
}

int Paused() {
  const long long alone = WineserverAlone();
  ZulSandbox box(L"bench_pause");
  DWORD pid = 0;
  HANDLE zul = box.Start(L"\"" + Media() + L"\"", &pid);
  const std::string zulPid = zul ? LinuxPidOf(Narrow(box.dir())) : "";
  Ticks t;
  HWND main = zul ? WaitForInstance(pid) : nullptr;
  if (!zulPid.empty() && main && WaitUntilRunning(main)) {
    Sleep(kSettleMs);  // playing by now
    if (Winamp(pid, kWinampPause)) t = Measure(zulPid);
  }
  if (zul) End(zul, pid);
  return IdleVerdict("paused", t, alone);
}

int Stopped() {
  const long long alone = WineserverAlone();
  ZulSandbox box(L"bench_stop");
  constexpr int kEntries = 10000;
  const std::wstring media = box.dir() + L"\\media";
  CreateDirectoryW(media.c_str(), nullptr);
  std::string m3u = "#EXTM3U\r\n" + Narrow(Media()) + "\r\n";
  for (int i = 1; i < kEntries; ++i) {
    wchar_t name[32];
    swprintf(name, 32, L"\\t%05d.mp3", i);
    const std::wstring path = media + name;
    WriteFileBytes(path, "ID3");
    m3u += Narrow(path) + "\r\n";
  }
  WriteFileBytes(box.dir() + L"\\zul.m3u", m3u);
  WriteFileBytes(box.ini(), "[Preferences]\r\nCurrentInPlaylist=0\r\n");
  DWORD pid = 0;
  HANDLE zul = box.Start(L"", &pid);
  const std::string zulPid = zul ? LinuxPidOf(Narrow(box.dir())) : "";
  Ticks t;
  HWND main = zul ? WaitForInstance(pid) : nullptr;
  if (!zulPid.empty() && main && WaitUntilRunning(main)) {
    HWND winamp = FindWinampWindow(pid);
    // The restored list starts playing; the figure is for the stopped state.
    DWORD_PTR count = 0;
    for (double t0 = NowMs(); NowMs() - t0 < 30000; Sleep(100))
      if (winamp && SendMessageTimeoutW(winamp, WM_USER, 0, 124, SMTO_BLOCK, 1000, &count) && count == kEntries) break;
    Sleep(kSettleMs);
    if (count == kEntries && Winamp(pid, kWinampStop)) {
      // The figure is for waiting: the tag reads of the whole list, which
      // start-up began, are work, and end first.
      std::printf("stopped: start-up's work ended %.0f s after the stop\n", WaitUntilQuiet(zulPid));
      t = Measure(zulPid);
    }
  }
  if (zul) End(zul, pid);
  return IdleVerdict("stopped with 10000 entries", t, alone);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string which = argc > 1 ? argv[1] : "";
  if (which == "realtime") return Realtime();
  if (which == "fullspeed") return FullSpeed();
  if (which == "paused") return Paused();
  if (which == "stopped") return Stopped();
  std::printf("usage: efficiency_probe realtime|fullspeed|paused|stopped\n");
  return 2;
}
