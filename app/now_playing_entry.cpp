// The now-playing export's entry points in the shell: the playback
// commands, the 1-second timer 11 and the quit sequence.
#include <windows.h>

#include "app/messages.h"
#include "app/now_playing/now_playing_export.h"
#include "app/now_playing/now_playing_text.h"
#include "app/pending_windows.h"
#include "base/settings.h"
#include "playlist/win32/playlist_service.h"

namespace zul {
namespace {

struct ExportState_ {
  WinampShell* shell = nullptr;
  CNowPlayingUploader uploader;
  std::wstring lastMessenger;
  size_t scroll = 0;
};

ExportState_& State() {
  static ExportState_ state;
  return state;
}

NowPlayingFields CurrentFields(bool cachedOnly) {
  NowPlayingFields f;
  PlaylistManager& list = ThePlaylist();
  if (list.Count() == 0 || list.GetCurrent() < 0) return f;
  CachedTag tag = list.GetCurrentEntry();
  f = {tag.GetArtist(cachedOnly),
       tag.GetTitle(cachedOnly),
       tag.GetAlbum(cachedOnly),
       tag.GetYear(cachedOnly),
       tag.GetComment(cachedOnly),
       tag.GetLengthText(cachedOnly),
       tag.GetFileName(),
       tag.GetDrive(),
       tag.GetFolder()};
  return f;
}

void WriteExport(bool exit) {
  ExportState_& s = State();
  if (!s.shell) return;
  const Settings& st = s.shell->settings();
  if (st.w2fFile.empty()) return;
  ExportState state = ExportState::kExit;
  if (!exit) {
    PlayState p = s.shell->PlayingState();
    state = p == PlayState::Playing  ? ExportState::kPlaying
            : p == PlayState::Paused ? ExportState::kPaused
                                     : ExportState::kStopped;
  }
  const std::wstring text =
      NowPlayingFileText({st.w2fPlay, st.w2fPause, st.w2fStop, st.w2fExit}, state, CurrentFields(false));
  const bool deleteAfter = exit && st.w2fDelete;
  if (st.w2fFtp) {
    s.uploader.Publish(FtpTarget{st.w2fSite, st.w2fUser, st.w2fPassword, st.w2fFile, deleteAfter}, text);
  } else {
    WriteNowPlayingFile(st.w2fFile, text, deleteAfter);
  }
}

}  // namespace

void PendingWindows::AttachNowPlaying(WinampShell& shell, HWND mainWnd) {
  State().shell = &shell;
  const Settings& st = shell.settings();
  // Only while there is work for it.
  if (st.w2fEnabled || st.activateWindowsMessenger) SetTimer(mainWnd, TIMER_EXPORT, 1000, nullptr);
}

void PendingWindows::UpdateNowPlayingExport() {
  if (State().shell && State().shell->settings().w2fEnabled) WriteExport(false);
}

void PendingWindows::OnExportTimer() {
  ExportState_& s = State();
  if (!s.shell) return;
  const Settings& st = s.shell->settings();
  if (st.w2fEnabled) WriteExport(false);
  if (!st.activateWindowsMessenger) return;
  NowPlayingFields f = CurrentFields(true);
  // The elapsed time of the playing track, as the Winamp window tells it.
  HWND winamp = FindWindowW(L"Winamp v1.x", nullptr);
  int ms = winamp ? static_cast<int>(SendMessageW(winamp, WM_USER, 0, 105)) : 0;
  std::wstring text = ScrollMessengerText(ExpandNowPlaying(st.wmTitle, f, ElapsedText(ms)), st.scrollMode, s.scroll);
  auto message = MessengerString(st.wmIcon, true, text, f[0], f[1], f[2]);
  if (!message || *message == s.lastMessenger) return;
  if (SendMessengerText(*message)) s.lastMessenger = *message;
}

void PendingWindows::WriteNowPlayingExit() {
  WriteExport(true);
  State().uploader.WaitIdle(kExitWaitMs);
}

}  // namespace zul
