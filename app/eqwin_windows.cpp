#include "app/eqwin_windows.h"

#include "app/pending_windows.h"
#include "base/settings.h"
#include "equalizer/window/eq_window.h"
#include "mpeg_input/module/info_window_hook.h"
#include "pluginhost/info_window/info_window.h"
#include "pluginhost/video/embedded_window.h"
#include "pluginhost/video/video_output.h"
#include "pluginhost/winamp_window/wa_emu_wnd.h"

namespace zul {
namespace {

HWND g_owner = nullptr;
// The main window's settings. The start-up step hands them over read-only,
// but they are the main window's own (not a copy), and the equalizer window
// writes its switch, lines and place into them for the save at quit.
Settings* g_settings = nullptr;

BOOL CALLBACK FindWinampWindowOfThread(HWND w, LPARAM found) {
  wchar_t name[32] = L"";
  GetClassNameW(w, name, 32);
  if (lstrcmpW(name, kWinampClass) != 0) return TRUE;
  *reinterpret_cast<HWND*>(found) = w;
  return FALSE;
}

}  // namespace

void CreateEqualizerInfoVideoWindows(HWND owner) {
  g_owner = owner;
  SetInfoWindowHooks({.open = OpenInfoWindow, .follow = FollowInfoWindow});
  CreateVideoWindow(owner, nullptr);
}

void ShowEqualizerInfoVideoAtStartup(HWND, const Settings& s) {
  g_settings = const_cast<Settings*>(&s);
  CreateVideoWindow(g_owner, g_settings);
  if (s.eqAtStartup) ShowEqualizerDialog(g_owner, g_settings);
}

void DestroyEqualizerInfoVideoWindows() {
  SetInfoWindowHooks({});
  CloseInfoWindow();
  DestroyEqualizerDialog();
  DestroyVideoWindow();
  DestroyEmbeddedFrames();
}

void PendingWindows::ShowEqualizerWindow() { ShowEqualizerDialog(g_owner, g_settings); }
void* PendingWindows::VideoOutputObject() { return TheVideoOutput(); }
bool PendingWindows::VideoWindowVisible() { return VideoWindowShown(); }
bool PendingWindows::VideoFullScreen() { return VideoWindowFullScreen(); }
SIZE PendingWindows::VideoOpenSize() { return VideoLastOpenSize(); }
std::wstring PendingWindows::VideoInfoText() { return VideoInformationText(); }

// Owned by the Winamp window, the window plug-ins know as the main one.
HWND PendingWindows::CreateEmbeddedWindow(void*) {
  HWND winamp = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindWinampWindowOfThread, reinterpret_cast<LPARAM>(&winamp));
  return CreateEmbeddedFrame(winamp);
}

}  // namespace zul
