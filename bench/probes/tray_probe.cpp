// The tray face's figures with a 10000-entry playlist: the main menu from
// its command to the menu on screen, and the process's GDI and USER objects
// after opening and closing the main menu and the track tooltip 200 times.
// Prints figures; exits 1 when a target is missed (menu 100 ms; objects
// back where they started).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "base/win32_handles.h"
#include "bench/probes/bench_clock.h"
#include "tests/support/zul_process.h"

using namespace zul::test;

namespace {

HWND VisibleMenu() {
  for (HWND w = FindWindowExW(nullptr, nullptr, L"#32768", nullptr); w;
       w = FindWindowExW(nullptr, w, L"#32768", nullptr))
    if (IsWindowVisible(w)) return w;
  return nullptr;
}

template <class Pred>
bool Poll(Pred pred, double timeoutMs) {
  for (double start = NowMs(); NowMs() - start < timeoutMs; Sleep(0))
    if (pred()) return true;
  return pred();
}

bool CloseMenu() {
  HWND menu = VisibleMenu();
  if (!menu) return false;
  PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
  return Poll([] { return VisibleMenu() == nullptr; }, 5000);
}

}  // namespace

int main() {
  const std::wstring big = BinDir() + L"\\tray_fixtures\\big";
  std::string m3u;
  for (int album = 0; album < 100; ++album)
    for (int t = 0; t < 100; ++t) {
      const std::wstring path = big + L"\\Artist" + std::to_wstring(album % 7) + L"\\Album" + std::to_wstring(album) +
                                L"\\t" + std::to_wstring(t) + L".mp3\r\n";
      m3u += std::string(path.begin(), path.end());
    }
  ZulSandbox box(L"tray_probe");
  WriteFileBytes(box.ini(), "[Preferences]\r\nRepeatTrack=1\r\nshowToolTip=1\r\nshow_time=0\r\nhide_time=0\r\n");
  WriteFileBytes(box.dir() + L"\\zul.m3u", m3u);
  DWORD pid = 0;
  HANDLE process = box.Start(L"", &pid);
  HWND main = WaitForInstance(pid);
  if (!main || !WaitUntilRunning(main)) {
    std::puts("tray probe: zul.exe did not start");
    return 1;
  }
  HWND winamp = FindWinampWindow(pid);
  if (!Poll([&] { return SendMessageW(winamp, WM_USER, 0, 124) == 10000; }, 60000)) {
    std::puts("tray probe: the playlist did not load");
    return 1;
  }
  int status = 0;

  // The main menu (command 40043, as the hotkey and the tray open it).
  std::vector<double> times;
  for (int i = 0; i < 15; ++i) {
    const double t0 = NowMs();
    PostMessageW(winamp, WM_COMMAND, 40043, 0);
    if (!Poll([] { return VisibleMenu() != nullptr; }, 10000)) {
      std::puts("tray probe: the menu did not open");
      return 1;
    }
    times.push_back(NowMs() - t0);
    CloseMenu();
  }
  const double median = Median(times), worst = *std::max_element(times.begin(), times.end());
  const bool menuOk = median <= 100;
  std::printf(
      "main menu with 10000 entries, command to window on screen: median %.1f ms, worst %.1f ms "
      "(target 100 ms) %s\n",
      median, worst, menuOk ? "ok" : "MISSED");
  if (!menuOk) status = 1;

  // Objects before and after 200 menus and 200 tooltips.
  const DWORD gdi0 = GetGuiResources(process, GR_GDIOBJECTS), user0 = GetGuiResources(process, GR_USEROBJECTS);
  for (int i = 0; i < 200; ++i) {
    PostMessageW(winamp, WM_COMMAND, 40043, 0);
    Poll([] { return VisibleMenu() != nullptr; }, 10000);
    CloseMenu();
    SendMessageW(winamp, WM_USER, 0, 632);  // IPC_SHOW_NOTIFICATION: the track tooltip
    HWND tip = FindWindowOfClass(pid, L"ZulTrayTooltip");
    if (tip && Poll([&] { return IsWindowVisible(tip) != FALSE; }, 5000)) {
      PostMessageW(tip, WM_LBUTTONDOWN, 0, 0);  // a click hides it
      Poll([&] { return !IsWindowVisible(tip); }, 5000);
    }
  }
  const DWORD gdi1 = GetGuiResources(process, GR_GDIOBJECTS), user1 = GetGuiResources(process, GR_USEROBJECTS);
  const bool objectsOk = gdi1 <= gdi0 && user1 <= user0;
  std::printf("GDI objects %lu -> %lu, USER objects %lu -> %lu after 200 menus and tooltips %s%s\n", gdi0, gdi1, user0,
              user1, objectsOk ? "ok" : "MISSED", gdi0 == 0 && user0 == 0 ? " (this system reports no counts)" : "");
  if (!objectsOk) status = 1;

  SendMessageW(winamp, WM_COMMAND, 40001, 0);
  WaitForExit(process, 20000);
  return status;
}
