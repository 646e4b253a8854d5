#include "app/eqwin_windows.h"

#include "app/pending_windows.h"
#include "base/settings.h"
#include "equalizer/window/eq_window.h"
#include "mpeg_input/module/info_window_hook.h"
#include "pluginhost/info_window/info_window.h"
#include "pluginhost/video/video_output.h"

namespace zul {
namespace {

HWND g_owner = nullptr;
// The main window's settings. The start-up step hands them over read-only,
// but they are the main window's own (not a copy), and the equalizer window
// writes its switch, lines and place into them for the save at quit.
Settings* g_settings = nullptr;

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
}

void PendingWindows::ShowEqualizerWindow() { ShowEqualizerDialog(g_owner, g_settings); }
void* PendingWindows::VideoOutputObject() { return TheVideoOutput(); }
bool PendingWindows::VideoWindowVisible() { return VideoWindowShown(); }
bool PendingWindows::VideoFullScreen() { return VideoWindowFullScreen(); }
SIZE PendingWindows::VideoOpenSize() { return VideoLastOpenSize(); }
std::wstring PendingWindows::VideoInfoText() { return VideoInformationText(); }

}  // namespace zul
