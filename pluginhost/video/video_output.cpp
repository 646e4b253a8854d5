#include "pluginhost/video/video_output.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "base/console_log.h"
#include "base/settings.h"
#include "pluginhost/video/yuv_convert.h"

namespace zul {
namespace {

constexpr UINT kRepaint = WM_USER + 1;
constexpr UINT kShowVideo = WM_APP + 1;  // wParam: width, lParam: height
constexpr UINT kHideVideo = WM_APP + 2;
constexpr wchar_t kClass[] = L"ZUL Video";

// The planar descriptor a plug-in passes for formats other than YUY2.
struct PlaneRecord {
  unsigned char* data;
  long rowBytes;
};

class CVideoWindow {
public:
  HWND hwnd = nullptr;
  Settings* settings = nullptr;

  std::mutex lock;  // guards everything below
  int width = 10, height = 10;
  bool vflip = false;
  uint32_t fourcc = kFourccYuy2;
  std::vector<uint32_t> pixels;  // width x height once a frame was drawn
  int frameWidth = 0, frameHeight = 0;
  std::wstring infoText;
  SIZE openSize{0, 0};

  void Paint(HDC dc);
};

CVideoWindow g_window;

void CVideoWindow::Paint(HDC dc) {
  RECT client{};
  GetClientRect(hwnd, &client);
  const int cw = client.right, ch = client.bottom;
  std::lock_guard<std::mutex> guard(lock);
  HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  if (pixels.empty() || frameWidth <= 0 || frameHeight <= 0 || cw <= 0 || ch <= 0) {
    FillRect(dc, &client, black);
    return;
  }
  // The largest rectangle of the video's shape, centred; black bands beside it.
  int w = cw, h = static_cast<int>(static_cast<int64_t>(cw) * frameHeight / frameWidth);
  if (h > ch) {
    h = ch;
    w = static_cast<int>(static_cast<int64_t>(ch) * frameWidth / frameHeight);
  }
  const int x = (cw - w) / 2, y = (ch - h) / 2;
  RECT bands[2] = {{0, 0, w < cw ? x : cw, w < cw ? ch : y}, {w < cw ? x + w : 0, w < cw ? 0 : y + h, cw, ch}};
  for (const RECT& b : bands) FillRect(dc, &b, black);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = frameWidth;
  bi.bmiHeader.biHeight = -frameHeight;  // top row first
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  SetStretchBltMode(dc, COLORONCOLOR);
  StretchDIBits(dc, x, y, w, h, 0, 0, frameWidth, frameHeight, pixels.data(), &bi, DIB_RGB_COLORS, SRCCOPY);
}

void PlaceForVideo(int w, int h) {
  RECT r{0, 0, std::max(w, 1), std::max(h, 1)};
  const DWORD style = static_cast<DWORD>(GetWindowLongW(g_window.hwnd, GWL_STYLE));
  AdjustWindowRect(&r, style, FALSE);
  int left = 0, top = 0;
  const SavedRect* saved = g_window.settings ? &g_window.settings->videoRect : nullptr;
  if (saved && saved->left != SavedRect::kNotSaved && saved->top != SavedRect::kNotSaved) {
    left = std::max(saved->left, 0);
    top = std::max(saved->top, 0);
  } else {
    left = std::max(0, static_cast<int>(GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2);
    top = std::max(0, static_cast<int>(GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2);
  }
  SetWindowPos(g_window.hwnd, HWND_TOP, left, top, r.right - r.left, r.bottom - r.top, SWP_SHOWWINDOW);
}

LRESULT CALLBACK VideoProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case kShowVideo:
      PlaceForVideo(static_cast<int>(wParam), static_cast<int>(lParam));
      return 0;
    case kHideVideo:
      ShowWindow(hwnd, SW_HIDE);
      return 0;
    case kRepaint:
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      g_window.Paint(dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_CLOSE:
      ShowWindow(hwnd, SW_HIDE);
      return 0;
    case WM_MOVE:
      if (g_window.settings && IsWindowVisible(hwnd)) {
        RECT r{};
        GetWindowRect(hwnd, &r);
        g_window.settings->videoRect = {r.left, r.top, r.right, r.bottom};
      }
      break;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

class CIVideoOutput final : public IVideoOutput {
public:
  void DestructorSlot(int) override {}
  int open(int w, int h, int vflip, double, unsigned int fmt) override {
    {
      std::lock_guard<std::mutex> guard(g_window.lock);
      g_window.width = w;
      g_window.height = h;
      g_window.vflip = vflip != 0;
      g_window.fourcc = fmt;
      g_window.openSize = {w, h};
      g_window.pixels.clear();
    }
    ZUL_LOG(L"open %d %d %d %08x\n", w, h, vflip, fmt);
    PostMessageW(g_window.hwnd, kShowVideo, static_cast<WPARAM>(w), h);
    return 0;
  }
  void setcallback(void*, void*) override { ZUL_LOG(L"setcallback\n"); }
  void close() override {
    ZUL_LOG(L"close\n");
    PostMessageW(g_window.hwnd, kHideVideo, 0, 0);
  }
  void draw(void* frame) override {
    if (!frame) return;
    {
      std::lock_guard<std::mutex> guard(g_window.lock);
      const int w = g_window.width, h = g_window.height;
      if (w < 1 || h < 1 || w > kMaxVideoSide || h > kMaxVideoSide) return;
      g_window.pixels.resize(static_cast<size_t>(w) * h);
      bool ok = false;
      if (g_window.fourcc == kFourccYuy2) {
        ok = ConvertYuy2(static_cast<const uint8_t*>(frame), w, h, g_window.vflip, g_window.pixels.data());
      } else {
        const auto* planes = static_cast<const PlaneRecord*>(frame);
        ok = ConvertYv12({planes[0].data, planes[0].rowBytes}, {planes[1].data, planes[1].rowBytes},
                         {planes[2].data, planes[2].rowBytes}, w, h, g_window.vflip, g_window.pixels.data());
      }
      if (!ok) {
        g_window.pixels.clear();
        return;
      }
      g_window.frameWidth = w;
      g_window.frameHeight = h;
    }
    PostMessageW(g_window.hwnd, kRepaint, 0, 0);
  }
  void drawSubtitle(void*) override { ZUL_LOG(L"drawSubtitle\n"); }
  void showStatusMsg(const char*) override {}
  int get_latency() override {
    ZUL_LOG(L"get_latency\n");
    return 0;
  }
  void notifyBufferState(int state) override { ZUL_LOG(L"notifyBufferState %d\n", state); }
  INT_PTR extended(INT_PTR p1, INT_PTR p2, INT_PTR p3) override {
    switch (p1) {
      case 0x1000: {  // VIDUSER_SET_INFOSTRING
        const char* text = reinterpret_cast<const char*>(p2);
        std::wstring wide;
        if (text) {
          const int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
          if (n > 0) {
            wide.resize(static_cast<size_t>(n));
            MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), n);
            wide.resize(static_cast<size_t>(n - 1));
          }
        }
        ZUL_LOG(L"extended VIDUSER_SET_INFOSTRING %s %d\n", wide.c_str(), static_cast<int>(p3));
        std::lock_guard<std::mutex> guard(g_window.lock);
        g_window.infoText = wide;
        break;
      }
      case 0x1001:
        ZUL_LOG(L"extended VIDUSER_GET_VIDEOHWND %d %d\n", static_cast<int>(p2), static_cast<int>(p3));
        break;
      case 0x1002:
        ZUL_LOG(L"extended VIDUSER_SET_VFLIP %d %d\n", static_cast<int>(p2), static_cast<int>(p3));
        break;
      case 0x1003:
        ZUL_LOG(L"extended VIDUSER_SET_TRACKSELINTERFACE %d %d\n", static_cast<int>(p2), static_cast<int>(p3));
        break;
    }
    return 0;
  }
};

CIVideoOutput g_output;
bool g_created = false;

}  // namespace

void CreateVideoWindow(HWND owner, Settings* settings) {
  if (settings) g_window.settings = settings;
  if (g_created) return;
  WNDCLASSW wc{};
  wc.lpfnWndProc = VideoProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kClass;
  RegisterClassW(&wc);
  g_window.hwnd = CreateWindowExW(0, kClass, L"Video", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 320, 240,
                                  owner, nullptr, GetModuleHandleW(nullptr), nullptr);
  g_created = g_window.hwnd != nullptr;
  if (!g_created) ZUL_LOG(L"Video window: not created");
}

void DestroyVideoWindow() {
  if (g_window.hwnd) DestroyWindow(g_window.hwnd);
  g_window.hwnd = nullptr;
  g_created = false;
}

IVideoOutput* TheVideoOutput() { return g_created ? &g_output : nullptr; }
bool VideoWindowShown() { return g_window.hwnd && IsWindowVisible(g_window.hwnd); }
bool VideoWindowFullScreen() { return false; }
SIZE VideoLastOpenSize() {
  std::lock_guard<std::mutex> guard(g_window.lock);
  return g_window.openSize;
}
std::wstring VideoInformationText() {
  std::lock_guard<std::mutex> guard(g_window.lock);
  return g_window.infoText;
}

}  // namespace zul
