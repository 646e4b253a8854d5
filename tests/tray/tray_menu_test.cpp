// The main menu of a running zul.exe, opened by a real right click on the
// tray icon and used with the keyboard: the track tree is filled when its
// sub-menu opens, and what is chosen reaches the player through the Winamp
// window. Screenshots of the menu and the track tree are kept.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/zul_process.h"
#include "tests/tray/tray_player.h"
#include "tests/tray/x_input.h"

namespace zul::test {
namespace {

// The visible popup menu windows, outermost first.
std::vector<HWND> MenuWindows() {
  std::vector<HWND> found;
  for (HWND w = FindWindowExW(nullptr, nullptr, L"#32768", nullptr); w;
       w = FindWindowExW(nullptr, w, L"#32768", nullptr))
    if (IsWindowVisible(w)) found.insert(found.begin(), w);
  return found;
}

RECT Around(const std::vector<HWND>& windows) {
  RECT all{};
  for (HWND w : windows) {
    RECT r;
    GetWindowRect(w, &r);
    UnionRect(&all, &all, &r);
  }
  return all;
}

bool WaitMenus(size_t count) {
  return WaitFor([&] { return MenuWindows().size() == count; });
}

// From a freshly opened main menu (nothing selected), Down n times reaches
// the n-th item that is not a separator.
std::wstring Downs(int n) {
  std::wstring keys;
  for (int i = 0; i < n; ++i) keys += L"Down ";
  return keys;
}

constexpr int kTracksItem = 6;  // Exit, About, Windows, Settings, Play!, Tracks
constexpr int kNextItem = 12;   // ... Album, Play, Pause, Stop, Previous, Next

TEST(TrayMenu, RightClickOpensTheMenuAndItsCommandsReachThePlayer) {
  TrayPlayer p(L"tray_menu", "Repeat=1\r\n");
  ASSERT_TRUE(p.Ready());
  ASSERT_TRUE(p.WaitState(1));
  const std::optional<POINT> icon = WaitForTrayColour(kBuiltInIconBlue, true);
  ASSERT_TRUE(icon);

  // Right click: the main menu at once (no other right-click action).
  ASSERT_TRUE(ClickAt(*icon, 3, 1));
  ASSERT_TRUE(WaitMenus(1));
  PumpMessages(300);  // let it draw before the picture
  RECT menu = Around(MenuWindows());
  Screenshot(L"main_menu", &menu);

  // Tracks: its sub-menu is filled as it opens; the second track is chosen.
  ASSERT_TRUE(Keys(Downs(kTracksItem) + L"Right"));
  ASSERT_TRUE(WaitMenus(2));
  PumpMessages(300);
  RECT tree = Around(MenuWindows());
  Screenshot(L"track_tree", &tree);
  const int chosen = p.Lines(L"Track 1 chosen");
  ASSERT_TRUE(Keys(L"Down Return"));
  ASSERT_TRUE(p.WaitLine(L"Track 1 chosen", chosen));
  EXPECT_TRUE(WaitFor([&] { return p.Ipc(kIpcGetListPos) == 1 && p.Ipc(kIpcIsPlaying) == 1; }));
  EXPECT_TRUE(WaitMenus(0));

  // "Next" goes through the Winamp window's command.
  const int commands = p.Lines(L"Command WINAMP_BUTTON5");
  ASSERT_TRUE(ClickAt(*icon, 3, 1));
  ASSERT_TRUE(WaitMenus(1));
  ASSERT_TRUE(Keys(Downs(kNextItem) + L"Return"));
  ASSERT_TRUE(p.WaitLine(L"Command WINAMP_BUTTON5", commands));
  EXPECT_TRUE(WaitFor([&] { return p.Ipc(kIpcGetListPos) == 0; }));
}

TEST(TrayMenu, TenThousandEntriesOpenAsATreeOfFolders) {
  // 100 albums of 100 tracks under 7 artists, in album order; the first
  // plays on repeat.
  const std::wstring big = BinDir() + L"\\tray_fixtures\\big";
  std::string m3u;
  for (int album = 0; album < 100; ++album)
    for (int t = 0; t < 100; ++t) {
      const std::wstring path = big + L"\\Artist" + std::to_wstring(album % 7) + L"\\Album" + std::to_wstring(album) +
                                L"\\t" + std::to_wstring(t) + L".mp3\r\n";
      m3u += std::string(path.begin(), path.end());
    }
  TrayPlayer p(L"tray_menu_big", "RepeatTrack=1\r\n", m3u);
  ASSERT_TRUE(p.Ready());
  ASSERT_TRUE(WaitFor([&] { return p.Ipc(124) == 10000; }, 60000)) << p.Ipc(124);
  const std::optional<POINT> icon = WaitForTrayColour(kBuiltInIconBlue, true);
  ASSERT_TRUE(icon);

  ASSERT_TRUE(ClickAt(*icon, 3, 1));
  ASSERT_TRUE(p.WaitLine(L"Main menu opens with 10000 tracks", 0));
  ASSERT_TRUE(WaitMenus(1));
  // The whole playlist shares the folder "big": the Tracks menu shows the
  // artists, Artist0 its albums, Album0 its tracks. Right three times
  // opens them.
  ASSERT_TRUE(Keys(Downs(kTracksItem) + L"Right Right Right"));
  ASSERT_TRUE(WaitMenus(4));
  PumpMessages(300);
  RECT tree = Around(MenuWindows());
  Screenshot(L"track_tree_10000", &tree);
  // Album0's third track is entry 2.
  ASSERT_TRUE(Keys(L"Down Down Return"));
  ASSERT_TRUE(p.WaitLine(L"Track 2 chosen", 0));
  EXPECT_TRUE(WaitFor([&] { return p.Ipc(kIpcGetListPos) == 2; }));
}

}  // namespace
}  // namespace zul::test
