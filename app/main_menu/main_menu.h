#pragma once
// The main menu: menu 201 loaded fresh at each opening, its recent, drive
// and track sub-menus built at that moment (the track menus as shapes,
// turned into real items only when the user opens each sub-menu), the
// gradient bar and the graphical play buttons drawn by us, and every
// command sent on through the Winamp window.
//
// Threads: UI thread.
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "app/main_menu/track_menus.h"
#include "base/settings.h"

namespace zul {

enum class MenuKind { TrayCursor = 0, TaskbarCorner = 1, Cursor = 2 };

struct MenuPictures {
  HBITMAP buttons = nullptr;      // 90 x 90, five 90 x 18 strips
  HBITMAP buttonsDown = nullptr;  // the same, highlighted
};

class MainMenu {
public:
  explicit MainMenu(Settings& settings) : settings_(settings) {}
  ~MainMenu();

  void Attach(HWND main, HWND winamp);
  void SetPictures(const MenuPictures& pictures) { pictures_ = pictures; }
  // Plays a URL from the recent list (the shell's play-file request).
  void SetUrlPlayer(std::function<void(const std::wstring&)> play) { playUrl_ = std::move(play); }

  void Open(MenuKind kind, POINT trayCursor);
  void OpenTracks(bool album, MenuKind kind, POINT trayCursor);
  bool IsOpen() const { return open_; }

  // Messages of the main window while a menu is open; true when handled.
  bool OnInitMenuPopup(HMENU menu);
  bool OnMeasureItem(MEASUREITEMSTRUCT* item);
  bool OnDrawItem(const DRAWITEMSTRUCT* item);
  // Runs a command chosen from the menu (or sent to the main window).
  void RunCommand(UINT id);
  // The recent, drive and track commands; false for other ids.
  bool OnDynamicCommand(UINT id);

  void InstallPlacementHook();
  void RemovePlacementHook();

private:
  POINT PointFor(MenuKind kind, POINT trayCursor) const;
  void FillRecent(HMENU menu);
  void FillDrives(HMENU menu);
  // Registers what fills a sub-menu when it opens (its items are computed
  // only for the sub-menus the user looks at).
  void Defer(HMENU menu, std::function<void(HMENU)> fill);
  void Materialise(HMENU menu, const MenuShape& shape);
  void ApplyStates(HMENU menu);
  UINT Track(HMENU popup, POINT at, UINT flags, bool foreground);
  void Reset();
  std::vector<std::wstring> Paths() const;
  // The playlist's paths as the menu opened, read once when first needed.
  const std::vector<std::wstring>& MenuPaths();

  Settings& settings_;
  HWND main_ = nullptr;
  HWND winamp_ = nullptr;
  MenuPictures pictures_;
  std::function<void(const std::wstring&)> playUrl_;
  bool open_ = false;
  MenuShape tracks_, album_, next_;
  std::map<HMENU, std::function<void(HMENU)>> deferred_;
  std::optional<std::vector<std::wstring>> paths_;
  std::vector<HMENU> created_;  // sub-menus we made; destroyed with their parents
};

}  // namespace zul
