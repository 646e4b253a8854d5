#include "pluginhost/video/embedded_window.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace zul {
namespace {

constexpr wchar_t kClass[] = L"ZUL Embedded";
constexpr int kMinWidth = 275, kMinHeight = 116;
constexpr int kStepX = 25, kStepY = 29;
constexpr int kLeft = 10, kTop = 20, kExtraWidth = 18, kExtraHeight = 34;
constexpr int kGrip = 20, kDock = 10;

enum class Drag { None, Close, Resize, Move };

struct Frame {
  HWND hwnd = nullptr;
  Drag drag = Drag::None;
  POINT last{};  // cursor (screen) where the current drag last took a step
  bool closePressed = false;
  bool active = false;
};

std::vector<Frame*> g_frames;

Frame* FrameOf(HWND hwnd) { return reinterpret_cast<Frame*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

RECT CloseBox(HWND hwnd) {
  RECT c{};
  GetClientRect(hwnd, &c);
  return {c.right - 10, c.top + 3, c.right - 3, c.top + 10};
}

void FitChild(HWND hwnd) {
  if (HWND child = GetWindow(hwnd, GW_CHILD)) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    SetWindowPos(child, nullptr, kLeft, kTop, r.right - r.left - kExtraWidth, r.bottom - r.top - kExtraHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void Paint(HWND hwnd, Frame& f) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT c{};
  GetClientRect(hwnd, &c);
  HBRUSH border = CreateSolidBrush(RGB(40, 40, 56));
  HBRUSH title = CreateSolidBrush(f.active ? RGB(30, 60, 140) : RGB(80, 80, 96));
  HBRUSH grip = CreateSolidBrush(RGB(120, 120, 140));
  RECT pieces[] = {{0, 0, c.right, kTop},
                   {0, 0, kLeft, c.bottom},
                   {c.right - 8, 0, c.right, c.bottom},
                   {0, c.bottom - 14, c.right, c.bottom}};
  FillRect(dc, &pieces[0], title);
  for (int i = 1; i < 4; ++i) FillRect(dc, &pieces[i], border);
  RECT g{c.right - kGrip + 6, c.bottom - 10, c.right - 2, c.bottom - 2};
  FillRect(dc, &g, grip);
  RECT x = CloseBox(hwnd);
  FillRect(dc, &x, static_cast<HBRUSH>(GetStockObject(f.closePressed ? BLACK_BRUSH : WHITE_BRUSH)));
  DeleteObject(border);
  DeleteObject(title);
  DeleteObject(grip);
  EndPaint(hwnd, &ps);
}

// Snaps a frame placed at `r` to an edge of its owner that is within kDock.
void Dock(HWND hwnd, RECT& r) {
  HWND owner = GetWindow(hwnd, GW_OWNER);
  RECT o{};
  if (!owner || !IsWindowVisible(owner) || !GetWindowRect(owner, &o)) return;
  const int w = r.right - r.left, h = r.bottom - r.top;
  auto within = [](int a, int b) { return a - b <= kDock && b - a <= kDock; };
  if (within(r.left, o.right)) r.left = o.right;
  if (within(r.right, o.left)) r.left = o.left - w;
  if (within(r.top, o.bottom)) r.top = o.bottom;
  if (within(r.bottom, o.top)) r.top = o.top - h;
  if (within(r.left, o.left)) r.left = o.left;
  if (within(r.top, o.top)) r.top = o.top;
  r.right = r.left + w;
  r.bottom = r.top + h;
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Frame* f = FrameOf(hwnd);
  switch (msg) {
    case WM_SHOWWINDOW:
      if (wParam)
        if (HWND child = GetWindow(hwnd, GW_CHILD)) {
          RECT cr{};
          GetWindowRect(child, &cr);
          SetWindowPos(child, nullptr, kLeft, kTop, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
          SetWindowPos(hwnd, nullptr, 0, 0, cr.right - cr.left + kExtraWidth, cr.bottom - cr.top + kExtraHeight,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
      break;
    case WM_PAINT:
      if (f) {
        Paint(hwnd, *f);
        return 0;
      }
      break;
    case WM_ACTIVATE:
      if (f) {
        f->active = LOWORD(wParam) != WA_INACTIVE;
        InvalidateRect(hwnd, nullptr, FALSE);
        if (f->active)
          if (HWND child = GetWindow(hwnd, GW_CHILD)) SetFocus(child);
      }
      return 0;
    case WM_LBUTTONDOWN: {
      if (!f) break;
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      RECT c{}, x = CloseBox(hwnd);
      GetClientRect(hwnd, &c);
      if (PtInRect(&x, p)) {
        f->drag = Drag::Close;
        f->closePressed = true;
        InvalidateRect(hwnd, &x, FALSE);
      } else if (p.x >= c.right - kGrip && p.y >= c.bottom - kGrip) {
        f->drag = Drag::Resize;
      } else if (p.y < kTop) {
        f->drag = Drag::Move;
      } else {
        break;
      }
      GetCursorPos(&f->last);
      SetCapture(hwnd);
      return 0;
    }
    case WM_MOUSEMOVE: {
      if (!f || f->drag == Drag::None) break;
      POINT now{};
      GetCursorPos(&now);
      RECT r{};
      GetWindowRect(hwnd, &r);
      if (f->drag == Drag::Move) {
        OffsetRect(&r, now.x - f->last.x, now.y - f->last.y);
        f->last = now;
        Dock(hwnd, r);
        SetWindowPos(hwnd, nullptr, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      } else if (f->drag == Drag::Resize) {
        // Whole steps only: a drag shorter than a step changes nothing.
        int w = r.right - r.left, h = r.bottom - r.top;
        const int dx = (now.x - f->last.x) / kStepX, dy = (now.y - f->last.y) / kStepY;
        if (dx == 0 && dy == 0) return 0;
        // Step by step, so the result does not depend on how many mouse
        // messages the distance came in.
        for (int i = 0; i < std::abs(dx); ++i) w = std::max(kMinWidth, w + (dx > 0 ? kStepX : -kStepX));
        for (int i = 0; i < std::abs(dy); ++i) h = std::max(kMinHeight, h + (dy > 0 ? kStepY : -kStepY));
        f->last.x += dx * kStepX;
        f->last.y += dy * kStepY;
        SetWindowPos(hwnd, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        FitChild(hwnd);
        InvalidateRect(hwnd, nullptr, TRUE);
      }
      return 0;
    }
    case WM_LBUTTONUP: {
      if (!f || f->drag == Drag::None) break;
      const Drag was = f->drag;
      f->drag = Drag::None;
      ReleaseCapture();
      if (was == Drag::Close) {
        f->closePressed = false;
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        RECT x = CloseBox(hwnd);
        if (PtInRect(&x, p)) ShowWindow(hwnd, SW_HIDE);
        InvalidateRect(hwnd, nullptr, FALSE);
      }
      return 0;
    }
    case WM_NCDESTROY:
      if (f) {
        std::erase(g_frames, f);
        delete f;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      }
      break;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

HWND CreateEmbeddedFrame(HWND owner) {
  static bool registered = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClass;
    return RegisterClassW(&wc) != 0;
  }();
  if (!registered) return nullptr;
  HWND hwnd = CreateWindowExW(WS_EX_ACCEPTFILES | WS_EX_CONTROLPARENT, kClass, L"Winamp Window",
                              WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, kMinWidth, kMinHeight, owner, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  if (!hwnd) return nullptr;
  auto* f = new Frame{hwnd};
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(f));
  g_frames.push_back(f);
  return hwnd;
}

void DestroyEmbeddedFrames() {
  while (!g_frames.empty()) DestroyWindow(g_frames.back()->hwnd);
}

}  // namespace zul
