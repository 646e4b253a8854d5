#pragma once
// Counts the clicks of the tray icon's two buttons and the press-and-hold
// steps, and says which action runs when. It owns no timers: the window
// that hosts it starts and stops them by id and feeds back their ticks.
//
// Threads: UI thread.
#include <array>

namespace zul {

enum class TrayButton { Left, Right };

// Timer ids on the main window.
inline constexpr int kTimerHoldLeft = 2;
inline constexpr int kTimerHoldRight = 3;
inline constexpr int kTimerCountRight = 4;
inline constexpr int kTimerCountLeft = 5;

struct ClickSettings {
  std::array<int, 4> left{};   // action codes for 1..4 left clicks
  std::array<int, 4> right{};  // the same for the right button
  int pressAndHold = 2;        // 0 seek, 1 volume, anything else off
  bool noClicks = false;       // every release opens the main menu
};

class ClickHost {
public:
  virtual void StartTimer(int id, unsigned ms) = 0;
  virtual void StopTimer(int id) = 0;
  virtual void RunAction(int code) = 0;
  virtual void ShowMainMenu() = 0;
  // One press-and-hold step of that button (seek or volume by the setting).
  virtual void HoldStep(TrayButton button, int pressAndHold) = 0;

protected:
  ~ClickHost() = default;
};

class ClickMachine {
public:
  ClickMachine(ClickHost& host, unsigned doubleClickMs) : host_(host), doubleClickMs_(doubleClickMs) {}

  void SetSettings(const ClickSettings& s) { settings_ = s; }
  void SetDoubleClickTime(unsigned ms) { doubleClickMs_ = ms; }

  // Down or double-click message of a button.
  void Press(TrayButton b);
  void Release(TrayButton b);
  // A tick of timers 2 to 5; other ids are not this machine's (false).
  bool OnTimer(int id);

  int PendingClicks(TrayButton b) const { return Of(b).pending; }

private:
  struct ButtonState {
    bool down = false;
    int pending = 0;
  };
  ButtonState& Of(TrayButton b) { return b == TrayButton::Left ? left_ : right_; }
  const ButtonState& Of(TrayButton b) const { return b == TrayButton::Left ? left_ : right_; }
  const std::array<int, 4>& Actions(TrayButton b) const {
    return b == TrayButton::Left ? settings_.left : settings_.right;
  }
  static int HoldTimer(TrayButton b) { return b == TrayButton::Left ? kTimerHoldLeft : kTimerHoldRight; }
  static int CountTimer(TrayButton b) { return b == TrayButton::Left ? kTimerCountLeft : kTimerCountRight; }
  bool HoldEnabled() const { return settings_.pressAndHold == 0 || settings_.pressAndHold == 1; }
  void CountFired(TrayButton b);
  void HoldFired(TrayButton b);

  ClickHost& host_;
  unsigned doubleClickMs_;
  ClickSettings settings_;
  ButtonState left_, right_;
  bool held_ = false;  // a hold step ran during the current press
  bool holdRepeating_ = false;
};

}  // namespace zul
