// Embedded windows through the real program: a test general plug-in asks
// zul.exe for one at start and puts its child in it; the frame is closed
// with its close button, shown again as the plug-in would, and resized by
// its grip, with xdotool.
#include <windows.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "tests/info_window/x_input.h"
#include "tests/support/zul_process.h"

namespace zul::test {
namespace {

HWND Logged(const std::string& log, const std::string& what) {
  std::istringstream in(log);
  std::string key;
  unsigned long long value = 0;
  while (in >> key >> std::hex >> value)
    if (key == what) return reinterpret_cast<HWND>(static_cast<UINT_PTR>(value));
  return nullptr;
}

TEST(EmbeddedWindow, APluginsChildSitsInTheFrameThroughCloseReopenAndResize) {
  ZulSandbox box(L"embed");
  const std::wstring plugin = box.dir() + L"\\gen_embed_probe.dll";
  ASSERT_TRUE(CopyFileW((BinDir() + L"\\gen_embed_probe.dll").c_str(), plugin.c_str(), FALSE));
  WriteFileBytes(box.ini(), "[Preferences]\r\ndllGenName0=" + std::string(plugin.begin(), plugin.end()) + "\r\n");
  const std::wstring log = box.dir() + L"\\embed.log";
  SetEnvironmentVariableW(L"ZUL_EMBED_LOG", log.c_str());
  DWORD pid = 0;
  HANDLE process = box.Start(L"", &pid);
  SetEnvironmentVariableW(L"ZUL_EMBED_LOG", nullptr);
  HWND main = WaitForInstance(pid);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntilRunning(main));
  ASSERT_TRUE(WaitFor([&] { return ReadFileBytes(log).find("child") != std::string::npos; })) << ReadFileBytes(log);
  const std::string said = ReadFileBytes(log);
  HWND frame = Logged(said, "frame"), child = Logged(said, "child");
  ASSERT_NE(frame, nullptr) << said;
  EXPECT_EQ(Logged(said, "me"), frame) << "the record's me is the frame";
  EXPECT_EQ(GetWindow(frame, GW_OWNER), FindWinampWindow(pid));

  auto childAt = [&](int x, int y, int w, int h) {
    RECT f{}, c{};
    GetWindowRect(frame, &f);
    GetWindowRect(child, &c);
    return c.left - f.left == x && c.top - f.top == y && c.right - c.left == w && c.bottom - c.top == h;
  };
  auto frameSize = [&](int w, int h) {
    RECT f{};
    GetWindowRect(frame, &f);
    return f.right - f.left == w && f.bottom - f.top == h;
  };
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(frame) && frameSize(218, 134) && childAt(10, 20, 200, 100); }))
      << "the frame does not hold the child at (10, 20) with borders of 18 x 34";
  Screenshot("embedded_window", frame);

  // The close button: 7 x 7 at (right - 10, top + 3) of the client area.
  RECT f{};
  GetWindowRect(frame, &f);
  ASSERT_TRUE(ClickAt(f.right - 7, f.top + 6));
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(frame); })) << "the close button did not hide the frame";
  EXPECT_TRUE(IsWindow(frame)) << "closing destroyed the frame";

  ShowWindow(frame, SW_SHOWNA);
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(frame) && childAt(10, 20, 200, 100); }));

  // The grip, in steps of 25 x 29, never below 275 x 116: 60 x 30 pixels are
  // two steps across (218 + 25 lifted to 275, then 300) and one down (134 + 29).
  auto dragGrip = [&](int dx, int dy) {
    RECT r{};
    GetWindowRect(frame, &r);
    return DragFromTo(r.right - 5, r.bottom - 5, r.right - 5 + dx, r.bottom - 5 + dy);
  };
  ASSERT_TRUE(dragGrip(60, 30));
  ASSERT_TRUE(WaitFor([&] { return frameSize(300, 163); })) << "the grip did not resize in steps";
  // 24 pixels are no step; the 25 after them are one: had the 24 taken a
  // step, the frame would end 50 wider.
  ASSERT_TRUE(dragGrip(24, 0));
  ASSERT_TRUE(dragGrip(25, 0));
  EXPECT_TRUE(WaitFor([&] { return frameSize(325, 163); })) << "24 + 25 pixels did not make exactly one step";
  GetWindowRect(frame, &f);
  EXPECT_TRUE(childAt(10, 20, f.right - f.left - 18, f.bottom - f.top - 34)) << "the child does not fill the frame";
  Screenshot("embedded_window_resized", frame);

  SendMessageTimeoutW(FindWinampWindow(pid), WM_COMMAND, 40001, 0, SMTO_BLOCK, 10000, nullptr);
  EXPECT_TRUE(WaitForExit(process, 20000));
}

}  // namespace
}  // namespace zul::test
