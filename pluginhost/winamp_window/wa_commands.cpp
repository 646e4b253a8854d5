// The Winamp commands (WM_COMMAND to the Winamp window): the playback
// controller's own, those that open windows, and the many that plug-ins
// may send but that only get their log line.
#include "app/capability_stubs.h"
#include "app/main_wnd.h"
#include "app/messages.h"
#include "base/console_log.h"
#include "pluginhost/protocol/winamp_messages.h"
#include "pluginhost/winamp_window/wa_emu_wnd.h"

namespace zul {
namespace {

struct NamedCommand {
  UINT id;
  const wchar_t* name;
};

// Known to plug-ins, logged, nothing else.
constexpr NamedCommand kLoggedOnly[] = {
#include "pluginhost/winamp_window/wa_command_names.inc"
};

}  // namespace

bool CWAEmuWnd::OnCommand(UINT id) {
  if (mainWnd_.playback().OnWinampCommand(id)) return true;
  switch (id) {
    case WINAMP_FILE_QUIT:
      ZUL_LOG(L"Command WINAMP_FILE_QUIT");
      mainWnd_.RunQuitSequence();
      return true;
    case WINAMP_OPTIONS_PREFS:
      ZUL_LOG(L"Command WINAMP_OPTIONS_PREFS");
      OpenPreferences(-1, nullptr);
      return true;
    case WINAMP_SHOW_EQUALIZER:
      ZUL_LOG(L"Command WINAMP_OPTIONS_EQ");
      ShowEqualizerWindow();
      return true;
    case WINAMP_OPTIONS_PLEDIT:
      ZUL_LOG(L"Command WINAMP_OPTIONS_PLEDIT");
      TogglePlaylistWindow();
      return true;
    case WINAMP_HELP_ABOUT:
      ZUL_LOG(L"Command WINAMP_HELP_ABOUT");
      ShowAboutDialog();
      return true;
    case WINAMP_MAINMENU:
      ZUL_LOG(L"Command WINAMP_MAINMENU");
      ShowMainMenuAtCursor();
      return true;
    // Remote controls written for Winamp seek with these, not with the
    // shifted buttons.
    case WINAMP_FFWD5S:
      ZUL_LOG(L"Command WINAMP_FFWD5S");
      mainWnd_.playback().Seek(5000);
      return true;
    case WINAMP_REW5S:
      ZUL_LOG(L"Command WINAMP_REW5S");
      mainWnd_.playback().Seek(-5000);
      return true;
    case WINAMP_BUTTON2_CTRL:
      ZUL_LOG(L"Command WINAMP_BUTTON2_CTRL");
      SendMessageW(mainWnd_.hwnd(), WM_COMMAND, ID_MENU_OPEN_URL, 0);
      return true;
    case WINAMP_JUMPFILE:
      ZUL_LOG(L"Command WINAMP_JUMPFILE");
      ShowPlaylistWindow();
      return true;
    case WINAMP_MAIN_WINDOW:
      ZUL_LOG(L"Command WINAMP_MAIN_WINDOW");
      ToggleMiniBar();
      return true;
  }
  for (const NamedCommand& c : kLoggedOnly) {
    if (c.id == id) {
      ZUL_LOG(L"Command %s", c.name);
      return true;
    }
  }
  return false;
}

}  // namespace zul
