#include "prefs/advanced_model.h"

#include <cwctype>
#include <set>

#include "base/profile_text.h"
#include "base/settings_codec.h"

namespace zul::prefs {
namespace {

class TextReader final : public ProfileReader {
public:
  explicit TextReader(const ProfileText& text) : text_(text) {}
  std::optional<std::wstring> Read(std::wstring_view section, std::wstring_view key) const override {
    return text_.Get(section, key);
  }

private:
  const ProfileText& text_;
};

// Keys a page edits, and the keys of lists (edited by their own windows).
bool EditedElsewhere(const std::wstring& key) {
  static const std::set<std::wstring> kPageKeys = {L"Language",
                                                   L"CurrentSkinSel",
                                                   L"CurrentSkin",
                                                   L"changeSkinOnEachTrack",
                                                   L"randomSkin",
                                                   L"SMTracks",
                                                   L"SMAlbum",
                                                   L"SMPrevNext",
                                                   L"WAEmu",
                                                   L"PressAndHold",
                                                   L"ShowGradientBar",
                                                   L"GraphicalButtons",
                                                   L"TPC",
                                                   L"NoClicks",
                                                   L"AutoPlay",
                                                   L"Gap",
                                                   L"ShowGradient",
                                                   L"ShowGradientSel",
                                                   L"GradientStart",
                                                   L"GradientEnd",
                                                   L"showToolTip",
                                                   L"ToolTipText",
                                                   L"Theme",
                                                   L"effect_bk",
                                                   L"granularity",
                                                   L"border",
                                                   L"custom_border",
                                                   L"border_width",
                                                   L"border_height",
                                                   L"transparency",
                                                   L"border_color",
                                                   L"start_bk",
                                                   L"mid_bk",
                                                   L"end_bk",
                                                   L"show_time",
                                                   L"hide_time",
                                                   L"fade_in",
                                                   L"fade_out",
                                                   L"animation",
                                                   L"autoUpdate",
                                                   L"XPLookNFeel",
                                                   L"activateWindowsMessenger",
                                                   L"wmTitle",
                                                   L"wmIcon",
                                                   L"wmSpeed",
                                                   L"scrollMode",
                                                   L"AutDirsCnt"};
  if (kPageKeys.count(key)) return true;
  for (const wchar_t* prefix : {L"Clicks", L"RClicks", L"W2F", L"CurrentSkin", L"Recent", L"EQ", L"AutDir", L"dll"})
    if (key.rfind(prefix, 0) == 0) return true;
  // The hotkey pairs: "...Key", "...Mod", "OpenKey1" ... "OpenMod3".
  if (key.size() > 3 && (key.compare(key.size() - 3, 3, L"Key") == 0 || key.compare(key.size() - 3, 3, L"Mod") == 0))
    return true;
  return key.rfind(L"OpenKey", 0) == 0 || key.rfind(L"OpenMod", 0) == 0;
}

ProfileText TextOf(const std::vector<ProfileEdit>& edits) {
  ProfileText text;
  for (const ProfileEdit& e : edits)
    if (!e.clearSection) text.Set(e.section, e.key, e.value);
  return text;
}

std::optional<std::wstring> ValueAfterReload(ProfileText text, const std::wstring& section, const std::wstring& key,
                                             const std::wstring& value, Settings* loaded = nullptr) {
  text.Set(section, key, value);
  Settings s;
  LoadSettings(TextReader(text), s);
  std::vector<ProfileEdit> again;
  AppendSaveAll(s, again);
  if (loaded) *loaded = s;
  for (const ProfileEdit& e : again)
    if (e.section == section && e.key == key) return ProfileText(L"[s]\r\nk=" + e.value + L"\r\n").Get(L"s", L"k");
  return std::nullopt;
}

bool WholeNumber(const std::wstring& v) {
  if (v.empty()) return false;
  size_t i = (v[0] == L'-') ? 1 : 0;
  if (v.compare(i, 2, L"0x") == 0 || v.compare(i, 2, L"0X") == 0) {
    i += 2;
    if (i == v.size()) return false;
    for (; i < v.size(); ++i)
      if (!std::iswxdigit(v[i])) return false;
    return true;
  }
  if (i == v.size()) return false;
  for (; i < v.size(); ++i)
    if (!std::iswdigit(v[i])) return false;
  return true;
}

}  // namespace

std::vector<AdvancedRow> AdvancedRows(const Settings& s) {
  std::vector<ProfileEdit> current, defaults;
  AppendSaveAll(s, current);
  AppendSaveAll(Settings{}, defaults);
  const ProfileText currentText = TextOf(current);
  const ProfileText defaultText = TextOf(defaults);
  std::vector<AdvancedRow> rows;
  for (const ProfileEdit& e : current) {
    if (e.clearSection || EditedElsewhere(e.key)) continue;
    AdvancedRow row{e.section, e.key, L"text", defaultText.Get(e.section, e.key).value_or(L""),
                    currentText.Get(e.section, e.key).value_or(L"")};
    // The type shows in how the settings keep a probe value.
    if (ValueAfterReload(defaultText, e.section, e.key, L"2") == L"1")
      row.type = L"bool";
    else if (ValueAfterReload(defaultText, e.section, e.key, L"text") != L"text")
      row.type = row.defaultValue.rfind(L"0x", 0) == 0 ? L"colour" : L"int";
    rows.push_back(row);
  }
  return rows;
}

std::optional<std::wstring> ApplyAdvancedRows(const std::vector<AdvancedRow>& rows, Settings& s) {
  std::vector<ProfileEdit> current;
  AppendSaveAll(s, current);
  ProfileText text = TextOf(current);
  for (const AdvancedRow& row : rows) {
    const std::wstring typed = row.value;
    const std::optional<std::wstring> kept = ValueAfterReload(text, row.section, row.key, typed);
    bool same = kept && *kept == typed;
    if (!same && kept && row.type != L"text" && WholeNumber(typed))
      same = ParseProfileInt(typed, 0) == ParseProfileInt(*kept, 1);
    if (!same) return row.key;
    text.Set(row.section, row.key, typed);
  }
  Settings loaded;
  LoadSettings(TextReader(text), loaded);
  // What the save of all settings does not write stays as it is.
  loaded.gradientWidth = s.gradientWidth;
  loaded.currentInPlaylist = s.currentInPlaylist;
  loaded.barAtStartup = s.barAtStartup;
  loaded.playlistAtStartup = s.playlistAtStartup;
  loaded.eqAtStartup = s.eqAtStartup;
  loaded.seekBarRect = s.seekBarRect;
  loaded.equalizerRect = s.equalizerRect;
  loaded.playlistRect = s.playlistRect;
  loaded.videoRect = s.videoRect;
  loaded.consoleRect = s.consoleRect;
  s = loaded;
  return std::nullopt;
}

}  // namespace zul::prefs
