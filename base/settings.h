#pragma once
// The program's own settings ("Preferences" and "MenuXP" of the settings
// file): every key with its type, default and place in the save order is in
// the one table in settings.cpp, which both loading and saving walk.
//
// Threads: loaded and saved on the UI thread only.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/settings_codec.h"

namespace zul {

inline constexpr wchar_t kPreferences[] = L"Preferences";
inline constexpr wchar_t kMenuXP[] = L"MenuXP";

// Global hotkeys in settings order; each is a "...Key" / "...Mod" pair.
enum class Hotkey {
  NowPlaying,
  Exit,
  Forward,
  Back,
  Play,
  Stop,
  Prev,
  Next,
  VolumeUp,
  VolumeDown,
  OpenFile,
  OpenFolder,
  OpenUrl,
  Minibar,
  Mp3Info,
  Playlist,
  Equalizer,
  Repeat,
  Shuffle,
  AlbumMode,
  TrayIcon,
  Menu,
  Tracks,
  Album,
  Automation,
  Count
};
inline constexpr int kHotkeyCount = static_cast<int>(Hotkey::Count);

struct HotkeySetting {
  int key = 0;        // virtual-key code, 0 = none
  int modifiers = 0;  // MOD_ALT 1, MOD_CONTROL 2, MOD_SHIFT 4
};

struct Settings {
  std::wstring language;
  int fullScreen = 0;
  std::array<int, 4> clicks{1, 4, 3, 2};
  std::array<int, 4> rightClicks{10, 0, 0, 0};
  int currentSkinSel = 0;
  std::vector<std::wstring> skins{L""};  // entry 0 always exists
  int changeSkinOnEachTrack = 0;
  int randomSkin = 0;
  std::wstring renameTemplate = L"%1 - %3";
  int dockMinibar = 0;
  int menuTracks = 1;
  int menuAlbum = 1;
  int menuPrevNext = 1;
  int emulateWinamp = 0;
  int pressAndHold = 2;
  int showRemainingTime = 0;
  int showTotalTrackTime = 0;
  int showGradientBar = 0;
  int graphicalButtons = 1;
  int tracksPerColumn = 10;
  int extPlaylistFormat = 0;
  int albumStop = 0;
  int showingMode = 0;
  int noClicks = 0;
  int playlistOnTop = 0;
  int eqOnTop = 0;
  int autoPlay = 1;
  int randomFirst = 0;
  int gap = 0;
  std::array<HotkeySetting, kHotkeyCount> hotkeys{};
  std::wstring initDir = L"C:\\";
  std::array<std::wstring, 10> recent{};
  int repeat = 0;
  int repeatTrack = 0;
  int shuffleMode = 0;
  int enableEq = 0;
  std::vector<std::wstring> eqBands;
  int autSort = 0;
  std::wstring sortTemplate = L"%8%9%7";
  std::wstring w2fFile;
  std::wstring w2fPlay = L"Now playing: %7";
  std::wstring w2fPause = L"Now paused: %7";
  std::wstring w2fStop = L"Now stopped: %7";
  std::wstring w2fExit = L"ZUL is closed";
  int w2fOem = 0;
  int w2fDelete = 0;
  int w2fEnabled = 0;
  int w2fFtp = 0;
  std::wstring w2fSite;
  std::wstring w2fUser;
  std::wstring w2fPassword;
  int autOnStart = 0;
  int autSaveSettings = 0;
  int autRemove = 0;
  int autRemoveDuplicates = 0;
  int autRescan = 0;
  int autPeriod = 5;
  int autEvery = 0;
  std::vector<std::wstring> autDirs;  // "AutDirsCnt" is its size
  int showGradient = 1;               // MenuXP
  int showGradientSel = 1;            // MenuXP
  int showToolTip = 1;
  int autoUpdate = 0;
  int displayConsole = 0;
  int displayConsoleAOT = 0;
  int gradientStart = 0xE4C4B4;  // MenuXP
  int gradientEnd = 0xFFFFFF;    // MenuXP
  int gradientWidth = 30;        // MenuXP, read only
  std::wstring toolTipText;      // default from DefaultToolTipTemplate()
  int theme = 1;
  int effectBk = 13;
  int granularity = 5;
  int border = 1;
  int customBorder = 0;
  int borderWidth = 1;
  int borderHeight = 1;
  int transparency = 0;
  int borderColor = 0xDFFFFF;
  int startBk = 0xFFFFFF;
  int midBk = 0xFFF7F0;
  int endBk = 0xD0C0C0;
  int showTime = 500;
  int hideTime = 1000;
  int fadeIn = 0;
  int fadeOut = 0;
  int animation = 100;
  int xpLookAndFeel = 1;
  std::vector<std::wstring> inputPlugins;
  std::vector<std::wstring> outputPlugins;
  std::vector<std::wstring> generalPlugins;
  int activateWindowsMessenger = 0;
  std::wstring wmTitle = L"%1";
  int wmIcon = 0;
  int wmSpeed = 1;
  int scrollMode = 0;

  // Written by the quit sequence, not by the save of all settings.
  int currentInPlaylist = 0;
  int barAtStartup = 0;
  int playlistAtStartup = 0;
  int eqAtStartup = 0;
  SavedRect seekBarRect, equalizerRect, playlistRect, videoRect, consoleRect;

  Settings();
};

const wchar_t* HotkeyKeyName(Hotkey h);
const wchar_t* HotkeyModName(Hotkey h);
std::wstring DefaultToolTipTemplate();

// Source of stored values: the settings file (through the profile functions)
// or, in tests, a ProfileText.
class ProfileReader {
public:
  virtual ~ProfileReader() = default;
  virtual std::optional<std::wstring> Read(std::wstring_view section, std::wstring_view key) const = 0;
};

// One key to write; an edit with clearSection set empties the section.
struct ProfileEdit {
  std::wstring section;
  std::wstring key;
  std::wstring value;
  bool clearSection = false;
};

void LoadSettings(const ProfileReader& reader, Settings& s);

// Every key of the "save all settings" operation, in the save order.
void AppendSaveAll(const Settings& s, std::vector<ProfileEdit>& out);

// The keys the quit sequence writes after the save of all settings: the
// start-up windows and the five window rectangles.
void AppendStartupWindowKeys(const Settings& s, std::vector<ProfileEdit>& out);

// Plug-in list keys ("dllInName%d" ...): the list ends at the first missing,
// empty or "NONE" value; the writer puts "NONE" after the last entry.
std::vector<std::wstring> ReadPluginList(const ProfileReader& reader, std::wstring_view pattern);
void AppendPluginList(std::wstring_view pattern, const std::vector<std::wstring>& list, std::vector<ProfileEdit>& out);

}  // namespace zul
