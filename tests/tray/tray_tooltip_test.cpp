// The track tooltip of a running zul.exe: the pointer rests on the tray
// icon and the tooltip appears above the notification area with the
// expanded template, which the window also carries as its text.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "tests/support/zul_process.h"
#include "tests/tray/tray_player.h"
#include "tests/tray/x_input.h"

namespace zul::test {
namespace {

// The pointer comes to rest on the icon; two moves inside the tray, so the
// icon hears a move even when the pointer entered the tray before.
bool HoverOn(POINT icon) {
  return XDoTool(L"mousemove " + std::to_wstring(icon.x + 2) + L" " + std::to_wstring(icon.y) + L" mousemove " +
                 std::to_wstring(icon.x) + L" " + std::to_wstring(icon.y));
}

HWND FindTooltip(DWORD pid) { return FindWindowOfClass(pid, L"ZulTrayTooltip"); }

std::wstring TextOf(HWND w) {
  wchar_t buffer[8192] = {};
  SendMessageTimeoutW(w, WM_GETTEXT, std::size(buffer), reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 5000,
                      nullptr);
  return buffer;
}

// A 4 x 4 24-bit picture, the album art beside the track.
void WriteCover(const std::wstring& path) {
  std::string bmp = {'B', 'M'};
  auto u32 = [&](unsigned v) {
    for (int i = 0; i < 4; ++i) bmp += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  auto u16 = [&](unsigned v) {
    bmp += static_cast<char>(v & 0xFF);
    bmp += static_cast<char>(v >> 8);
  };
  u32(54 + 48), u32(0), u32(54);
  u32(40), u32(4), u32(4), u16(1), u16(24), u32(0), u32(48), u32(2835), u32(2835), u32(0), u32(0);
  bmp += std::string(48, '\x60');
  WriteFileBytes(path, bmp);
}

TEST(TrayTooltip, HoverShowsTheTemplateWithEveryPlaceholder) {
  ZulSandbox scratch(L"tray_tooltip_album");
  const std::wstring album = scratch.dir();
  ASSERT_TRUE(CopyFileW((LongTracks() + L"\\l1.mp3").c_str(), (album + L"\\l1.mp3").c_str(), FALSE));
  WriteCover(album + L"\\cover.bmp");

  const std::string tmpl =
      "<table><tr><td><h2>%7</h2></td></tr><tr><td>[1=%1][2=%2][3=%3][4=%4][5=%5][6=%6][8=%8][9=%9]</td></tr>"
      "<tr><td><img src=\"%A\"></td></tr></table>";
  const std::string settings = "ToolTipText=" + tmpl + "\r\nshowToolTip=1\r\nshow_time=0\r\n";
  // Started on the folder with the cover, so the track lies beside it.
  ZulSandbox box(L"tray_tooltip");
  WriteFileBytes(box.ini(), "[Preferences]\r\n" + settings);
  DWORD pid = 0;
  HANDLE process = box.Start(L"\"" + album + L"\"", &pid);
  HWND main = WaitForInstance(pid);
  ASSERT_TRUE(main && WaitUntilRunning(main));
  HWND winamp = FindWinampWindow(pid);
  ASSERT_TRUE(WaitFor([&] { return SendMessageW(winamp, WM_USER, 0, kIpcIsPlaying) == 1; }));
  const std::optional<POINT> icon = WaitForTrayColour(kBuiltInIconBlue, true);
  ASSERT_TRUE(icon);

  // The pointer rests on the icon: the hover timer shows the tooltip.
  ASSERT_TRUE(HoverOn(*icon));
  HWND tip = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (tip = FindTooltip(pid)) && IsWindowVisible(tip); }));
  const std::wstring text = TextOf(tip);
  EXPECT_NE(text.find(L"<h2>l1.mp3</h2>"), std::wstring::npos) << text;
  EXPECT_NE(text.find(L"[2=l1]"), std::wstring::npos) << text;
  EXPECT_NE(text.find(L"[6= 00:12]"), std::wstring::npos) << text;
  EXPECT_NE(text.find(L"\\cover.bmp\""), std::wstring::npos) << "%A is the folder's picture: " << text;
  EXPECT_EQ(text.find(L'%'), std::wstring::npos) << text;
  RECT r;
  GetWindowRect(tip, &r);
  EXPECT_GT(r.right - r.left, 40);
  EXPECT_GT(r.bottom - r.top, 20);
  // Over the notification area: Wine has no taskbar here, so the screen's corner.
  EXPECT_EQ(r.right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_LE(r.bottom, GetSystemMetrics(SM_CYSCREEN));
  PumpMessages(300);
  Screenshot(L"tray_tooltip", &r);

  // The pointer leaves: the tooltip hides after the hide delay.
  ASSERT_TRUE(XDoTool(L"mousemove 600 400"));
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(tip); }));

  SendMessageW(winamp, WM_COMMAND, 40001, 0);
  EXPECT_TRUE(WaitForExit(process, 20000));
}

TEST(TrayTooltip, TheDefaultTemplateShowsTheTagsAndPictures) {
  TrayPlayer p(L"tray_tooltip_default", "", {}, "showToolTip=1\r\nshow_time=0\r\n");
  ASSERT_TRUE(p.Ready());
  ASSERT_TRUE(p.WaitState(1));
  const std::optional<POINT> icon = WaitForTrayColour(kBuiltInIconBlue, true);
  ASSERT_TRUE(icon);
  ASSERT_TRUE(HoverOn(*icon));
  DWORD pid = 0;
  GetWindowThreadProcessId(p.main(), &pid);
  HWND tip = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (tip = FindTooltip(pid)) && IsWindowVisible(tip); }));
  const std::wstring text = TextOf(tip);
  EXPECT_NE(text.find(L"<h2>l1.mp3</h2>"), std::wstring::npos) << text;
  EXPECT_NE(text.find(L"<td> l1</td>"), std::wstring::npos) << "the title row: " << text;
  RECT r;
  GetWindowRect(tip, &r);
  // It stays while the pointer rests on the icon, past the hide delay.
  PumpMessages(1500);
  EXPECT_TRUE(IsWindowVisible(tip));
  Screenshot(L"tray_tooltip_default", &r);
  ASSERT_TRUE(XDoTool(L"mousemove 600 400"));
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(tip); }));
}

}  // namespace
}  // namespace zul::test
