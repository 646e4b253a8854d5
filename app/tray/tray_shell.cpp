#include "app/tray/tray_shell.h"

#include <cstdlib>
#include <cstring>

#include "app/tray/track_tooltip.h"
#include "base/console_log.h"
#include "playlist/win32/playlist_service.h"
#include "pluginhost/protocol/winamp_messages.h"

namespace zul {

TrayShell::TrayShell(Settings& settings, UINT trayMessage)
    : settings_(settings), face_(settings, trayMessage), menu_(settings) {}

TrayShell::~TrayShell() = default;

void TrayShell::Create(HWND main) {
  main_ = main;
  face_.Attach(main_, winamp_);
  menu_.Attach(main_, winamp_);
  tooltip_ = std::make_unique<TrackTooltip>(settings_);
  tooltip_->Create(main_);
  face_.SetCallbacks(TrayCallbacks{
      .mainMenu = [this] { ShowMainMenu(MenuKind::TrayCursor); },
      .tracksMenu = [this](bool album) { ShowTracksMenu(album, MenuKind::TrayCursor); },
      .trackTooltip = [this] { ShowTrackTooltip(); },
      .tooltipVisible = [this] { return tooltip_ && tooltip_->Visible(); },
      .tooltipHold = [this] { tooltip_->Hold(); },
  });
}

void TrayShell::SetWinampWindow(HWND winamp) {
  winamp_ = winamp;
  face_.Attach(main_, winamp_);
  menu_.Attach(main_, winamp_);
}

void TrayShell::OnMediaKey(MediaKey key, const wchar_t* how) {
  ZUL_LOG(L"Media key %d (%s)", static_cast<int>(key), how);
  UINT command = WINAMP_BUTTON4;
  switch (key) {
    case MediaKey::PlayPause:
      command = SendMessageW(winamp_, WM_WA_IPC, 0, IPC_ISPLAYING) == 0 ? WINAMP_BUTTON2 : WINAMP_BUTTON3;
      break;
    case MediaKey::Stop:
      command = WINAMP_BUTTON4;
      break;
    case MediaKey::Previous:
      command = WINAMP_BUTTON1;
      break;
    case MediaKey::Next:
      command = WINAMP_BUTTON5;
      break;
  }
  SendMessageW(winamp_, WM_COMMAND, command, 0);
  face_.WakeDisplay();
}

bool TrayShell::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  *result = 0;
  if (msg != 0 && msg == media_.ShellHookMessage()) {
    if (wParam == HSHELL_APPCOMMAND)
      if (auto key = media_.ForAppCommand(GET_APPCOMMAND_LPARAM(lParam))) {
        OnMediaKey(*key, L"shell");
        *result = TRUE;
        return true;
      }
    return false;
  }
  switch (msg) {
    case WM_HOTKEY:
      if (auto key = MediaKeys::ForHotkey(wParam)) {
        OnMediaKey(*key, L"hotkey");
        return true;
      }
      return false;
    case WM_APPCOMMAND:
      if (auto key = media_.ForAppCommand(GET_APPCOMMAND_LPARAM(lParam))) {
        OnMediaKey(*key, L"app command");
        *result = TRUE;
        return true;
      }
      return false;
    case WM_TIMER:
      if (wParam == static_cast<WPARAM>(kTimerDisplayId)) {
        face_.OnDisplayTimer();
        return true;
      }
      return face_.OnTimer(wParam);
    case WM_INITMENUPOPUP:
      return menu_.OnInitMenuPopup(reinterpret_cast<HMENU>(wParam));
    case WM_MEASUREITEM:
      if (menu_.OnMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam))) {
        *result = TRUE;
        return true;
      }
      return false;
    case WM_DRAWITEM:
      if (menu_.OnDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) {
        *result = TRUE;
        return true;
      }
      return false;
    default:
      return false;
  }
}

void TrayShell::ApplySkin() {
  const int count = static_cast<int>(settings_.skins.size());
  const std::wstring path = count > 0 ? settings_.skins[static_cast<size_t>(settings_.currentSkinSel % count)] : L"";
  skin_.Load(path, settings_);
  face_.SetIcons(TrayIcons{skin_.Icon(kSkinStop), skin_.Icon(kSkinPlay), skin_.Icon(kSkinPause)});
  menu_.SetPictures(MenuPictures{skin_.Buttons(), skin_.ButtonsDown()});
}

void TrayShell::ChangeSkinAfterTrack() {
  const int count = static_cast<int>(settings_.skins.size());
  if (!settings_.changeSkinOnEachTrack || count == 0) return;
  settings_.currentSkinSel = NextSkinIndex(settings_.currentSkinSel, count, settings_.randomSkin != 0, std::rand());
  ApplySkin();
}

void TrayShell::ReleaseSkin() {
  // The tray record and the menus must not point at destroyed icons.
  face_.SetIcons(TrayIcons{});
  menu_.SetPictures(MenuPictures{});
  skin_.Release();
}

void TrayShell::ShowMainMenu(MenuKind kind) {
  if (tooltip_) tooltip_->Hide();
  menu_.Open(kind, face_.LastCursor());
  face_.WakeDisplay();
}

void TrayShell::ShowTracksMenu(bool album, MenuKind kind) {
  if (tooltip_) tooltip_->Hide();
  menu_.OpenTracks(album, kind, face_.LastCursor());
  face_.WakeDisplay();
}

void TrayShell::ShowTrackTooltip() {
  face_.RefreshIcon();
  face_.WakeDisplay();
  if (!settings_.showToolTip || !tooltip_) return;
  tooltip_->ShowForCurrentEntry();
}

// Copies what the tray shows for the current track: its display title, as
// Unicode text (the system offers the ANSI form to those who ask for it).
void TrayShell::CopyNowPlayingToClipboard() {
  const std::wstring text = face_.TrackText();
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!memory) return;
  std::memcpy(GlobalLock(memory), text.c_str(), bytes);
  GlobalUnlock(memory);
  if (OpenClipboard(main_)) {
    EmptyClipboard();
    if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
    CloseClipboard();
    ZUL_LOG(L"NP to clipboard: %s", text.c_str());
  } else {
    GlobalFree(memory);
  }
}

}  // namespace zul
