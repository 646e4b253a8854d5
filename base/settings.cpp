#include "base/settings.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cwctype>

namespace zul {
namespace {

enum class Kind { Bool, Int, Colour, String, Special };

// The values an integer key may take. The settings file is edited and
// copied by hand, so whatever it holds is input: a value outside the range
// of a count or a time is clamped to it; a value outside a list of codes
// (an action, a mode) names nothing and gives the key's default.
struct Range {
  int lo = INT_MIN;
  int hi = INT_MAX;
  bool codes = false;

  int Apply(int v, int def) const {
    if (v >= lo && v <= hi) return v;
    return codes ? def : std::clamp(v, lo, hi);
  }
};

constexpr Range Codes(int lo, int hi) { return Range{lo, hi, true}; }
constexpr Range Clamped(int lo, int hi) { return Range{lo, hi, false}; }

// The ranges, beside the table below that uses them.
constexpr Range kClickAction = Codes(0, 11);  // the action codes of the tray clicks
constexpr Range kPressAndHold = Codes(0, 2);
constexpr Range kShowingMode = Codes(0, 2);          // title, artist - title, file name
constexpr Range kSkinIndex = Clamped(0, INT_MAX);    // and below the list's length, see LoadSkins
constexpr Range kTracksPerColumn = Clamped(1, 100);  // the preferences page's spin range
constexpr Range kGapMs = Clamped(0, 10000);
constexpr Range kAutPeriodMinutes = Clamped(1, 1440);  // a day; × 60000 ms stays far inside 32 bits
constexpr Range kAutDirsCount = Clamped(0, 256);
constexpr Range kHotkeyKey = Codes(0, 255);        // a virtual-key code, 0 none
constexpr Range kHotkeyModifiers = Codes(0, 15);   // MOD_ALT 1, MOD_CONTROL 2, MOD_SHIFT 4, MOD_WIN 8
constexpr Range kGradientWidth = Clamped(0, 200);  // pixels
constexpr Range kSmallIndex = Clamped(0, 63);      // tooltip theme and background effect
constexpr Range kGranularity = Clamped(1, 255);
constexpr Range kBorderPixels = Clamped(0, 50);
constexpr Range kPercent = Clamped(0, 100);
constexpr Range kTooltipMs = Clamped(0, 60000);
constexpr Range kMessengerIcon = Codes(0, 2);       // games, music, office
constexpr Range kMessengerSpeed = Clamped(1, 300);  // × 200 ms
constexpr Range kScrollMode = Codes(0, 2);
constexpr Range kPlaylistIndex = Clamped(-1, 9999);  // -1 none; the playlist holds at most 10000 entries

// One row of the settings table. Rows are in the order the save of all
// settings writes them; loading walks the same rows. Lists and other keys
// with rules of their own are Special rows with their own reader and writer.
// Bool rows read any non-zero value as 1, Colour rows keep the 24 colour
// bits, Int rows keep to their range.
struct Row {
  const wchar_t* section;
  const wchar_t* key;
  Kind kind;
  int* (*intField)(Settings&) = nullptr;
  std::wstring* (*textField)(Settings&) = nullptr;
  void (*load)(const ProfileReader&, Settings&) = nullptr;
  void (*save)(const Settings&, std::vector<ProfileEdit>&) = nullptr;
  Range range = {};
};

#define INT(section, key, kind, field)                               \
  Row {                                                              \
    section, key, kind, [](Settings& s) -> int* { return &s.field; } \
  }
#define RANGED(section, key, field, range)                                                                  \
  Row {                                                                                                     \
    section, key, Kind::Int, [](Settings& s) -> int* { return &s.field; }, nullptr, nullptr, nullptr, range \
  }
#define TEXT(section, key, field)                                                              \
  Row {                                                                                        \
    section, key, Kind::String, nullptr, [](Settings& s) -> std::wstring* { return &s.field; } \
  }
#define SPECIAL(loadFn, saveFn) \
  Row { nullptr, nullptr, Kind::Special, nullptr, nullptr, loadFn, saveFn }

constexpr const wchar_t* P = kPreferences;
constexpr const wchar_t* M = kMenuXP;

const wchar_t* const kHotkeyKeys[kHotkeyCount][2] = {
    {L"NPKey", L"NPMod"},
    {L"ExitKey", L"ExitMod"},
    {L"ForwKey", L"ForwMod"},
    {L"BackKey", L"BackMod"},
    {L"PlayKey", L"PlayMod"},
    {L"StopKey", L"StopMod"},
    {L"PrevKey", L"PrevMod"},
    {L"NextKey", L"NextMod"},
    {L"VUpKey", L"VUpMod"},
    {L"VDownKey", L"VDownMod"},
    {L"OpenKey1", L"OpenMod1"},
    {L"OpenKey2", L"OpenMod2"},
    {L"OpenKey3", L"OpenMod3"},
    {L"MinibarKey", L"MinibarMod"},
    {L"MP3InfoKey", L"MP3InfoMod"},
    {L"PlstKey", L"PlstMod"},
    {L"EqualizerKey", L"EqualizerMod"},
    {L"RptKey", L"RptMod"},
    {L"ShflKey", L"ShflMod"},
    {L"AlbummodeKey", L"AlbummodeMod"},
    {L"TrayIconKey", L"TrayIconMod"},
    {L"MenuKey", L"MenuMod"},
    {L"TracksKey", L"TracksMod"},
    {L"AlbumKey", L"AlbumMod"},
    {L"AutomationKey", L"AutomationMod"},
};

std::wstring Numbered(std::wstring_view pattern, int n) {
  wchar_t buf[96];
  std::swprintf(buf, 96, std::wstring(pattern).c_str(), n);
  return buf;
}

bool IsBlank(wchar_t c) { return std::iswspace(c) != 0; }

// The profile functions trim a value and take away one pair of quotes
// around it (double, or single on Windows and Wine). A value that would lose
// characters that way is written inside one more pair of quotes, so that it
// reads back as it was.
std::wstring Protected(const std::wstring& value) {
  if (value.empty()) return value;
  const wchar_t first = value.front(), last = value.back();
  const bool blankEdge = IsBlank(first) || IsBlank(last);
  const bool quoted = value.size() >= 2 && (first == L'"' || first == L'\'') && last == first;
  return blankEdge || quoted ? L"\"" + value + L"\"" : value;
}

void Put(std::vector<ProfileEdit>& out, const wchar_t* section, std::wstring key, std::wstring value) {
  out.push_back(ProfileEdit{section, std::move(key), Protected(value), false});
}

std::wstring IntText(int v) { return std::to_wstring(v); }

int ReadInt(const ProfileReader& r, const wchar_t* section, std::wstring_view key, int def) {
  auto v = r.Read(section, key);
  return v ? ParseProfileInt(*v, def) : def;
}

int ReadInt(const ProfileReader& r, const wchar_t* section, std::wstring_view key, int def, Range range) {
  return range.Apply(ReadInt(r, section, key, def), def);
}

int ReadBool(const ProfileReader& r, const wchar_t* section, std::wstring_view key, int def) {
  return ReadInt(r, section, key, def) != 0 ? 1 : 0;
}

std::wstring ReadText(const ProfileReader& r, const wchar_t* section, std::wstring_view key, std::wstring def) {
  auto v = r.Read(section, key);
  if (!v) return def;
  if (v->size() > 4095) v->resize(4095);  // the profile functions read at most 4095 characters
  return *v;
}

// Skins: "CurrentSkin" is entry 0 whatever it holds; then "CurrentSkin%d"
// until the first value containing "NONE" (containment, not equality).
void LoadSkins(const ProfileReader& r, Settings& s) {
  s.skins.assign(1, ReadText(r, P, L"CurrentSkin", L""));
  for (int n = 1;; ++n) {
    std::wstring v = ReadText(r, P, Numbered(L"CurrentSkin%d", n), L"NONE");
    if (v.find(L"NONE") != std::wstring::npos) break;
    s.skins.push_back(v);
  }
  // "CurrentSkinSel" comes before the list: an index past its end names no
  // skin and gives the first.
  if (s.currentSkinSel >= static_cast<int>(s.skins.size())) s.currentSkinSel = 0;
}
void SaveSkins(const Settings& s, std::vector<ProfileEdit>& out) {
  if (s.skins.empty()) {
    Put(out, P, L"CurrentSkin", L"NONE");
    return;
  }
  for (size_t i = 0; i < s.skins.size(); ++i)
    Put(out, P, i == 0 ? std::wstring(L"CurrentSkin") : Numbered(L"CurrentSkin%d", static_cast<int>(i)), s.skins[i]);
  Put(out, P, Numbered(L"CurrentSkin%d", static_cast<int>(s.skins.size())), L"NONE");
}

void LoadHotkeys(const ProfileReader& r, Settings& s) {
  for (int i = 0; i < kHotkeyCount; ++i) {
    s.hotkeys[i].key = ReadInt(r, P, kHotkeyKeys[i][0], 0, kHotkeyKey);
    s.hotkeys[i].modifiers = ReadInt(r, P, kHotkeyKeys[i][1], 0, kHotkeyModifiers);
  }
}
void SaveHotkeys(const Settings& s, std::vector<ProfileEdit>& out) {
  for (int i = 0; i < kHotkeyCount; ++i) {
    Put(out, P, kHotkeyKeys[i][0], IntText(s.hotkeys[i].key));
    Put(out, P, kHotkeyKeys[i][1], IntText(s.hotkeys[i].modifiers));
  }
}

void LoadRecent(const ProfileReader& r, Settings& s) {
  for (int i = 0; i < 10; ++i) s.recent[i] = ReadText(r, P, Numbered(L"Recent%d", i), L"");
}
void SaveRecent(const Settings& s, std::vector<ProfileEdit>& out) {
  for (int i = 0; i < 10; ++i) Put(out, P, Numbered(L"Recent%d", i), s.recent[i]);
}

// Equalizer: "EQ%d" from 0 until the first empty or absent value; the writer
// ends the list with an empty value.
void LoadEq(const ProfileReader& r, Settings& s) {
  s.eqBands.clear();
  for (int n = 0;; ++n) {
    std::wstring v = ReadText(r, P, Numbered(L"EQ%d", n), L"");
    if (v.empty()) break;
    s.eqBands.push_back(v);
  }
}
void SaveEq(const Settings& s, std::vector<ProfileEdit>& out) {
  for (size_t i = 0; i < s.eqBands.size(); ++i) Put(out, P, Numbered(L"EQ%d", static_cast<int>(i)), s.eqBands[i]);
  Put(out, P, Numbered(L"EQ%d", static_cast<int>(s.eqBands.size())), L"");
}

// Automation folders: exactly "AutDirsCnt" keys AutDir1..AutDirN.
void LoadAutDirs(const ProfileReader& r, Settings& s) {
  int count = ReadInt(r, P, L"AutDirsCnt", 0, kAutDirsCount);
  s.autDirs.clear();
  for (int n = 1; n <= count; ++n) s.autDirs.push_back(ReadText(r, P, Numbered(L"AutDir%d", n), L""));
}
void SaveAutDirs(const Settings& s, std::vector<ProfileEdit>& out) {
  Put(out, P, L"AutDirsCnt", IntText(static_cast<int>(s.autDirs.size())));
  for (size_t i = 0; i < s.autDirs.size(); ++i)
    Put(out, P, Numbered(L"AutDir%d", static_cast<int>(i + 1)), s.autDirs[i]);
}

void LoadPluginLists(const ProfileReader& r, Settings& s) {
  s.inputPlugins = ReadPluginList(r, L"dllInName%d");
  s.outputPlugins = ReadPluginList(r, L"dllOutName%d");
  s.generalPlugins = ReadPluginList(r, L"dllGenName%d");
}
void SavePluginLists(const Settings& s, std::vector<ProfileEdit>& out) {
  AppendPluginList(L"dllInName%d", s.inputPlugins, out);
  AppendPluginList(L"dllOutName%d", s.outputPlugins, out);
  AppendPluginList(L"dllGenName%d", s.generalPlugins, out);
}

// GradientWidth is read by the menu drawing and never written.
void LoadGradientWidth(const ProfileReader& r, Settings& s) {
  s.gradientWidth = ReadInt(r, M, L"GradientWidth", 30, kGradientWidth);
}
void SaveNothing(const Settings&, std::vector<ProfileEdit>&) {}

const std::vector<Row>& Table() {
  static const std::vector<Row> rows = {
      TEXT(P, L"Language", language),
      INT(P, L"FullScreen", Kind::Bool, fullScreen),
      RANGED(P, L"Clicks1", clicks[0], kClickAction),
      RANGED(P, L"Clicks2", clicks[1], kClickAction),
      RANGED(P, L"Clicks3", clicks[2], kClickAction),
      RANGED(P, L"Clicks4", clicks[3], kClickAction),
      RANGED(P, L"RClicks1", rightClicks[0], kClickAction),
      RANGED(P, L"RClicks2", rightClicks[1], kClickAction),
      RANGED(P, L"RClicks3", rightClicks[2], kClickAction),
      RANGED(P, L"RClicks4", rightClicks[3], kClickAction),
      RANGED(P, L"CurrentSkinSel", currentSkinSel, kSkinIndex),
      SPECIAL(LoadSkins, SaveSkins),
      INT(P, L"changeSkinOnEachTrack", Kind::Bool, changeSkinOnEachTrack),
      INT(P, L"randomSkin", Kind::Bool, randomSkin),
      TEXT(P, L"RNTemplate", renameTemplate),
      INT(P, L"DockMinibar", Kind::Bool, dockMinibar),
      INT(P, L"SMTracks", Kind::Bool, menuTracks),
      INT(P, L"SMAlbum", Kind::Bool, menuAlbum),
      INT(P, L"SMPrevNext", Kind::Bool, menuPrevNext),
      INT(P, L"WAEmu", Kind::Bool, emulateWinamp),
      RANGED(P, L"PressAndHold", pressAndHold, kPressAndHold),
      INT(P, L"ShowRemainingTime", Kind::Bool, showRemainingTime),
      INT(P, L"ShowTTT", Kind::Bool, showTotalTrackTime),
      INT(P, L"ShowGradientBar", Kind::Bool, showGradientBar),
      INT(P, L"GraphicalButtons", Kind::Bool, graphicalButtons),
      RANGED(P, L"TPC", tracksPerColumn, kTracksPerColumn),
      INT(P, L"ExtPlaylistFormat", Kind::Bool, extPlaylistFormat),
      INT(P, L"AlbumStop", Kind::Bool, albumStop),
      RANGED(P, L"ShowingMode", showingMode, kShowingMode),
      INT(P, L"NoClicks", Kind::Bool, noClicks),
      INT(P, L"PlaylistOnTop", Kind::Bool, playlistOnTop),
      INT(P, L"EQOnTop", Kind::Bool, eqOnTop),
      INT(P, L"AutoPlay", Kind::Bool, autoPlay),
      INT(P, L"RandomFirst", Kind::Bool, randomFirst),
      RANGED(P, L"Gap", gap, kGapMs),
      SPECIAL(LoadHotkeys, SaveHotkeys),
      TEXT(P, L"InitDir", initDir),
      SPECIAL(LoadRecent, SaveRecent),
      INT(P, L"Repeat", Kind::Bool, repeat),
      INT(P, L"RepeatTrack", Kind::Bool, repeatTrack),
      INT(P, L"ShuffleMode", Kind::Bool, shuffleMode),
      INT(P, L"EnableEQ", Kind::Bool, enableEq),
      SPECIAL(LoadEq, SaveEq),
      INT(P, L"AutSort", Kind::Bool, autSort),
      TEXT(P, L"sortTemplate", sortTemplate),
      TEXT(P, L"W2Ffile", w2fFile),
      TEXT(P, L"W2Fplay", w2fPlay),
      TEXT(P, L"W2Fpause", w2fPause),
      TEXT(P, L"W2Fstop", w2fStop),
      TEXT(P, L"W2Fexit", w2fExit),
      INT(P, L"W2Foem", Kind::Bool, w2fOem),
      INT(P, L"W2Fdel", Kind::Bool, w2fDelete),
      INT(P, L"W2Fenabled", Kind::Bool, w2fEnabled),
      INT(P, L"W2FFtp", Kind::Bool, w2fFtp),
      TEXT(P, L"W2FSite", w2fSite),
      TEXT(P, L"W2FUser", w2fUser),
      TEXT(P, L"W2FPassword", w2fPassword),
      INT(P, L"AutOnStart", Kind::Bool, autOnStart),
      INT(P, L"AutSaveset", Kind::Bool, autSaveSettings),
      INT(P, L"AutRemove", Kind::Bool, autRemove),
      INT(P, L"AutRemovedup", Kind::Bool, autRemoveDuplicates),
      INT(P, L"AutRescan", Kind::Bool, autRescan),
      RANGED(P, L"AutPeriod", autPeriod, kAutPeriodMinutes),
      INT(P, L"AutEvery", Kind::Bool, autEvery),
      SPECIAL(LoadAutDirs, SaveAutDirs),
      INT(M, L"ShowGradient", Kind::Bool, showGradient),
      INT(M, L"ShowGradientSel", Kind::Bool, showGradientSel),
      INT(P, L"showToolTip", Kind::Bool, showToolTip),
      INT(P, L"autoUpdate", Kind::Bool, autoUpdate),
      INT(P, L"displayConsole", Kind::Bool, displayConsole),
      INT(P, L"displayConsoleAOT", Kind::Bool, displayConsoleAOT),
      INT(M, L"GradientStart", Kind::Colour, gradientStart),
      INT(M, L"GradientEnd", Kind::Colour, gradientEnd),
      SPECIAL(LoadGradientWidth, SaveNothing),
      TEXT(P, L"ToolTipText", toolTipText),
      RANGED(P, L"Theme", theme, kSmallIndex),
      RANGED(P, L"effect_bk", effectBk, kSmallIndex),
      RANGED(P, L"granularity", granularity, kGranularity),
      INT(P, L"border", Kind::Bool, border),
      INT(P, L"custom_border", Kind::Bool, customBorder),
      RANGED(P, L"border_width", borderWidth, kBorderPixels),
      RANGED(P, L"border_height", borderHeight, kBorderPixels),
      RANGED(P, L"transparency", transparency, kPercent),
      INT(P, L"border_color", Kind::Colour, borderColor),
      INT(P, L"start_bk", Kind::Colour, startBk),
      INT(P, L"mid_bk", Kind::Colour, midBk),
      INT(P, L"end_bk", Kind::Colour, endBk),
      RANGED(P, L"show_time", showTime, kTooltipMs),
      RANGED(P, L"hide_time", hideTime, kTooltipMs),
      RANGED(P, L"fade_in", fadeIn, kTooltipMs),
      RANGED(P, L"fade_out", fadeOut, kTooltipMs),
      RANGED(P, L"animation", animation, kTooltipMs),
      INT(P, L"XPLookNFeel", Kind::Bool, xpLookAndFeel),
      SPECIAL(LoadPluginLists, SavePluginLists),
      INT(P, L"activateWindowsMessenger", Kind::Bool, activateWindowsMessenger),
      TEXT(P, L"wmTitle", wmTitle),
      RANGED(P, L"wmIcon", wmIcon, kMessengerIcon),
      RANGED(P, L"wmSpeed", wmSpeed, kMessengerSpeed),
      RANGED(P, L"scrollMode", scrollMode, kScrollMode),
  };
  return rows;
}

}  // namespace

Settings::Settings() : toolTipText(DefaultToolTipTemplate()) {}

const wchar_t* HotkeyKeyName(Hotkey h) { return kHotkeyKeys[static_cast<int>(h)][0]; }
const wchar_t* HotkeyModName(Hotkey h) { return kHotkeyKeys[static_cast<int>(h)][1]; }

std::wstring DefaultToolTipTemplate() {
  // Stored with the two-character escapes \r \n; the tooltip expands them.
  return L"<table>\\r\\n  <tr>\\r\\n    <td><icon idres=301></td>\\r\\n    <td><center><h2>%7</h2></center></td>\\r\\n"
         L"    <td><right><a><icon idres=248 width=16 height=16 style=g hotstyle></a></right></td>\\r\\n  </tr>\\r\\n"
         L"  <tr>\\r\\n    <td colspan=3><hr color=blue></td>\\r\\n  </tr>\\r\\n  <tr>\\r\\n"
         L"    <td><bmp idres=138 mask style=d></td>\\r\\n    <td colspan=2>\\r\\n      <table>\\r\\n"
         L"        <tr>\\r\\n          <td>Title :</td>\\r\\n          <td> %2</td>\\r\\n        </tr>\\r\\n"
         L"        <tr>\\r\\n          <td>Artist :</td>\\r\\n          <td> %1</td>\\r\\n        </tr>\\r\\n"
         L"        <tr><td>Album :</td>\\r\\n          <td> %3</td>\\r\\n        </tr>\\r\\n"
         L"          <tr>\\r\\n          <td>Year :</td>\\r\\n          <td> %4</td>\\r\\n        </tr>\\r\\n"
         L"        <tr>\\r\\n          <td>Comment :</td>\\r\\n          <td> %5</td>\\r\\n        </tr>\\r\\n"
         L"        <tr>\\r\\n        <td>Length :</td>\\r\\n          <td> %6</td>\\r\\n        </tr>\\r\\n"
         L"      </table>\\r\\n    </td>\\r\\n  </tr>\\r\\n</table>";
}

void LoadSettings(const ProfileReader& reader, Settings& s) {
  for (const Row& row : Table()) {
    switch (row.kind) {
      case Kind::Bool: {
        int* field = row.intField(s);
        *field = ReadBool(reader, row.section, row.key, *field);
        break;
      }
      case Kind::Int: {
        int* field = row.intField(s);
        *field = ReadInt(reader, row.section, row.key, *field, row.range);
        break;
      }
      case Kind::Colour: {
        int* field = row.intField(s);
        *field = ReadInt(reader, row.section, row.key, *field) & 0xFFFFFF;
        break;
      }
      case Kind::String: {
        std::wstring* field = row.textField(s);
        *field = ReadText(reader, row.section, row.key, *field);
        break;
      }
      case Kind::Special:
        row.load(reader, s);
        break;
    }
  }
  // Keys the quit sequence writes on its own.
  s.currentInPlaylist = ReadInt(reader, P, L"CurrentInPlaylist", 0, kPlaylistIndex);
  s.barAtStartup = ReadBool(reader, P, L"BarAtStartup", 0);
  s.playlistAtStartup = ReadBool(reader, P, L"PlaylistAtStartup", 0);
  s.eqAtStartup = ReadBool(reader, P, L"EQAtStartup", 0);
  const std::wstring unsaved = FormatRect(SavedRect{});
  s.seekBarRect = ParseRect(ReadText(reader, P, L"SeekBar", unsaved));
  s.equalizerRect = ParseRect(ReadText(reader, P, L"Equalizer", unsaved));
  s.playlistRect = ParseRect(ReadText(reader, P, L"Playlist", unsaved));
  s.videoRect = ParseRect(ReadText(reader, P, L"Video", unsaved));
  s.consoleRect = ParseRect(ReadText(reader, P, L"Console", unsaved));
}

void AppendSaveAll(const Settings& s, std::vector<ProfileEdit>& out) {
  Settings& m = const_cast<Settings&>(s);  // the field accessors are shared with loading
  for (const Row& row : Table()) {
    switch (row.kind) {
      case Kind::Bool:
      case Kind::Int:
        Put(out, row.section, row.key, IntText(*row.intField(m)));
        break;
      case Kind::Colour:
        Put(out, row.section, row.key, FormatColour(static_cast<unsigned>(*row.intField(m))));
        break;
      case Kind::String:
        Put(out, row.section, row.key, *row.textField(m));
        break;
      case Kind::Special:
        row.save(s, out);
        break;
    }
  }
}

void AppendStartupWindowKeys(const Settings& s, std::vector<ProfileEdit>& out) {
  Put(out, P, L"BarAtStartup", IntText(s.barAtStartup));
  Put(out, P, L"SeekBar", FormatRect(s.seekBarRect));
  Put(out, P, L"Video", FormatRect(s.videoRect));
  Put(out, P, L"PlaylistAtStartup", IntText(s.playlistAtStartup));
  Put(out, P, L"Playlist", FormatRect(s.playlistRect));
  Put(out, P, L"EQAtStartup", IntText(s.eqAtStartup));
  Put(out, P, L"Equalizer", FormatRect(s.equalizerRect));
  Put(out, P, L"Console", FormatRect(s.consoleRect));
}

std::vector<std::wstring> ReadPluginList(const ProfileReader& reader, std::wstring_view pattern) {
  std::vector<std::wstring> list;
  for (int n = 0;; ++n) {
    std::wstring v = ReadText(reader, P, Numbered(pattern, n), L"");
    if (v.empty() || v == L"NONE") break;
    list.push_back(v);
  }
  return list;
}

void AppendPluginList(std::wstring_view pattern, const std::vector<std::wstring>& list, std::vector<ProfileEdit>& out) {
  Put(out, P, Numbered(pattern, static_cast<int>(list.size())), L"NONE");
  for (size_t i = 0; i < list.size(); ++i) Put(out, P, Numbered(pattern, static_cast<int>(i)), list[i]);
}

}  // namespace zul
