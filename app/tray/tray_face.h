#pragma once
// The tray icon: its record and state icon, the display timer's tip and
// Winamp window title, the hover timers, the click machine and the twelve
// click actions. Every playback action is a command to the Winamp window.
//
// Threads: UI thread.
#include <windows.h>

#include <functional>
#include <string>

#include "app/tray/click_machine.h"
#include "base/settings.h"

namespace zul {

inline constexpr UINT kTrayIconId = 1;
inline constexpr int kTimerHover = 9;
inline constexpr int kTimerHoverReset = 10;
inline constexpr int kTimerDisplayId = 7;

struct TrayIcons {
  HICON stop = nullptr;
  HICON play = nullptr;
  HICON pause = nullptr;
};

// What the tray asks of the menus and the tooltip (the main menu's and the
// tooltip's owners set them).
struct TrayCallbacks {
  std::function<void()> mainMenu;              // at the remembered cursor
  std::function<void(bool album)> tracksMenu;  // at the remembered cursor
  std::function<void()> trackTooltip;
  std::function<bool()> tooltipVisible;
  std::function<void()> tooltipHold;  // the pointer rests on the icon again
};

class TrayFace final : private ClickHost {
public:
  TrayFace(Settings& settings, UINT callbackMessage);

  void Attach(HWND main, HWND winamp);
  void SetCallbacks(TrayCallbacks callbacks) { callbacks_ = std::move(callbacks); }
  void SetIcons(const TrayIcons& icons);

  void Add();
  void Remove();
  void Toggle();
  bool Shown() const { return shown_; }
  // The quit removes the icon on a thread of its own.
  void MarkRemoved() { shown_ = false; }

  void OnTrayMessage(UINT mouseMessage, WPARAM wParam);
  // Timers 2 to 5, 9 and 10; false for other ids.
  bool OnTimer(UINT_PTR id);
  void OnDisplayTimer();
  // Starts the 250 ms display timer; it stops itself once playback is
  // stopped and the tip shows that.
  void WakeDisplay();
  // Sets the state icon and updates the record (the track tooltip does this).
  void RefreshIcon();

  // The track text of the current entry as the display timer shows it.
  std::wstring TrackText() const;
  POINT LastCursor() const { return cursor_; }
  void RunAction(int code) override;
  std::wstring Tip() const { return tip_; }

private:
  void StartTimer(int id, unsigned ms) override { SetTimer(main_, static_cast<UINT_PTR>(id), ms, nullptr); }
  void StopTimer(int id) override { KillTimer(main_, static_cast<UINT_PTR>(id)); }
  void ShowMainMenu() override;
  void HoldStep(TrayButton button, int pressAndHold) override;
  void Modify();
  void Command(UINT id) const;
  HICON IconForState(int state) const;
  int HostState() const;

  Settings& settings_;
  UINT callbackMessage_;
  HWND main_ = nullptr;
  HWND winamp_ = nullptr;
  TrayCallbacks callbacks_;
  TrayIcons icons_;
  HICON icon_ = nullptr;
  std::wstring tip_;
  bool shown_ = false;
  bool hoverPending_ = false;
  bool displayRunning_ = false;
  POINT cursor_{};
  ClickMachine clicks_;
};

}  // namespace zul
