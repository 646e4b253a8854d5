// The Winamp window's title in Winamp's own form.
#include "playlist/win32/playlist_service.h"
#include "pluginhost/winamp_window/wa_emu_wnd.h"

namespace zul {

std::wstring CWAEmuWnd::TitleText(bool readTags) {
  PlaylistManager& list = ThePlaylist();
  if (list.Count() == 0) return L" - Winamp";
  const int current = list.GetCurrent();
  std::wstring title = list.GetTitle(current, !readTags);
  if (title.empty()) title = list.GetDefaultTitle(current);
  std::wstring text = std::to_wstring(current + 1) + L". " + title + L" - Winamp";
  switch (shell_.PlayingState()) {
    case PlayState::Stopped:
      text += L" [Stopped]";
      break;
    case PlayState::Paused:
      text += L" [Paused]";
      break;
    case PlayState::Playing:
      break;
  }
  return text;
}

void CWAEmuWnd::RefreshTitle(bool readTags) {
  if (!hwnd() || refreshingTitle_) return;
  refreshingTitle_ = true;
  const std::wstring text = TitleText(readTags);
  // Set only on a change: plug-ins that subclass the window may watch
  // WM_SETTEXT.
  wchar_t shown[1024] = {};
  GetWindowTextW(hwnd(), shown, static_cast<int>(std::size(shown)));
  if (text != shown) SetWindowTextW(hwnd(), text.c_str());
  refreshingTitle_ = false;
  // Each tick wakes the program (a server round trip under Wine): only
  // while playing does the title change by itself (tags read meanwhile).
  RunTitleTimer(ThePlaylist().Count() > 0 && shell_.PlayingState() == PlayState::Playing);
}

}  // namespace zul
