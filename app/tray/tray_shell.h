#pragma once
// The program's face in the notification area: the tray icon, the main
// menu, the skin pictures and the track tooltip, owned together by the main
// window, which hands them its tray, timer, menu and command messages.
//
// Threads: UI thread.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "app/main_menu/main_menu.h"
#include "app/skins/skin_pictures.h"
#include "app/tray/media_keys.h"
#include "app/tray/tray_face.h"
#include "base/settings.h"

namespace zul {

class TrackTooltip;

class TrayShell {
public:
  TrayShell(Settings& settings, UINT trayMessage);
  ~TrayShell();

  // First start-up stage: the tooltip window and the menu hook.
  void Create(HWND main);
  void SetWinampWindow(HWND winamp);
  void SetUrlPlayer(std::function<void(const std::wstring&)> play) { menu_.SetUrlPlayer(std::move(play)); }

  // The tray callback, the tray's timers and the menu messages; true when
  // handled (result then holds the reply).
  bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);

  void ApplySkin();
  void ChangeSkinAfterTrack();
  void ReleaseSkin();
  void ShowMainMenu(MenuKind kind);
  void ShowTracksMenu(bool album, MenuKind kind);
  void ShowTrackTooltip();
  void CopyNowPlayingToClipboard();
  // After the configured hotkeys: the media keys they leave free.
  void RegisterMediaKeys() { media_.Register(main_, settings_); }
  void InstallMenuHook() { menu_.InstallPlacementHook(); }
  void RemoveMenuHook() { menu_.RemovePlacementHook(); }

  TrayFace& face() { return face_; }
  MainMenu& menu() { return menu_; }

private:
  Settings& settings_;
  HWND main_ = nullptr;
  HWND winamp_ = nullptr;
  TrayFace face_;
  MainMenu menu_;
  SkinPictures skin_;
  MediaKeys media_;
  void OnMediaKey(MediaKey key, const wchar_t* how);
  std::unique_ptr<TrackTooltip> tooltip_;
};

}  // namespace zul
