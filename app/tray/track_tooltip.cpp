#include "app/tray/track_tooltip.h"

#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdlib>

#include "app/tray/tooltip_text.h"
#include "base/console_log.h"
#include "playlist/core/title_template.h"
#include "playlist/win32/playlist_service.h"

namespace zul {

// Measures with the tooltip's own fonts on a memory DC, so layout and
// drawing agree to the pixel.
class GdiMeasurer final : public html::Measurer {
public:
  explicit GdiMeasurer(TrackTooltip& tip) : tip_(tip), dc_(CreateCompatibleDC(nullptr)) {}
  ~GdiMeasurer() { DeleteDC(dc_); }
  html::Size Text(std::wstring_view text, const html::TextStyle& style) override {
    SelectObject(dc_, tip_.Font(style));
    SIZE s{};
    GetTextExtentPoint32W(dc_, text.data(), static_cast<int>(std::min<size_t>(text.size(), 4096)), &s);
    return html::Size{s.cx, s.cy};
  }
  html::Size Picture(const html::PictureRef& p) override {
    bool icon = false;
    HANDLE h = tip_.Picture(p, &icon);
    if (!h) return html::Size{0, 0};
    if (p.width > 0 && p.height > 0) return html::Size{p.width, p.height};
    if (icon) return html::Size{32, 32};
    BITMAP bm{};
    GetObjectW(h, sizeof bm, &bm);
    return html::Size{std::min<int>(bm.bmWidth, 128), std::min<int>(bm.bmHeight, 128)};
  }

private:
  TrackTooltip& tip_;
  HDC dc_;
};

namespace {

constexpr wchar_t kClass[] = L"ZulTrayTooltip";
constexpr UINT_PTR kTimerStep = 1;
constexpr int kMaxWidth = 420;
constexpr int kMargin = 6;
// How far the cursor may wander from where the tooltip was asked for before
// the hide delay starts.
constexpr int kLeaveDistance = 24;

std::optional<std::wstring> FindAlbumArt(const std::wstring& driveAndFolder) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((driveAndFolder + L"*.*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return std::nullopt;
  std::optional<std::wstring> art;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsAlbumArtFileName(found.cFileName)) {
      art = driveAndFolder + found.cFileName;
      break;
    }
  } while (FindNextFileW(find, &found));
  FindClose(find);
  return art;
}

COLORREF Mix(COLORREF a, COLORREF b, int num, int den) {
  if (den <= 0) return a;
  auto c = [&](int x, int y) { return x + (y - x) * num / den; };
  return RGB(c(GetRValue(a), GetRValue(b)), c(GetGValue(a), GetGValue(b)), c(GetBValue(a), GetBValue(b)));
}

}  // namespace

TrackTooltip::~TrackTooltip() {
  if (hwnd_) DestroyWindow(hwnd_);
  ReleaseResources();
}

void TrackTooltip::ReleaseResources() {
  for (auto& [key, font] : fonts_) DeleteObject(font);
  fonts_.clear();
  for (auto& [key, picture] : pictures_) {
    if (!picture.first) continue;
    if (picture.second)
      DestroyIcon(static_cast<HICON>(picture.first));
    else
      DeleteObject(picture.first);
  }
  pictures_.clear();
}

bool TrackTooltip::Create(HWND owner) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kClass;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  RegisterClassW(&wc);
  hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kClass, L"", WS_POPUP, 0, 0, 10, 10,
                          owner, nullptr, wc.hInstance, this);
  return hwnd_ != nullptr;
}

LRESULT CALLBACK TrackTooltip::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<TrackTooltip*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<TrackTooltip*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self && self->hwnd_ == hwnd) return self->Handle(msg, wParam, lParam);
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT TrackTooltip::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      RECT client;
      GetClientRect(hwnd_, &client);
      Paint(dc, client);
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      Hide();
      return 0;
    case WM_TIMER:
      OnTimer(wParam);
      return 0;
  }
  return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

HFONT TrackTooltip::Font(const html::TextStyle& style) {
  const int key = (style.bold ? 1 : 0) | (style.italic ? 2 : 0) | (style.heading ? 4 : 0);
  auto found = fonts_.find(key);
  if (found != fonts_.end()) return found->second;
  HFONT font = CreateFontW(style.heading ? -17 : -12, 0, 0, 0, style.bold ? FW_BOLD : FW_NORMAL, style.italic, FALSE,
                           FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                           DEFAULT_PITCH, L"Tahoma");
  fonts_[key] = font;
  return font;
}

HANDLE TrackTooltip::Picture(const html::PictureRef& p, bool* isIcon) {
  const std::wstring key = std::to_wstring(static_cast<int>(p.kind)) + L"|" + std::to_wstring(p.resource) + L"|" +
                           std::to_wstring(p.width) + L"x" + std::to_wstring(p.height) + L"|" + p.file;
  auto found = pictures_.find(key);
  if (found != pictures_.end()) {
    *isIcon = found->second.second;
    return found->second.first;
  }
  HANDLE h = nullptr;
  bool icon = false;
  HINSTANCE self = GetModuleHandleW(nullptr);
  if (p.kind == html::Tag::Icon && p.resource > 0 && p.resource < 0x10000) {
    h = LoadImageW(self, MAKEINTRESOURCEW(p.resource), IMAGE_ICON, p.width, p.height, 0);
    icon = true;
  } else if (p.kind == html::Tag::Bmp && p.resource > 0 && p.resource < 0x10000) {
    h = LoadImageW(self, MAKEINTRESOURCEW(p.resource), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  } else if (!p.file.empty() && p.file.size() < MAX_PATH) {
    // BMP and JPG pictures beside the track, through GDI+.
    if (Gdiplus::Bitmap* bitmap = Gdiplus::Bitmap::FromFile(p.file.c_str())) {
      HBITMAP out = nullptr;
      if (bitmap->GetLastStatus() == Gdiplus::Ok) bitmap->GetHBITMAP(Gdiplus::Color(255, 255, 255), &out);
      delete bitmap;
      h = out;
    }
  }
  pictures_[key] = {h, icon};
  *isIcon = icon;
  return h;
}

void TrackTooltip::ShowForCurrentEntry() {
  PlaylistManager& list = ThePlaylist();
  const int current = list.GetCurrent();
  CachedTag entry;
  if (current >= 0 && current < list.Count()) {
    list.ReadTagsAt(current, false);
    entry = list.GetEntry(current);
  }
  TooltipFields fields{entry.GetArtist(true), entry.GetTitle(true),   entry.GetAlbum(true),
                       entry.GetYear(true),   entry.GetComment(true), entry.GetLengthText(true),
                       entry.GetFileName(),   entry.GetDrive(),       entry.GetFolder()};
  const std::wstring& tmpl = settings_.toolTipText.empty() ? DefaultToolTipTemplate() : settings_.toolTipText;
  std::optional<std::wstring> art;
  if (tmpl.find(L"%A") != std::wstring::npos && !entry.GetPath().empty() && !entry.IsUrl())
    art = FindAlbumArt(entry.GetDrive() + entry.GetFolder());
  ShowText(ExpandTooltipTemplate(tmpl, fields, art));
}

RECT TrackTooltip::Anchor() const {
  RECT r{};
  if (HWND bar = FindWindowW(L"Shell_TrayWnd", nullptr))
    if (HWND notify = FindWindowExW(bar, nullptr, L"TrayNotifyWnd", nullptr))
      if (GetWindowRect(notify, &r)) return r;
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  return RECT{w - 40, h - 20, w, h};
}

void TrackTooltip::ShowText(const std::wstring& html) {
  if (!hwnd_) return;
  // The window's text is what it shows, for screen readers and for anyone
  // who asks the window.
  SetWindowTextW(hwnd_, html.c_str());
  const auto document = html::Parse(html);
  GdiMeasurer measure(*this);
  layout_ = html::LayOut(*document, measure, kMaxWidth, 0);
  const int border = settings_.border ? std::clamp(settings_.borderWidth, 0, 20) : 0;
  const int borderH = settings_.border ? std::clamp(settings_.borderHeight, 0, 20) : 0;
  size_.cx = layout_.width + 2 * (kMargin + border);
  size_.cy = layout_.height + 2 * (kMargin + borderH);
  const RECT anchor = Anchor();
  const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
  int x = std::clamp(static_cast<int>(anchor.right - size_.cx), 0, std::max(0, screenW - static_cast<int>(size_.cx)));
  int y = anchor.top - size_.cy;
  if (y < 0) y = std::min(static_cast<int>(anchor.bottom), std::max(0, screenH - static_cast<int>(size_.cy)));
  SetWindowPos(hwnd_, HWND_TOPMOST, x, y, size_.cx, size_.cy, SWP_NOACTIVATE);
  targetAlpha_ = 255 - std::clamp(settings_.transparency, 0, 100) * 255 / 100;
  InvalidateRect(hwnd_, nullptr, FALSE);
  GetCursorPos(&origin_);
  phase_ = Phase::Waiting;
  phaseStart_ = GetTickCount();
  SetTimer(hwnd_, kTimerStep, static_cast<UINT>(std::clamp(settings_.animation, 10, 1000)), nullptr);
  if (settings_.showTime <= 0) OnTimer(kTimerStep);
}

// The window is layered only while it needs to be (transparency or a
// fade): an opaque tooltip stays a plain window, which every display
// draws, with or without a compositor.
void TrackTooltip::SetAlpha(int alpha) {
  alpha_ = std::clamp(alpha, 0, 255);
  const bool layered = alpha_ < 255 || settings_.fadeIn > 0 || settings_.fadeOut > 0;
  const LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_EXSTYLE);
  if (layered != ((style & WS_EX_LAYERED) != 0))
    SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, layered ? (style | WS_EX_LAYERED) : (style & ~WS_EX_LAYERED));
  if (layered) SetLayeredWindowAttributes(hwnd_, 0, static_cast<BYTE>(alpha_), LWA_ALPHA);
}

void TrackTooltip::Hold() {
  if (!Visible()) return;
  GetCursorPos(&origin_);
  if (phase_ == Phase::Leaving || phase_ == Phase::FadingOut) {
    SetAlpha(targetAlpha_);
    phase_ = Phase::Shown;
    phaseStart_ = GetTickCount();
  }
}

void TrackTooltip::Hide() {
  if (!hwnd_) return;
  KillTimer(hwnd_, kTimerStep);
  phase_ = Phase::Hidden;
  ShowWindow(hwnd_, SW_HIDE);
}

// One animation step: wait for the show delay, fade in, watch the cursor,
// wait for the hide delay, fade out.
void TrackTooltip::OnTimer(UINT_PTR) {
  const DWORD now = GetTickCount();
  const DWORD elapsed = now - phaseStart_;
  auto enter = [&](Phase p) {
    phase_ = p;
    phaseStart_ = now;
  };
  switch (phase_) {
    case Phase::Hidden:
      KillTimer(hwnd_, kTimerStep);
      return;
    case Phase::Waiting:
      if (elapsed < static_cast<DWORD>(std::max(0, settings_.showTime))) return;
      SetAlpha(settings_.fadeIn > 0 ? 0 : targetAlpha_);
      ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
      enter(settings_.fadeIn > 0 ? Phase::FadingIn : Phase::Shown);
      return;
    case Phase::FadingIn:
      SetAlpha(static_cast<int>(targetAlpha_ * std::min<DWORD>(elapsed, settings_.fadeIn) / settings_.fadeIn));
      if (elapsed >= static_cast<DWORD>(settings_.fadeIn)) enter(Phase::Shown);
      return;
    case Phase::Shown: {
      // The hide delay runs once the cursor is neither on the tooltip, nor
      // near the notification area, nor near where it asked for the
      // tooltip (the icon, wherever the tray shows it).
      POINT cursor;
      GetCursorPos(&cursor);
      RECT mine, anchor = Anchor();
      GetWindowRect(hwnd_, &mine);
      InflateRect(&anchor, kLeaveDistance, kLeaveDistance);
      const bool nearOrigin =
          std::abs(cursor.x - origin_.x) <= kLeaveDistance && std::abs(cursor.y - origin_.y) <= kLeaveDistance;
      if (!PtInRect(&mine, cursor) && !PtInRect(&anchor, cursor) && !nearOrigin) enter(Phase::Leaving);
      return;
    }
    case Phase::Leaving:
      if (elapsed < static_cast<DWORD>(std::max(0, settings_.hideTime))) return;
      if (settings_.fadeOut > 0)
        enter(Phase::FadingOut);
      else
        Hide();
      return;
    case Phase::FadingOut:
      SetAlpha(static_cast<int>(targetAlpha_ -
                                targetAlpha_ * std::min<DWORD>(elapsed, settings_.fadeOut) / settings_.fadeOut));
      if (elapsed >= static_cast<DWORD>(settings_.fadeOut)) Hide();
      return;
  }
}

void TrackTooltip::Paint(HDC target, const RECT& client) {
  const int w = client.right, h = client.bottom;
  HDC dc = CreateCompatibleDC(target);
  HBITMAP surface = CreateCompatibleBitmap(target, std::max(1, w), std::max(1, h));
  HGDIOBJ oldSurface = SelectObject(dc, surface);

  // Background: solid, or a three-colour gradient across or down in bands
  // of "granularity" pixels.
  const COLORREF start = static_cast<COLORREF>(settings_.startBk), mid = static_cast<COLORREF>(settings_.midBk),
                 end = static_cast<COLORREF>(settings_.endBk);
  const bool across = settings_.effectBk == 1;
  const int span = across ? w : h;
  const int band = std::clamp(settings_.granularity, 1, 64);
  for (int p = 0; p < span; p += band) {
    COLORREF c = start;
    if (settings_.effectBk != 0)
      c = p < span / 2 ? Mix(start, mid, p, std::max(1, span / 2))
                       : Mix(mid, end, p - span / 2, std::max(1, span - span / 2));
    HBRUSH brush = CreateSolidBrush(c);
    RECT r = across ? RECT{p, 0, std::min(w, p + band), h} : RECT{0, p, w, std::min(h, p + band)};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
  }
  int bx = 0, by = 0;
  if (settings_.border) {
    bx = std::clamp(settings_.borderWidth, 0, 20);
    by = std::clamp(settings_.borderHeight, 0, 20);
    HBRUSH brush = CreateSolidBrush(settings_.customBorder ? static_cast<COLORREF>(settings_.borderColor) : end);
    RECT edges[] = {{0, 0, w, by}, {0, h - by, w, h}, {0, 0, bx, h}, {w - bx, 0, w, h}};
    for (const RECT& e : edges) FillRect(dc, &e, brush);
    DeleteObject(brush);
  }

  SetBkMode(dc, TRANSPARENT);
  const int ox = kMargin + bx, oy = kMargin + by;
  HDC pictureDc = CreateCompatibleDC(dc);
  for (const html::DrawOp& op : layout_.ops) {
    switch (op.kind) {
      case html::DrawOp::Kind::Text:
        SelectObject(dc, Font(op.style));
        SetTextColor(dc, op.style.colour);
        TextOutW(dc, ox + op.x, oy + op.y, op.text.c_str(), static_cast<int>(op.text.size()));
        break;
      case html::DrawOp::Kind::Line: {
        HBRUSH brush = CreateSolidBrush(op.colour);
        RECT r{ox + op.x, oy + op.y + op.h / 2, ox + op.x + op.w, oy + op.y + op.h / 2 + 1};
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        break;
      }
      case html::DrawOp::Kind::Picture: {
        bool icon = false;
        HANDLE picture = Picture(op.picture, &icon);
        if (!picture) break;
        if (icon) {
          DrawIconEx(dc, ox + op.x, oy + op.y, static_cast<HICON>(picture), op.w, op.h, 0, nullptr, DI_NORMAL);
        } else {
          BITMAP bm{};
          GetObjectW(picture, sizeof bm, &bm);
          HGDIOBJ old = SelectObject(pictureDc, picture);
          if (op.picture.mask)
            TransparentBlt(dc, ox + op.x, oy + op.y, op.w, op.h, pictureDc, 0, 0, bm.bmWidth, bm.bmHeight,
                           RGB(255, 0, 255));
          else
            StretchBlt(dc, ox + op.x, oy + op.y, op.w, op.h, pictureDc, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
          SelectObject(pictureDc, old);
        }
        break;
      }
    }
  }
  DeleteDC(pictureDc);
  BitBlt(target, 0, 0, w, h, dc, 0, 0, SRCCOPY);
  SelectObject(dc, oldSurface);
  DeleteObject(surface);
  DeleteDC(dc);
}

}  // namespace zul
