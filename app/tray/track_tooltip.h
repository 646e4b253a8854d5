#pragma once
// The tray icon's HTML tooltip: a top-most, click-through popup that shows
// the expanded tooltip template for the current entry above the
// notification area, in the look of the tooltip settings (background
// effect and colours, border, transparency) with its show, hide and fade
// times.
//
// Threads: UI thread.
#include <windows.h>

#include <map>
#include <memory>
#include <string>

#include "base/settings.h"
#include "ui/html_tooltip/html_layout.h"

namespace zul {

class TrackTooltip {
public:
  explicit TrackTooltip(Settings& settings) : settings_(settings) {}
  ~TrackTooltip();
  TrackTooltip(const TrackTooltip&) = delete;
  TrackTooltip& operator=(const TrackTooltip&) = delete;

  bool Create(HWND owner);
  // Expands the template for the current entry and shows it after the
  // "show" delay.
  void ShowForCurrentEntry();
  // Shows this already expanded text (the benchmark and the screenshots
  // use it with texts of their own).
  void ShowText(const std::wstring& html);
  void Hide();
  // The pointer rests on the icon again: a visible tooltip stays.
  void Hold();
  bool Visible() const { return hwnd_ && IsWindowVisible(hwnd_); }
  HWND hwnd() const { return hwnd_; }

private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);
  void Paint(HDC dc, const RECT& client);
  void SetAlpha(int alpha);
  RECT Anchor() const;
  void OnTimer(UINT_PTR id);
  HFONT Font(const html::TextStyle& style);
  HANDLE Picture(const html::PictureRef& p, bool* isIcon);
  void ReleaseResources();

  Settings& settings_;
  HWND hwnd_ = nullptr;
  html::Layout layout_;
  SIZE size_{};
  int alpha_ = 0;
  int targetAlpha_ = 255;
  enum class Phase { Hidden, Waiting, FadingIn, Shown, Leaving, FadingOut } phase_ = Phase::Hidden;
  DWORD phaseStart_ = 0;
  POINT origin_{};  // the cursor when the tooltip was asked for
  std::map<int, HFONT> fonts_;
  std::map<std::wstring, std::pair<HANDLE, bool>> pictures_;
  friend class GdiMeasurer;
};

}  // namespace zul
