#include "app/tray/click_machine.h"

#include <cstddef>

namespace zul {

void ClickMachine::Press(TrayButton b) {
  if (settings_.noClicks) return;
  Of(b).down = true;
  if (left_.pending == 0 && right_.pending == 0 && HoldEnabled()) {
    holdRepeating_ = false;
    host_.StartTimer(HoldTimer(b), doubleClickMs_);
  }
}

void ClickMachine::Release(TrayButton b) {
  if (settings_.noClicks) {
    host_.ShowMainMenu();
    return;
  }
  ButtonState& s = Of(b);
  if (!s.down && s.pending == 0) return;
  for (int id : {kTimerCountRight, kTimerCountLeft, kTimerHoldLeft, kTimerHoldRight}) host_.StopTimer(id);
  if (!held_) {
    const std::array<int, 4>& actions = Actions(b);
    if (s.pending == 0 && actions[1] == 0 && actions[2] == 0 && actions[3] == 0) {
      host_.RunAction(actions[0]);
    } else {
      ++s.pending;
      host_.StartTimer(CountTimer(b), doubleClickMs_);
    }
  }
  held_ = false;
  holdRepeating_ = false;
  s.down = false;
}

bool ClickMachine::OnTimer(int id) {
  switch (id) {
    case kTimerHoldLeft:
      HoldFired(TrayButton::Left);
      return true;
    case kTimerHoldRight:
      HoldFired(TrayButton::Right);
      return true;
    case kTimerCountLeft:
      CountFired(TrayButton::Left);
      return true;
    case kTimerCountRight:
      CountFired(TrayButton::Right);
      return true;
    default:
      return false;
  }
}

void ClickMachine::CountFired(TrayButton b) {
  host_.StopTimer(CountTimer(b));
  ButtonState& s = Of(b);
  const int count = s.pending;
  s.pending = 0;
  if (count >= 1 && count <= 4) host_.RunAction(Actions(b)[static_cast<std::size_t>(count - 1)]);
}

void ClickMachine::HoldFired(TrayButton b) {
  // A tick that outlived its press (the release stops the timer, but a
  // WM_TIMER already queued still arrives) does nothing.
  if (!Of(b).down) {
    host_.StopTimer(HoldTimer(b));
    return;
  }
  if (!holdRepeating_) {
    held_ = true;
    holdRepeating_ = true;
    host_.StartTimer(HoldTimer(b), settings_.pressAndHold == 0 ? 500u : 50u);
  }
  host_.HoldStep(b, settings_.pressAndHold);
}

}  // namespace zul
