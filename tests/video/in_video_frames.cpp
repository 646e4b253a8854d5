// A test input plug-in that plays video: for a ".vyu" file it opens the
// host's video output as 320 x 180 YUY2, for a ".vyv" file as YV12, and
// draws frames of four coloured quadrants (top left red, top right green,
// bottom left blue, bottom right white) every 40 ms until Stop. It sets the
// video information text "test video <format>", then asks the host for it
// and the open size (IPC_GETINFO 4 and 3) and writes the answers to the file
// named by ZUL_VIDEO_LOG, one line each: "info <text>", "size <w>x<h>".
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "pluginhost/protocol/winamp_records.h"

#define EXPORT extern "C" __declspec(dllexport)

using zul::In_Module;

namespace {

// The published interface, one slot each (the first is the destructor in
// the plug-ins' compiler).
class IVideoOutput {
public:
  virtual void DestructorSlot(int) = 0;
  virtual int open(int w, int h, int vflip, double aspectratio, unsigned int fmt) = 0;
  virtual void setcallback(void* callback, void* token) = 0;
  virtual void close() = 0;
  virtual void draw(void* frame) = 0;
  virtual void drawSubtitle(void* item) = 0;
  virtual void showStatusMsg(const char* text) = 0;
  virtual int get_latency() = 0;
  virtual void notifyBufferState(int state) = 0;
  virtual INT_PTR extended(INT_PTR param1, INT_PTR param2, INT_PTR param3) = 0;
};

struct PlaneRecord {
  unsigned char* data;
  long rowBytes;
};

constexpr int kW = 320, kH = 180;
constexpr unsigned kYuy2 = 0x32595559, kYv12 = 0x32315659;
struct Yuv {
  unsigned char y, u, v;
};
constexpr Yuv kRed{81, 90, 240}, kGreen{145, 54, 34}, kBlue{41, 240, 110}, kWhite{235, 128, 128};

In_Module mod;
char description[] = "Test video frames";
char extensions[] = "VYU\0YUY2 test video (*.VYU)\0VYV\0YV12 test video (*.VYV)\0";
HANDLE thread = nullptr;
std::atomic<bool> stop{false};
IVideoOutput* video = nullptr;
unsigned format = kYuy2;

Yuv At(int x, int y) { return y < kH / 2 ? (x < kW / 2 ? kRed : kGreen) : (x < kW / 2 ? kBlue : kWhite); }

void Log(const std::string& line) {
  char path[MAX_PATH];
  if (!GetEnvironmentVariableA("ZUL_VIDEO_LOG", path, MAX_PATH)) return;
  if (FILE* f = std::fopen(path, "ab")) {
    std::fprintf(f, "%s\n", line.c_str());
    std::fclose(f);
  }
}

DWORD WINAPI Draw(void*) {
  std::vector<unsigned char> yuy2(2 * kW * kH);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; x += 2) {
      unsigned char* p = &yuy2[(y * kW + x) * 2];
      p[0] = At(x, y).y, p[1] = At(x, y).u, p[2] = At(x + 1, y).y, p[3] = At(x, y).v;
    }
  // Y rows padded to 384 bytes, chroma rows to 192: the host must use the
  // row lengths given, not the width.
  const int yPitch = 384, cPitch = 192;
  std::vector<unsigned char> yp(yPitch * kH, 0), up(cPitch * kH / 2, 0), vp(cPitch * kH / 2, 0);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      yp[y * yPitch + x] = At(x, y).y;
      up[(y / 2) * cPitch + x / 2] = At(x, y).u;
      vp[(y / 2) * cPitch + x / 2] = At(x, y).v;
    }
  PlaneRecord planes[3] = {{yp.data(), yPitch}, {up.data(), cPitch}, {vp.data(), cPitch}};
  while (!stop.load()) {
    video->draw(format == kYuy2 ? static_cast<void*>(yuy2.data()) : static_cast<void*>(planes));
    Sleep(40);
  }
  return 0;
}

void __cdecl Config(HWND) {}
void __cdecl About(HWND) {}
void __cdecl Init() {}
void __cdecl Quit() {}
void __cdecl GetFileInfo(void*, void* title, int* length) {
  if (title) std::strcpy(static_cast<char*>(title), "test video");
  if (length) *length = 600000;
}
int __cdecl InfoBox(void*, HWND) { return 0; }
int __cdecl IsOurFile(void*) { return 0; }

void __cdecl Stop() {
  if (thread) {
    stop.store(true);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    thread = nullptr;
  }
  if (video) video->close();
}

int __cdecl Play(void* name) {
  const std::string file = static_cast<const char*>(name);
  format = file.size() > 4 && _stricmp(file.c_str() + file.size() - 4, ".vyv") == 0 ? kYv12 : kYuy2;
  video = reinterpret_cast<IVideoOutput*>(SendMessageW(mod.hMainWindow, WM_USER, 0, 500));
  if (!video) {
    Log("no video output");
    return 1;
  }
  video->open(kW, kH, 0, 1.0, format);
  std::string info = std::string("test video ") + (format == kYuy2 ? "YUY2" : "YV12");
  video->extended(0x1000, reinterpret_cast<INT_PTR>(info.c_str()), 0);
  const char* said = reinterpret_cast<const char*>(SendMessageW(mod.hMainWindow, WM_USER, 4, 126));
  Log(std::string("info ") + (said ? said : "(none)"));
  const LRESULT size = SendMessageW(mod.hMainWindow, WM_USER, 3, 126);
  Log("size " + std::to_string(size & 0xFFFF) + "x" + std::to_string((size >> 16) & 0xFFFF));
  stop.store(false);
  thread = CreateThread(nullptr, 0, Draw, nullptr, 0, nullptr);
  return thread ? 0 : 1;
}

void __cdecl Pause() {}
void __cdecl UnPause() {}
int __cdecl IsPaused() { return 0; }
int __cdecl GetLength() { return 600000; }
int __cdecl GetOutputTime() { return 0; }
void __cdecl SetOutputTime(int) {}
void __cdecl SetVolume(int) {}
void __cdecl SetPan(int) {}
void __cdecl EQSet(int, char*, int) {}

}  // namespace

EXPORT In_Module* winampGetInModule2() {
  mod = In_Module{};
  mod.version = 0x100;
  mod.description = description;
  mod.FileExtensions = extensions;
  mod.UsesOutputPlug = 0;
  mod.Config = Config;
  mod.About = About;
  mod.Init = Init;
  mod.Quit = Quit;
  mod.GetFileInfo = GetFileInfo;
  mod.InfoBox = InfoBox;
  mod.IsOurFile = IsOurFile;
  mod.Play = Play;
  mod.Pause = Pause;
  mod.UnPause = UnPause;
  mod.IsPaused = IsPaused;
  mod.Stop = Stop;
  mod.GetLength = GetLength;
  mod.GetOutputTime = GetOutputTime;
  mod.SetOutputTime = SetOutputTime;
  mod.SetVolume = SetVolume;
  mod.SetPan = SetPan;
  mod.EQSet = EQSet;
  return &mod;
}
