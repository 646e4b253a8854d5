#include "prefs/prefs_rules.h"

#include <gtest/gtest.h>

#include "prefs/advanced_model.h"
#include "resources/prefs_resource.h"

using namespace zul;

TEST(PrefsRules, RefusesOneHotkeyOnTwoActionsAndNoMainMenuClick) {
  Settings s;
  EXPECT_EQ(prefs::RefusalMessage(s), 0);
  s.hotkeys[0] = {80, 3};
  s.hotkeys[5] = {80, 2};  // same key, other modifiers: allowed
  EXPECT_EQ(prefs::RefusalMessage(s), 0);
  s.hotkeys[7] = {80, 3};
  EXPECT_EQ(prefs::RefusalMessage(s), IDS_HOTKEY_TWICE);
  s.hotkeys[7] = {};
  s.rightClicks[0] = 0;
  EXPECT_EQ(prefs::RefusalMessage(s), IDS_MAIN_MENU_NEEDED);
  s.clicks[3] = 10;
  EXPECT_EQ(prefs::RefusalMessage(s), 0);
}

TEST(PrefsRules, HotkeyFlagsBothWays) {
  // control: shift 1, control 2, alt 4; RegisterHotKey: alt 1, control 2, shift 4
  EXPECT_EQ(prefs::ModifiersFromControl(1), 4);
  EXPECT_EQ(prefs::ModifiersFromControl(4), 1);
  EXPECT_EQ(prefs::ModifiersFromControl(6), 3);
  for (int m = 0; m < 8; ++m) EXPECT_EQ(prefs::ModifiersFromControl(prefs::ControlFromModifiers(m)), m);
}

TEST(PrefsRules, PagePaths) {
  EXPECT_EQ(prefs::SplitPagePath(L"Plugins::Input::Standard plugin"),
            (std::vector<std::wstring>{L"Plugins", L"Input", L"Standard plugin"}));
  EXPECT_EQ(prefs::SplitPagePath(L"::A::::B::"), (std::vector<std::wstring>{L"A", L"B"}));
}

TEST(AdvancedSettings, ListsOnlyWhatNoPageEditsAndRefusesValuesTheSettingsWouldChange) {
  Settings s;
  std::vector<prefs::AdvancedRow> rows = prefs::AdvancedRows(s);
  auto find = [&](const wchar_t* key) -> prefs::AdvancedRow* {
    for (auto& r : rows)
      if (r.key == key) return &r;
    return nullptr;
  };
  ASSERT_NE(find(L"AutPeriod"), nullptr);
  EXPECT_EQ(find(L"AutPeriod")->type, L"int");
  EXPECT_EQ(find(L"AutPeriod")->defaultValue, L"5");
  ASSERT_NE(find(L"ShuffleMode"), nullptr);
  EXPECT_EQ(find(L"ShuffleMode")->type, L"bool");
  ASSERT_NE(find(L"sortTemplate"), nullptr);
  EXPECT_EQ(find(L"sortTemplate")->type, L"text");
  EXPECT_EQ(find(L"TPC"), nullptr);      // the General page's
  EXPECT_EQ(find(L"PlayKey"), nullptr);  // the Hotkeys page's
  EXPECT_EQ(find(L"Recent0"), nullptr);  // a list

  struct Case {
    const wchar_t* key;
    const wchar_t* value;
    bool accepted;
  } cases[] = {
      {L"AutPeriod", L"30", true},  {L"AutPeriod", L"0", false},   {L"AutPeriod", L"ten", false},
      {L"ShuffleMode", L"1", true}, {L"ShuffleMode", L"2", false}, {L"sortTemplate", L"%1%2", true},
  };
  for (const Case& c : cases) {
    std::vector<prefs::AdvancedRow> edited = rows;
    for (auto& r : edited)
      if (r.key == c.key) r.value = c.value;
    Settings after = s;
    after.currentInPlaylist = 42;
    const auto refused = prefs::ApplyAdvancedRows(edited, after);
    EXPECT_EQ(!refused.has_value(), c.accepted) << c.key << "=" << c.value;
    if (refused) EXPECT_EQ(*refused, c.key);
    if (!refused) EXPECT_EQ(after.currentInPlaylist, 42);  // what the save does not write stays
  }
  Settings after = s;
  for (auto& r : rows)
    if (r.key == L"AutPeriod") r.value = L"30";
  ASSERT_FALSE(prefs::ApplyAdvancedRows(rows, after));
  EXPECT_EQ(after.autPeriod, 30);
}
