// The tray's click counting, driven through its timers as the main window
// drives it: each case is a script of presses, releases and timer ticks and
// the actions, menus and hold steps it must produce.
#include "app/tray/click_machine.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace zul {
namespace {

class Recorder : public ClickHost {
public:
  void StartTimer(int id, unsigned ms) override { running[id] = ms; }
  void StopTimer(int id) override { running.erase(id); }
  void RunAction(int code) override { events.push_back("action " + std::to_string(code)); }
  void ShowMainMenu() override { events.push_back("menu"); }
  void HoldStep(TrayButton b, int mode) override {
    events.push_back(std::string(b == TrayButton::Left ? "hold L" : "hold R") + " mode " + std::to_string(mode));
  }
  std::map<int, unsigned> running;
  std::vector<std::string> events;
};

// Script letters: L/R press, l/r release, T fires every running timer once
// (the user waits longer than the double-click time), a fires only the hold
// timers.
void Play(ClickMachine& m, Recorder& r, const std::string& script) {
  for (char c : script) {
    switch (c) {
      case 'L':
        m.Press(TrayButton::Left);
        break;
      case 'R':
        m.Press(TrayButton::Right);
        break;
      case 'l':
        m.Release(TrayButton::Left);
        break;
      case 'r':
        m.Release(TrayButton::Right);
        break;
      case 'T': {
        auto running = r.running;
        for (auto& [id, ms] : running)
          if (r.running.count(id)) m.OnTimer(id);
        break;
      }
      case 'a':
        for (int id : {kTimerHoldLeft, kTimerHoldRight})
          if (r.running.count(id)) m.OnTimer(id);
        break;
    }
  }
}

struct Case {
  const char* name;
  ClickSettings settings;
  std::string script;
  std::vector<std::string> expected;
};

const ClickSettings kDefaults{{1, 4, 3, 2}, {10, 0, 0, 0}, 2, false};

TEST(ClickMachine, CountsClicksOfBothButtons) {
  const std::vector<Case> cases = {
      {"single left waits for the double-click time", kDefaults, "Ll", {}},
      {"single left after the wait", kDefaults, "LlT", {"action 1"}},
      {"double", kDefaults, "LlLlT", {"action 4"}},
      {"triple", kDefaults, "LlLlLlT", {"action 3"}},
      {"quadruple", kDefaults, "LlLlLlLlT", {"action 2"}},
      {"five quick clicks run nothing", kDefaults, "LlLlLlLlLlT", {}},
      {"right alone acts at once", kDefaults, "Rr", {"action 10"}},
      {"only Clicks1 acts on release", {{4, 0, 0, 0}, {10, 0, 0, 0}, 2, false}, "Ll", {"action 4"}},
      {"only Clicks1, twice", {{4, 0, 0, 0}, {10, 0, 0, 0}, 2, false}, "LlLl", {"action 4", "action 4"}},
      // A right click between two left clicks stops the left count timer;
      // the left clicks stay counted and the next left release continues.
      {"pending left survives a right click", kDefaults, "LlRrLlT", {"action 10", "action 4"}},
      {"no clicks: each release opens the menu",
       {{1, 4, 3, 2}, {10, 0, 0, 0}, 0, true},
       "LlRrLlLlT",
       {"menu", "menu", "menu", "menu"}},
      {"a release without a press does nothing", kDefaults, "lrT", {}},
  };
  for (const Case& c : cases) {
    Recorder r;
    ClickMachine m(r, 500);
    m.SetSettings(c.settings);
    Play(m, r, c.script);
    EXPECT_EQ(r.events, c.expected) << c.name;
  }
}

TEST(ClickMachine, PressAndHoldStepsWithoutCountingAClick) {
  Recorder r;
  ClickMachine m(r, 400);
  ClickSettings s = kDefaults;
  s.pressAndHold = 0;
  m.SetSettings(s);
  m.Press(TrayButton::Left);
  ASSERT_EQ(r.running.at(kTimerHoldLeft), 400u);  // first step after the double-click time
  Play(m, r, "a");
  EXPECT_EQ(r.running.at(kTimerHoldLeft), 500u);  // then every 500 ms
  Play(m, r, "aa");
  Play(m, r, "lT");
  EXPECT_EQ(r.events, (std::vector<std::string>{"hold L mode 0", "hold L mode 0", "hold L mode 0"}));
  EXPECT_TRUE(r.running.empty());

  // Volume mode repeats every 50 ms, right button steps the other way.
  Recorder v;
  ClickMachine mv(v, 400);
  s.pressAndHold = 1;
  mv.SetSettings(s);
  Play(mv, v, "Ra");
  EXPECT_EQ(v.running.at(kTimerHoldRight), 50u);
  Play(mv, v, "r");
  EXPECT_EQ(v.events, (std::vector<std::string>{"hold R mode 1"}));

  // Held or not is per press: the next plain click counts again.
  Play(mv, v, "LlT");
  EXPECT_EQ(v.events.back(), "action 1");
}

TEST(ClickMachine, HoldOffOrDuringACountStartsNoHoldTimer) {
  Recorder r;
  ClickMachine m(r, 400);
  m.SetSettings(kDefaults);  // PressAndHold 2: off
  m.Press(TrayButton::Left);
  EXPECT_EQ(r.running.count(kTimerHoldLeft), 0u);

  ClickSettings s = kDefaults;
  s.pressAndHold = 0;
  Recorder q;
  ClickMachine mq(q, 400);
  mq.SetSettings(s);
  Play(mq, q, "Ll");  // one click pending
  mq.Press(TrayButton::Left);
  EXPECT_EQ(q.running.count(kTimerHoldLeft), 0u);
  // A hold tick queued before the release arrives late: nothing happens.
  Play(mq, q, "l");
  mq.OnTimer(kTimerHoldLeft);
  Play(mq, q, "T");
  EXPECT_EQ(q.events, (std::vector<std::string>{"action 4"}));
}

}  // namespace
}  // namespace zul
