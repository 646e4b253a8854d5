#include "app/tray/tray_face.h"

#include <shellapi.h>

#include "app/messages.h"
#include "app/tray/tray_texts.h"
#include "base/console_log.h"
#include "playlist/win32/playlist_service.h"
#include "pluginhost/host/plugin_lists.h"
#include "pluginhost/protocol/winamp_messages.h"

namespace zul {
namespace {

constexpr int kSeekStepMs = 5000;

ClickSettings ClickSettingsOf(const Settings& s) {
  return ClickSettings{s.clicks, s.rightClicks, s.pressAndHold, s.noClicks != 0};
}

}  // namespace

TrayFace::TrayFace(Settings& settings, UINT callbackMessage)
    : settings_(settings), callbackMessage_(callbackMessage), clicks_(*this, GetDoubleClickTime()) {}

void TrayFace::Attach(HWND main, HWND winamp) {
  main_ = main;
  winamp_ = winamp;
}

void TrayFace::SetIcons(const TrayIcons& icons) {
  icons_ = icons;
  if (!icon_ || icon_ == icons.stop) icon_ = icons_.stop;
  RefreshIcon();
}

void TrayFace::Add() {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = main_;
  data.uID = kTrayIconId;
  data.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
  data.uCallbackMessage = callbackMessage_;
  if (!icon_) icon_ = icons_.stop;
  data.hIcon = icon_;
  if (tip_.empty() && !settings_.showToolTip) tip_ = L"ZUL";
  lstrcpynW(data.szTip, tip_.c_str(), static_cast<int>(std::size(data.szTip)));
  Shell_NotifyIconW(NIM_ADD, &data);  // failures are ignored: there may be no tray
  shown_ = true;
}

void TrayFace::Remove() {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = main_;
  data.uID = kTrayIconId;
  Shell_NotifyIconW(NIM_DELETE, &data);
  shown_ = false;
}

void TrayFace::Toggle() {
  if (shown_)
    Remove();
  else
    Add();
}

void TrayFace::Modify() {
  if (!shown_) return;
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = main_;
  data.uID = kTrayIconId;
  data.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
  data.uCallbackMessage = callbackMessage_;
  data.hIcon = icon_;
  lstrcpynW(data.szTip, tip_.c_str(), static_cast<int>(std::size(data.szTip)));
  Shell_NotifyIconW(NIM_MODIFY, &data);
}

int TrayFace::HostState() const {
  switch (InputPlugins().GetState()) {
    case PlayState::Stopped:
      return 0;
    case PlayState::Playing:
      return 1;
    case PlayState::Paused:
      return 2;
  }
  return -1;
}

HICON TrayFace::IconForState(int state) const {
  switch (state) {
    case 0:
      return icons_.stop;
    case 1:
      return icons_.play;
    case 2:
      return icons_.pause;
    default:
      return icon_;
  }
}

void TrayFace::RefreshIcon() {
  icon_ = ThePlaylist().Count() > 0 ? IconForState(HostState()) : icons_.stop;
  Modify();
}

std::wstring TrayFace::TrackText() const {
  PlaylistManager& list = ThePlaylist();
  const int current = list.GetCurrent();
  if (current < 0 || current >= list.Count()) return {};
  return list.GetEntry(current).GetDisplayTitle(settings_.showingMode == 2 ? kDisplayFileName : kDisplayTitle, true);
}

void TrayFace::WakeDisplay() {
  displayRunning_ = true;
  SetTimer(main_, kTimerDisplayId, 250, nullptr);
  OnDisplayTimer();
}

void TrayFace::OnDisplayTimer() {
  PlaylistManager& list = ThePlaylist();
  CDllInputList& inputs = InputPlugins();
  const int state = HostState();
  if (list.Count() > 0) {
    const int length = std::max(1, inputs.GetLength() / 1000);
    icon_ = IconForState(state);
    const int position = std::min(length, std::max(0, inputs.GetOutputTime() / 1000));
    const std::wstring time =
        FormatTrayTime(position, length, settings_.showRemainingTime != 0, settings_.showTotalTrackTime != 0);
    const std::wstring track = TrackText();
    tip_ = settings_.showToolTip ? std::wstring() : FormatPlainTip(track, time);
    const std::wstring title = track + L" " + time;
    SetWindowTextW(winamp_, title.c_str());
  } else {
    icon_ = icons_.stop;
    tip_ = settings_.showToolTip ? std::wstring() : std::wstring(L"ZUL MP3 Player");
  }
  Modify();
  // Stopped: what the tip shows does not change by itself any more, so the
  // timer rests until playback or a tray action wakes it.
  if (state == 0 && displayRunning_) {
    KillTimer(main_, kTimerDisplayId);
    displayRunning_ = false;
  }
}

void TrayFace::OnTrayMessage(UINT mouse, WPARAM wParam) {
  if (mouse == WM_MOUSEMOVE) {
    GetCursorPos(&cursor_);
    // A tooltip already up (the one a new track shows) stays while the
    // pointer is on the icon.
    if (callbacks_.tooltipVisible && callbacks_.tooltipVisible() && callbacks_.tooltipHold) callbacks_.tooltipHold();
    if (!hoverPending_) {
      hoverPending_ = true;
      SetTimer(main_, kTimerHover, 1000, nullptr);
    }
    return;
  }
  KillTimer(main_, kTimerHover);
  SetTimer(main_, kTimerHoverReset, 1000, nullptr);
  // The click position is where menus open (the last move may be old).
  GetCursorPos(&cursor_);
  clicks_.SetSettings(ClickSettingsOf(settings_));
  clicks_.SetDoubleClickTime(GetDoubleClickTime());
  if (settings_.noClicks) {
    if (mouse == WM_LBUTTONUP || mouse == WM_RBUTTONUP) clicks_.Release(TrayButton::Left);
    ZUL_LOG(L"Message non re\u00e7u %d %d", static_cast<int>(wParam), static_cast<int>(mouse));
    return;
  }
  switch (mouse) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      clicks_.Press(TrayButton::Left);
      break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      clicks_.Press(TrayButton::Right);
      break;
    case WM_LBUTTONUP:
      clicks_.Release(TrayButton::Left);
      break;
    case WM_RBUTTONUP:
      clicks_.Release(TrayButton::Right);
      break;
    default:
      ZUL_LOG(L"Message non re\u00e7u %d %d", static_cast<int>(wParam), static_cast<int>(mouse));
  }
}

bool TrayFace::OnTimer(UINT_PTR id) {
  if (id == kTimerHover) {
    KillTimer(main_, kTimerHover);
    hoverPending_ = false;
    Modify();
    if (callbacks_.tooltipVisible && callbacks_.tooltipVisible()) {
      if (callbacks_.tooltipHold) callbacks_.tooltipHold();
    } else if (callbacks_.trackTooltip) {
      callbacks_.trackTooltip();
    }
    return true;
  }
  if (id == kTimerHoverReset) {
    KillTimer(main_, kTimerHoverReset);
    hoverPending_ = false;
    return true;
  }
  return clicks_.OnTimer(static_cast<int>(id));
}

void TrayFace::ShowMainMenu() {
  if (callbacks_.mainMenu) callbacks_.mainMenu();
}

void TrayFace::HoldStep(TrayButton button, int pressAndHold) {
  const bool left = button == TrayButton::Left;
  if (pressAndHold == 0) {
    CDllInputList& inputs = InputPlugins();
    if (ThePlaylist().Count() == 0 || !inputs.IsSeekable()) return;
    const int target = std::max(0, inputs.GetOutputTime() + (left ? -kSeekStepMs : kSeekStepMs));
    ZUL_LOG(L"Hold: seek to %d ms", target);
    inputs.SetOutputTime(target);
  } else if (pressAndHold == 1) {
    Command(left ? WINAMP_VOLUMEDOWN : WINAMP_VOLUMEUP);
  }
}

void TrayFace::Command(UINT id) const { SendMessageW(winamp_, WM_COMMAND, id, 0); }

void TrayFace::RunAction(int code) {
  ZUL_LOG(L"Action %d", code);
  switch (code) {
    case 1:
    case 2: {
      const int state = HostState();
      if (state == 0)
        Command(WINAMP_BUTTON2);
      else if (state == 1 || state == 2)
        Command(code == 1 ? WINAMP_BUTTON3 : WINAMP_BUTTON4);
      break;
    }
    case 3:
      Command(WINAMP_BUTTON1);
      break;
    case 4:
      Command(WINAMP_BUTTON5);
      break;
    case 5:
    case 11:
      if (callbacks_.tracksMenu) callbacks_.tracksMenu(code == 11);
      break;
    case 6:
      Command(WINAMP_MAIN_WINDOW);
      break;
    case 7:
      SetForegroundWindow(main_);
      Command(WINAMP_OPTIONS_PLEDIT);
      break;
    case 8:
      Command(WINAMP_SHOW_EQUALIZER);
      break;
    case 9:
      if (ThePlaylist().Count() > 0) SendMessageW(main_, WM_COMMAND, ID_MENU_MP3INFO, 0);
      break;
    case 10:
      ShowMainMenu();
      break;
    default:
      break;
  }
  WakeDisplay();
}

}  // namespace zul
