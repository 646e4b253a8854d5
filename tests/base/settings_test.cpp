#include <gtest/gtest.h>

#include "base/profile_text.h"
#include "base/settings.h"

namespace zul {
namespace {

class TextReader : public ProfileReader {
public:
  explicit TextReader(const std::wstring& text) : text_(text) {}
  std::optional<std::wstring> Read(std::wstring_view section, std::wstring_view key) const override {
    return text_.Get(section, key);
  }
  ProfileText text_;
};

Settings Load(const std::wstring& ini) {
  Settings s;
  LoadSettings(TextReader(ini), s);
  return s;
}

TEST(SettingsCodec, IntegersReadLikeTheProfileFunctions) {
  struct Case {
    const wchar_t* text;
    int expected;
  } cases[] = {
      {L"42", 42},
      {L"-7", -7},
      {L"  12", 12},
      {L"0x10", 16},
      {L"0XfF", 255},
      {L"16777215", 0xFFFFFF},
      {L"0xFFFFFF", 0xFFFFFF},
      {L"12abc", 12},
      {L"abc", 0},
      {L"", 99},
      {L"0x", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseProfileInt(c.text, 99), c.expected) << c.text;
}

TEST(SettingsCodec, ColoursAreWrittenAsHexadecimalBytes) {
  EXPECT_EQ(FormatColour(0xE4C4B4), L"0xE4C4B4");
  EXPECT_EQ(FormatColour(0x0000FF), L"0x0000FF");
  EXPECT_EQ(FormatColour(0x12345678), L"0x345678");  // only 24 bits are a colour
}

TEST(SettingsCodec, RectanglesKeepMinus1000ForMissingFields) {
  EXPECT_EQ(ParseRect(L"1 2 3 4"), (SavedRect{1, 2, 3, 4}));
  EXPECT_EQ(ParseRect(L"10 20"), (SavedRect{10, 20, -1000, -1000}));
  EXPECT_EQ(ParseRect(L"-5 x 7 8"), (SavedRect{-5, -1000, -1000, -1000}));
  EXPECT_EQ(ParseRect(L""), SavedRect{});
  EXPECT_EQ(FormatRect(SavedRect{}), L"-1000 -1000 -1000 -1000");
  EXPECT_EQ(FormatRect(SavedRect{-3, 0, 640, 480}), L"-3 0 640 480");
}

TEST(Settings, FreshInstallationGivesTheDefaults) {
  Settings s = Load(L"");
  EXPECT_EQ(s.clicks, (std::array<int, 4>{1, 4, 3, 2}));
  EXPECT_EQ(s.rightClicks, (std::array<int, 4>{10, 0, 0, 0}));
  for (const auto& h : s.hotkeys) EXPECT_EQ(h.key, 0);
  EXPECT_EQ(s.autoPlay, 1);
  EXPECT_EQ(s.menuTracks, 1);
  EXPECT_EQ(s.menuAlbum, 1);
  EXPECT_EQ(s.menuPrevNext, 1);
  EXPECT_EQ(s.tracksPerColumn, 10);
  EXPECT_EQ(s.initDir, L"C:\\");
  EXPECT_EQ(s.sortTemplate, L"%8%9%7");
  EXPECT_EQ(s.gradientStart, 0xE4C4B4);
  EXPECT_EQ(s.skins, std::vector<std::wstring>{L""});
  EXPECT_TRUE(s.eqBands.empty());
  EXPECT_EQ(s.consoleRect, SavedRect{});
  EXPECT_NE(s.toolTipText.find(L"<td> %6</td>"), std::wstring::npos);
}

TEST(Settings, ListEndsFollowTheirOwnRules) {
  // Skins: a numbered value that merely contains NONE ends the list.
  Settings s =
      Load(L"[Preferences]\nCurrentSkin=a.sk2\nCurrentSkin1=b.sk2\nCurrentSkin2=MyNONEskin\nCurrentSkin3=c.sk2\n");
  EXPECT_EQ(s.skins, (std::vector<std::wstring>{L"a.sk2", L"b.sk2"}));
  // "NONE" as entry 0 is kept: it names the built-in skin.
  s = Load(L"[Preferences]\nCurrentSkin=NONE\nCurrentSkin1=b.sk2\n");
  EXPECT_EQ(s.skins, (std::vector<std::wstring>{L"NONE", L"b.sk2"}));
  // EQ: the first empty value ends the list.
  s = Load(L"[Preferences]\nEQ0=a\nEQ1=b\nEQ2=c\nEQ3=\nEQ4=e\n");
  EXPECT_EQ(s.eqBands, (std::vector<std::wstring>{L"a", L"b", L"c"}));
  // Automation folders: the count decides.
  s = Load(L"[Preferences]\nAutDirsCnt=2\nAutDir1=C:\\x\nAutDir2=C:\\y\nAutDir3=C:\\z\n");
  EXPECT_EQ(s.autDirs, (std::vector<std::wstring>{L"C:\\x", L"C:\\y"}));
  // Plug-ins: missing, empty or NONE ends the list.
  s = Load(L"[Preferences]\ndllInName0=STANDARD\ndllInName1=C:\\in_x.dll\ndllInName2=NONE\ndllInName3=C:\\in_y.dll\n");
  EXPECT_EQ(s.inputPlugins, (std::vector<std::wstring>{L"STANDARD", L"C:\\in_x.dll"}));
}

TEST(Settings, ColoursAndRectanglesReadFromHandWrittenValues) {
  Settings s =
      Load(L"[Preferences]\nborder_color=16777215\nConsole=10 20\nSeekBar=1 2 3 4\n[MenuXP]\nGradientEnd=0x00FF00\n");
  EXPECT_EQ(s.borderColor, 0xFFFFFF);
  EXPECT_EQ(s.gradientEnd, 0x00FF00);
  EXPECT_EQ(s.consoleRect, (SavedRect{10, 20, -1000, -1000}));
  EXPECT_EQ(s.seekBarRect, (SavedRect{1, 2, 3, 4}));
}

std::vector<ProfileEdit> SaveAll(const Settings& s) {
  std::vector<ProfileEdit> edits;
  AppendSaveAll(s, edits);
  return edits;
}

TEST(Settings, SaveWritesEveryKeyInOrderWithListTerminators) {
  Settings s;
  s.eqBands = {L"1", L"2"};
  s.autDirs = {L"D:\\m"};
  s.inputPlugins = {L"STANDARD"};
  std::vector<ProfileEdit> edits = SaveAll(s);
  std::vector<std::wstring> keys;
  for (const auto& e : edits) keys.push_back(e.key);
  auto at = [&](const wchar_t* k) {
    auto it = std::find(keys.begin(), keys.end(), k);
    EXPECT_NE(it, keys.end()) << k;
    return it - keys.begin();
  };
  EXPECT_EQ(keys.front(), L"Language");
  EXPECT_EQ(keys.back(), L"scrollMode");
  // A few anchors of the order.
  EXPECT_LT(at(L"CurrentSkinSel"), at(L"CurrentSkin"));
  EXPECT_LT(at(L"CurrentSkin1"), at(L"changeSkinOnEachTrack"));
  EXPECT_LT(at(L"Gap"), at(L"NPKey"));
  EXPECT_EQ(at(L"NPMod"), at(L"NPKey") + 1);
  EXPECT_EQ(at(L"InitDir"), at(L"AutomationMod") + 1);
  EXPECT_EQ(at(L"EQ2"), at(L"EQ1") + 1);
  EXPECT_LT(at(L"AutDirsCnt"), at(L"AutDir1"));
  EXPECT_LT(at(L"displayConsoleAOT"), at(L"GradientStart"));
  EXPECT_LT(at(L"animation"), at(L"XPLookNFeel"));
  EXPECT_EQ(at(L"dllInName1"), at(L"dllInName0") - 1);  // "NONE" first, then the names
  EXPECT_LT(at(L"dllGenName0"), at(L"activateWindowsMessenger"));
  // List terminators.
  auto value = [&](const wchar_t* k) { return edits[at(k)].value; };
  EXPECT_EQ(value(L"CurrentSkin1"), L"NONE");
  EXPECT_EQ(value(L"EQ2"), L"");
  EXPECT_EQ(value(L"dllInName1"), L"NONE");
  EXPECT_EQ(value(L"dllOutName0"), L"NONE");
  EXPECT_EQ(value(L"GradientStart"), L"0xE4C4B4");
  EXPECT_EQ(edits[at(L"GradientStart")].section, L"MenuXP");
  // GradientWidth is never written; every key is written once.
  EXPECT_EQ(std::count(keys.begin(), keys.end(), L"GradientWidth"), 0);
  std::vector<std::wstring> sorted = keys;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
}

TEST(Settings, SavedValuesReadBackUnchanged) {
  Settings s;
  s.language = L"deutsch";
  s.clicks = {5, 6, 7, 8};
  s.skins = {L"NONE", L"x.skn"};
  s.currentSkinSel = 1;
  s.hotkeys[static_cast<int>(Hotkey::Play)] = {0x50, 3};
  s.recent[0] = L"C:\\Music\\a.mp3";
  s.eqBands = {L"0 10 1", L"1000 -5 2"};
  s.autDirs = {L"C:\\a", L"D:\\b"};
  s.gradientEnd = 0x123456;
  s.toolTipText = L"%1\\r\\n%2";
  s.outputPlugins = {L"C:\\out_x.dll", L"STANDARD"};
  s.wmTitle = L"  spaced  ";         // the profile functions trim unquoted values
  s.w2fPlay = L"\"quoted\"";         // and take one pair of quotes away
  s.renameTemplate = L"\" %1 - %3";  // a lone quote is kept as it is
  std::vector<ProfileEdit> edits = SaveAll(s);
  ProfileText text;
  for (const auto& e : edits) text.Set(e.section, e.key, e.value);
  Settings back;
  LoadSettings(TextReader(text.Text()), back);
  EXPECT_EQ(back.language, s.language);
  EXPECT_EQ(back.clicks, s.clicks);
  EXPECT_EQ(back.skins, s.skins);
  EXPECT_EQ(back.currentSkinSel, 1);
  EXPECT_EQ(back.hotkeys[static_cast<int>(Hotkey::Play)].key, 0x50);
  EXPECT_EQ(back.hotkeys[static_cast<int>(Hotkey::Play)].modifiers, 3);
  EXPECT_EQ(back.recent, s.recent);
  EXPECT_EQ(back.eqBands, s.eqBands);
  EXPECT_EQ(back.autDirs, s.autDirs);
  EXPECT_EQ(back.gradientEnd, 0x123456);
  EXPECT_EQ(back.toolTipText, s.toolTipText);
  EXPECT_EQ(back.outputPlugins, s.outputPlugins);
  EXPECT_EQ(back.wmTitle, s.wmTitle);
  EXPECT_EQ(back.w2fPlay, s.w2fPlay);
  EXPECT_EQ(back.renameTemplate, s.renameTemplate);
}

// The file is edited and copied by hand: numbers outside what a key can mean
// are clamped (counts, times) or give the default (codes), never used as
// they are.
TEST(Settings, NumbersOutsideTheirRangeAreMadeSafe) {
  struct Case {
    const wchar_t* line;
    int Settings::*field;
    int expected;
  };
  const Case cases[] = {
      {L"AutPeriod=71583", &Settings::autPeriod, 1440},  // × 60000 ms would wrap to a 12.7 s timer
      {L"AutPeriod=0", &Settings::autPeriod, 1},
      {L"AutPeriod=-5", &Settings::autPeriod, 1},
      {L"AutPeriod=60", &Settings::autPeriod, 60},
      {L"Gap=2000000000", &Settings::gap, 10000},
      {L"Gap=-1", &Settings::gap, 0},
      {L"Gap=250", &Settings::gap, 250},
      {L"CurrentSkinSel=-3", &Settings::currentSkinSel, 0},
      {L"CurrentSkinSel=7", &Settings::currentSkinSel, 0},  // the list holds one skin
      {L"TPC=0", &Settings::tracksPerColumn, 1},
      {L"TPC=100000", &Settings::tracksPerColumn, 100},
      {L"PressAndHold=7", &Settings::pressAndHold, 2},
      {L"ShowingMode=3", &Settings::showingMode, 0},
      {L"transparency=250", &Settings::transparency, 100},
      {L"show_time=-100", &Settings::showTime, 0},
      {L"wmSpeed=0", &Settings::wmSpeed, 1},
      {L"scrollMode=9", &Settings::scrollMode, 0},
      {L"AutoPlay=0", &Settings::autoPlay, 0},
      {L"Repeat=-1", &Settings::repeat, 1},  // any non-zero switch is on
      {L"border_color=-1", &Settings::borderColor, 0xFFFFFF},
      {L"CurrentInPlaylist=-4", &Settings::currentInPlaylist, -1},
      {L"CurrentInPlaylist=123456", &Settings::currentInPlaylist, 9999},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << std::string(k.line, k.line + wcslen(k.line)));
    Settings s = Load(std::wstring(L"[Preferences]\n") + k.line + L"\n");
    EXPECT_EQ(s.*k.field, k.expected);
  }
  // No action 12: the default, Next.
  EXPECT_EQ(Load(L"[Preferences]\nClicks2=12\n").clicks, (std::array<int, 4>{1, 4, 3, 2}));
  EXPECT_EQ(Load(L"[Preferences]\nRClicks1=-1\nRClicks2=11\n").rightClicks, (std::array<int, 4>{10, 11, 0, 0}));
  // A skin index inside the list is kept.
  EXPECT_EQ(Load(L"[Preferences]\nCurrentSkinSel=1\nCurrentSkin=a\nCurrentSkin1=b\n").currentSkinSel, 1);
  // Hotkeys outside the key codes and modifier bits are no hotkey.
  Settings h = Load(L"[Preferences]\nPlayKey=70000\nPlayMod=-1\nStopKey=65\nStopMod=6\n");
  EXPECT_EQ(h.hotkeys[static_cast<int>(Hotkey::Play)].key, 0);
  EXPECT_EQ(h.hotkeys[static_cast<int>(Hotkey::Play)].modifiers, 0);
  EXPECT_EQ(h.hotkeys[static_cast<int>(Hotkey::Stop)].key, 65);
  EXPECT_EQ(h.hotkeys[static_cast<int>(Hotkey::Stop)].modifiers, 6);
  // A huge folder count reads what can be there, not two billion keys.
  Settings a = Load(L"[Preferences]\nAutDirsCnt=2147483647\nAutDir1=C:\\x\n");
  EXPECT_EQ(a.autDirs.size(), 256u);
  EXPECT_EQ(a.autDirs[0], L"C:\\x");
  EXPECT_TRUE(Load(L"[Preferences]\nAutDirsCnt=-9\n").autDirs.empty());
}

TEST(Settings, EmptySkinListIsWrittenAsNone) {
  Settings s;
  s.skins.clear();
  std::vector<ProfileEdit> edits = SaveAll(s);
  auto it = std::find_if(edits.begin(), edits.end(), [](const ProfileEdit& e) { return e.key == L"CurrentSkin"; });
  ASSERT_NE(it, edits.end());
  EXPECT_EQ(it->value, L"NONE");
}

}  // namespace
}  // namespace zul
