// The video window through the real program: a test input plug-in plays a
// ".vyu" (YUY2) and a ".vyv" (YV12) file by pushing frames of four coloured
// quadrants into zul.exe's video output; a screenshot must show each colour
// in its quadrant, and the plug-in hears back the size and information text
// it set through the Winamp window.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "tests/info_window/x_input.h"
#include "tests/support/zul_process.h"

namespace zul::test {
namespace {

constexpr LPARAM kIpcIsPlayingVideo = 501;

bool Near(unsigned long got, unsigned long want) {
  for (int shift : {0, 8, 16}) {
    const int g = (got >> shift) & 0xFF, w = (want >> shift) & 0xFF;
    if (g - w > 40 || w - g > 40) return false;
  }
  return true;
}

TEST(VideoWindow, FramesOfEachFormatShowTheirColoursWhereTheyBelong) {
  ZulSandbox box(L"video");
  const std::wstring plugin = box.dir() + L"\\in_video_frames.dll";
  ASSERT_TRUE(CopyFileW((BinDir() + L"\\in_video_frames.dll").c_str(), plugin.c_str(), FALSE));
  std::string pluginA(plugin.begin(), plugin.end());
  WriteFileBytes(box.ini(), "[Preferences]\r\nRepeat=1\r\ndllInName0=" + pluginA + "\r\n");
  const std::wstring log = box.dir() + L"\\video.log";
  SetEnvironmentVariableW(L"ZUL_VIDEO_LOG", log.c_str());
  const std::wstring yuy2 = box.dir() + L"\\clip.vyu", yv12 = box.dir() + L"\\clip.vyv";
  WriteFileBytes(yuy2, "VIDEO");
  WriteFileBytes(yv12, "VIDEO");
  DWORD pid = 0;
  HANDLE process = box.Start(L"\"" + yuy2 + L"\"", &pid);
  SetEnvironmentVariableW(L"ZUL_VIDEO_LOG", nullptr);
  HWND main = WaitForInstance(pid);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntilRunning(main));
  HWND winamp = FindWinampWindow(pid);

  struct Step {
    const char* format;
    const std::wstring& file;
  } steps[] = {{"YUY2", yuy2}, {"YV12", yv12}};
  for (const Step& step : steps) {
    SCOPED_TRACE(step.format);
    if (&step.file != &yuy2) EXPECT_EQ(SendCopyData(main, 528, 0, step.file), TRUE);
    const std::string said = std::string("info test video ") + step.format + "\n";
    ASSERT_TRUE(WaitFor([&] { return ReadFileBytes(log).find(said) != std::string::npos; })) << ReadFileBytes(log);
    EXPECT_NE(ReadFileBytes(log).find("size 320x180"), std::string::npos);
    HWND video = nullptr;
    ASSERT_TRUE(WaitFor([&] {
      video = FindWindowOfClass(pid, L"ZUL Video");
      return video && IsWindowVisible(video);
    })) << "the video window was not shown";
    DWORD_PTR playing = 0;
    SendMessageTimeoutW(winamp, WM_USER, 0, kIpcIsPlayingVideo, SMTO_BLOCK, 10000, &playing);
    EXPECT_EQ(playing, 2u);
    RECT client{};
    GetClientRect(video, &client);
    EXPECT_EQ(client.right, 320);
    EXPECT_EQ(client.bottom, 180);
    POINT origin{0, 0};
    ClientToScreen(video, &origin);
    const struct {
      const char* name;
      int x, y;
      unsigned long rgb;
    } quadrants[] = {{"red", 80, 45, 0xFF0000},
                     {"green", 240, 45, 0x00FF00},
                     {"blue", 80, 135, 0x0000FF},
                     {"white", 240, 135, 0xFFFFFF}};
    std::string shot;
    // The frames arrive every 40 ms; the first screenshot may come before one is drawn.
    const bool seen = WaitFor(
        [&] {
          shot = Screenshot(std::string("video_window_") + step.format, video);
          for (const auto& q : quadrants)
            if (!Near(PixelOf(shot, origin.x + q.x, origin.y + q.y), q.rgb)) return false;
          return true;
        },
        30000);
    for (const auto& q : quadrants)
      EXPECT_TRUE(seen) << q.name << " quadrant shows " << std::hex << PixelOf(shot, origin.x + q.x, origin.y + q.y);
  }
  SendMessageTimeoutW(winamp, WM_COMMAND, 40001, 0, SMTO_BLOCK, 10000, nullptr);
  EXPECT_TRUE(WaitForExit(process, 20000));
}

}  // namespace
}  // namespace zul::test
