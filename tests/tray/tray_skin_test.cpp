// Skins in a running zul.exe, seen where a person sees them: the tray
// icon's colours. The example skins are copied into a folder of the test;
// one picture of the INI skin is missing and its extension is in upper
// case.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "tests/support/zul_process.h"
#include "tests/tray/tray_player.h"
#include "tests/tray/x_input.h"

namespace zul::test {
namespace {

constexpr COLORREF kEmber = RGB(200, 60, 20);
constexpr COLORREF kMoss = RGB(40, 130, 60);

std::wstring Examples() { return BinDir() + L"\\tray_fixtures\\skins"; }

void CopyExamples(const std::wstring& to, const wchar_t* const* names) {
  for (; *names; ++names)
    ASSERT_TRUE(CopyFileW((Examples() + L"\\" + *names).c_str(), (to + L"\\" + *names).c_str(), FALSE)) << *names;
}

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

TEST(TraySkins, MissingPicturesFallBackOneByOne) {
  ZulSandbox skins(L"tray_skin_files");
  static const wchar_t* const kFiles[] = {L"ember_play.ico",
                                          L"ember_stop.ico",
                                          L"ember_prev.ico",
                                          L"ember_next.ico",
                                          L"ember_buttons.bmp",
                                          L"ember_buttons_dn.bmp",
                                          nullptr};
  CopyExamples(skins.dir(), kFiles);  // no ember_pause.ico
  ASSERT_TRUE(CopyFileW((Examples() + L"\\ember.sk2").c_str(), (skins.dir() + L"\\EMBER.SK2").c_str(), FALSE));

  TrayPlayer p(L"tray_skin", "CurrentSkin=" + Narrow(skins.dir()) + "\\EMBER.SK2\r\n");
  ASSERT_TRUE(p.Ready());
  ASSERT_TRUE(p.WaitState(1));
  // Playing: the skin's own play icon, nothing of the built-in blue.
  ASSERT_TRUE(WaitForTrayColour(kEmber, true));
  EXPECT_FALSE(FindInTray(kBuiltInIconBlue));
  EXPECT_EQ(p.Lines(L"EMBER.SK2: built-in pictures: 3"), 1) << "the pause icon alone is built in";
  // Paused: the missing pause icon is the built-in one.
  SendMessageW(p.winamp(), WM_COMMAND, 40046, 0);
  ASSERT_TRUE(p.WaitState(3));
  EXPECT_TRUE(WaitForTrayColour(kBuiltInIconBlue, true));
  EXPECT_FALSE(FindInTray(kEmber));
  Screenshot(L"tray_skin_paused");
}

TEST(TraySkins, TheSkinChangesAtEachTrackEnd) {
  ZulSandbox skins(L"tray_skin_rotate");
  static const wchar_t* const kFiles[] = {
      L"ember.sk2", L"ember_play.ico", L"ember_pause.ico", L"ember_stop.ico", L"ember_prev.ico", L"ember_next.ico",
      L"moss.skn",  L"moss_play.ico",  L"moss_pause.ico",  L"moss_stop.ico",  L"moss_prev.ico",  L"moss_next.ico",
      nullptr};
  CopyExamples(skins.dir(), kFiles);
  const std::string dir = Narrow(skins.dir());
  // Two one-second tracks on repeat; the skins rotate ember, moss, ember.
  ZulSandbox box(L"tray_skin_rotate_player");
  WriteFileBytes(box.ini(), "[Preferences]\r\nshowToolTip=0\r\nRepeat=1\r\nchangeSkinOnEachTrack=1\r\nCurrentSkin=" +
                                dir + "\\ember.sk2\r\nCurrentSkin1=" + dir + "\\moss.skn\r\n");
  DWORD pid = 0;
  HANDLE process = box.Start(L"\"" + BinDir() + L"\\playback_fixtures\\albums\\album_b\"", &pid);
  HWND main = WaitForInstance(pid);
  ASSERT_TRUE(main && WaitUntilRunning(main));
  EXPECT_TRUE(WaitForTrayColour(kEmber, true));
  EXPECT_TRUE(WaitForTrayColour(kMoss, true, 20000)) << "no change to the second skin";
  EXPECT_TRUE(WaitForTrayColour(kEmber, true, 20000)) << "no change back to the first";
  SendMessageW(FindWinampWindow(pid), WM_COMMAND, 40001, 0);
  EXPECT_TRUE(WaitForExit(process, 20000));
}

}  // namespace
}  // namespace zul::test
