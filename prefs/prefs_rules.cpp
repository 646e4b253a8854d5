#include "prefs/prefs_rules.h"

#include <set>
#include <utility>

#include "resources/prefs_resource.h"

namespace zul::prefs {
namespace {

constexpr int kMainMenuAction = 10;

bool TwoActionsOnOneHotkey(const Settings& s) {
  std::set<std::pair<int, int>> seen;
  for (const HotkeySetting& h : s.hotkeys) {
    if (h.key == 0) continue;
    if (!seen.insert({h.key, h.modifiers}).second) return true;
  }
  return false;
}

bool SomeClickOpensMainMenu(const Settings& s) {
  for (int a : s.clicks)
    if (a == kMainMenuAction) return true;
  for (int a : s.rightClicks)
    if (a == kMainMenuAction) return true;
  return false;
}

}  // namespace

int RefusalMessage(const Settings& s) {
  if (TwoActionsOnOneHotkey(s)) return IDS_HOTKEY_TWICE;
  if (!SomeClickOpensMainMenu(s)) return IDS_MAIN_MENU_NEEDED;
  return 0;
}

bool NeedsRestart(const Settings& before, const Settings& after) {
  return before.language != after.language || before.emulateWinamp != after.emulateWinamp ||
         before.xpLookAndFeel != after.xpLookAndFeel;
}

int ModifiersFromControl(int flags) { return ((flags & 4) ? 1 : 0) | ((flags & 2) ? 2 : 0) | ((flags & 1) ? 4 : 0); }

int ControlFromModifiers(int modifiers) {
  return ((modifiers & 1) ? 4 : 0) | ((modifiers & 2) ? 2 : 0) | ((modifiers & 4) ? 1 : 0);
}

std::vector<std::wstring> SplitPagePath(std::wstring_view path) {
  std::vector<std::wstring> levels;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find(L"::", start);
    if (end == std::wstring_view::npos) end = path.size();
    if (end > start) levels.emplace_back(path.substr(start, end - start));
    start = end + 2;
  }
  return levels;
}

}  // namespace zul::prefs
