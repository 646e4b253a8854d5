// The tray icon of a running zul.exe, used the way a person uses it: real
// X clicks on the icon in Wine's tray, hotkeys pressed from this program,
// the result read back through the console log and the Winamp window.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/zul_process.h"
#include "tests/tray/tray_player.h"
#include "tests/tray/x_input.h"

namespace zul::test {
namespace {

// Clicks count times and waits for the action line that follows.
void ClickForAction(const TrayPlayer& p, POINT icon, int button, int count, int action) {
  const std::wstring line = L"Action " + std::to_wstring(action);
  const int before = p.Lines(line);
  const int anyBefore = p.Lines(L"Action ");
  ASSERT_TRUE(ClickAt(icon, button, count));
  ASSERT_TRUE(p.WaitLine(line, before)) << count << " clicks of button " << button;
  EXPECT_EQ(p.Lines(L"Action "), anyBefore + 1) << "one action per click sequence";
}

// Off in the suite for now: it passes when its executable runs alone in a
// fresh environment and fails after the rest of the win64 suite has run in
// the same prefix; the cause is not found yet. Run it with
// --gtest_also_run_disabled_tests.
TEST(TrayClicks, DISABLED_DefaultSettingsCountSingleDoubleTripleAndQuadrupleClicks) {
  TrayPlayer p(L"tray_default", "");
  ASSERT_TRUE(p.Ready());
  ASSERT_TRUE(p.WaitState(1));
  const std::optional<POINT> icon = WaitForTrayColour(kBuiltInIconBlue, true);
  ASSERT_TRUE(icon) << "no tray icon of ours in the tray window";
  RECT tray;
  GetWindowRect(TrayWindow(), &tray);
  Screenshot(L"tray_icon_playing", &tray);

  // One left click, after the double-click time: Play / Pause.
  ClickForAction(p, *icon, 1, 1, 1);
  EXPECT_TRUE(p.WaitState(3));
  ClickForAction(p, *icon, 1, 1, 1);
  EXPECT_TRUE(p.WaitState(1));
  // Two: Next.
  ClickForAction(p, *icon, 1, 2, 4);
  EXPECT_TRUE(WaitFor([&] { return p.Ipc(kIpcGetListPos) == 1; }));
  // Three: Previous.
  ClickForAction(p, *icon, 1, 3, 3);
  EXPECT_TRUE(WaitFor([&] { return p.Ipc(kIpcGetListPos) == 0; }));
  // Four: Stop / Play.
  ClickForAction(p, *icon, 1, 4, 2);
  EXPECT_TRUE(p.WaitState(0));
  // Five run nothing.
  const int actions = p.Lines(L"Action ");
  ASSERT_TRUE(ClickAt(*icon, 1, 5));
  ClickForAction(p, *icon, 1, 4, 2);  // the next sequence is counted afresh
  EXPECT_EQ(p.Lines(L"Action "), actions + 1);
  EXPECT_TRUE(p.WaitState(1));
}

TEST(TrayClicks, OnlyClicks1ActsOnEveryReleaseAndPressAndHoldSeeks) {
  TrayPlayer p(L"tray_hold", "Clicks1=4\r\nClicks2=0\r\nClicks3=0\r\nClicks4=0\r\nPressAndHold=0\r\nRepeat=1\r\n");
  ASSERT_TRUE(p.Ready());
  ASSERT_TRUE(p.WaitState(1));
  const std::optional<POINT> icon = WaitForTrayColour(kBuiltInIconBlue, true);
  ASSERT_TRUE(icon);
  // Two quick clicks are two single clicks: Next twice, round to the first.
  const int before = p.Lines(L"Action 4");
  ASSERT_TRUE(ClickAt(*icon, 1, 2));
  ASSERT_TRUE(WaitFor([&] { return p.Lines(L"Action 4") == before + 2; }));
  EXPECT_TRUE(WaitFor([&] { return p.Ipc(kIpcGetListPos) == 0 && p.Ipc(kIpcIsPlaying) == 1; }));

  // Holding the right button seeks forward by 5 s steps; the release is no click.
  const LRESULT start = p.Ipc(kIpcGetOutputTime);
  const int actions = p.Lines(L"Action ");
  const int holds = p.Lines(L"Hold: seek");
  ASSERT_TRUE(PressAt(*icon, 3));
  const bool stepped = p.WaitLine(L"Hold: seek", holds);
  ASSERT_TRUE(Release(3));
  ASSERT_TRUE(stepped);
  EXPECT_TRUE(WaitFor([&] { return p.Ipc(kIpcGetOutputTime) >= start + 4500; }))
      << "from " << start << " ms to " << p.Ipc(kIpcGetOutputTime) << " ms";
  // Wait past the double-click time: a counted click would have acted by now.
  EXPECT_FALSE(WaitFor([&] { return p.Lines(L"Action ") > actions; }, 1500));
}

TEST(TrayClicks, NoClicksOpensTheMenuOnEitherButton) {
  TrayPlayer p(L"tray_noclicks", "NoClicks=1\r\n");
  ASSERT_TRUE(p.Ready());
  const std::optional<POINT> icon = WaitForTrayColour(kBuiltInIconBlue, true);
  ASSERT_TRUE(icon);
  for (int button : {1, 3}) {
    const int menus = p.Lines(L"Main menu opens");
    ASSERT_TRUE(ClickAt(*icon, button, 1));
    ASSERT_TRUE(p.WaitLine(L"Main menu opens", menus)) << "button " << button;
    HWND menu = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (menu = FindWindowW(L"#32768", nullptr)) && IsWindowVisible(menu); }));
    ASSERT_TRUE(Keys(L"Escape"));
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(menu); }));
  }
  EXPECT_EQ(p.Lines(L"Action "), 0);
}

// Off in the suite for now: it passes when its executable runs alone in a
// fresh environment and fails after the rest of the win64 suite has run in
// the same prefix; the cause is not found yet. Run it with
// --gtest_also_run_disabled_tests.
TEST(TrayHotkeys, DISABLED_ShowHideTheIconAndCopyTheTrackToTheClipboard) {
  // Ctrl+Shift+F7 shows or hides the icon, Ctrl+Shift+F8 copies the track.
  // (Not Ctrl+Alt: with it the X keymap turns F-keys into console switches,
  // which never reach Wine as F-keys.)
  TrayPlayer p(L"tray_hotkeys", "TrayIconKey=118\r\nTrayIconMod=6\r\nNPKey=119\r\nNPMod=6\r\ndisplayConsole=1\r\n");
  ASSERT_TRUE(p.Ready());
  ASSERT_TRUE(p.WaitState(1));
  ASSERT_TRUE(WaitForTrayColour(kBuiltInIconBlue, true));
  ASSERT_TRUE(KeysFocused(L"ctrl+shift+F7", p.main()));
  EXPECT_FALSE(WaitForTrayColour(kBuiltInIconBlue, false)) << "the icon stays after the hide hotkey";
  ASSERT_TRUE(KeysFocused(L"ctrl+shift+F7", p.main()));
  EXPECT_TRUE(WaitForTrayColour(kBuiltInIconBlue, true)) << "the icon does not come back";

  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
  const int copies = p.Lines(L"NP to clipboard");
  ASSERT_TRUE(KeysFocused(L"ctrl+shift+F8", p.main()));
  ASSERT_TRUE(p.WaitLine(L"NP to clipboard", copies));
  std::wstring text;
  ASSERT_TRUE(WaitFor([&] {
    if (!OpenClipboard(nullptr)) return false;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
      text = static_cast<const wchar_t*>(GlobalLock(data));
      GlobalUnlock(data);
    }
    CloseClipboard();
    return !text.empty();
  }));
  EXPECT_EQ(text, L"l1");  // the track's title as the tray shows it
}

TEST(TrayHotkeys, MediaKeysWorkUnlessTheUserGaveThemAnotherMeaning) {
  // The user gave the Next media key to Previous (VK_MEDIA_NEXT_TRACK 176,
  // no modifiers); Play/Pause and Stop keep their media meaning.
  TrayPlayer p(L"tray_media", "PrevKey=176\r\nPrevMod=0\r\nRepeat=1\r\ndisplayConsole=1\r\n");
  ASSERT_TRUE(p.Ready());
  ASSERT_TRUE(p.WaitState(1));
  ASSERT_TRUE(KeysFocused(L"XF86AudioPlay", p.main()));
  EXPECT_TRUE(p.WaitState(3));
  ASSERT_TRUE(KeysFocused(L"XF86AudioPlay", p.main()));
  EXPECT_TRUE(p.WaitState(1));

  const int previous = p.Lines(L"WM_HOTKEY 103");
  const int media = p.Lines(L"Media key");
  ASSERT_TRUE(KeysFocused(L"XF86AudioNext", p.main()));
  ASSERT_TRUE(p.WaitLine(L"WM_HOTKEY 103", previous));
  EXPECT_EQ(p.Lines(L"Media key"), media) << "one press, one action: the user's";

  ASSERT_TRUE(KeysFocused(L"XF86AudioStop", p.main()));
  EXPECT_TRUE(p.WaitState(0));
  EXPECT_EQ(p.Lines(L"Media key"), media + 1);
}

}  // namespace
}  // namespace zul::test
