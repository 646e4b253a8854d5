// The Winamp commands (WM_COMMAND to the Winamp window): the playback
// controller's own, those that open windows, and the many that plug-ins
// may send but that only get their log line.
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
  if (shell_.RunPlaybackCommand(id)) return true;
  switch (id) {
    case WINAMP_FILE_QUIT:
      ZUL_LOG(L"Command WINAMP_FILE_QUIT");
      shell_.RunQuitSequence();
      return true;
    case WINAMP_OPTIONS_PREFS:
      ZUL_LOG(L"Command WINAMP_OPTIONS_PREFS");
      shell_.windows().OpenPreferences(-1, nullptr);
      return true;
    case WINAMP_SHOW_EQUALIZER:
      ZUL_LOG(L"Command WINAMP_OPTIONS_EQ");
      shell_.windows().ShowEqualizerWindow();
      return true;
    case WINAMP_OPTIONS_PLEDIT:
      ZUL_LOG(L"Command WINAMP_OPTIONS_PLEDIT");
      shell_.windows().TogglePlaylistWindow();
      return true;
    case WINAMP_HELP_ABOUT:
      ZUL_LOG(L"Command WINAMP_HELP_ABOUT");
      shell_.windows().ShowAboutDialog();
      return true;
    case WINAMP_MAINMENU:
      ZUL_LOG(L"Command WINAMP_MAINMENU");
      shell_.windows().ShowMainMenuAtCursor();
      return true;
    // Remote controls written for Winamp seek with these, not with the
    // shifted buttons.
    case WINAMP_FFWD5S:
      ZUL_LOG(L"Command WINAMP_FFWD5S");
      shell_.Seek(5000);
      return true;
    case WINAMP_REW5S:
      ZUL_LOG(L"Command WINAMP_REW5S");
      shell_.Seek(-5000);
      return true;
    case WINAMP_BUTTON2_CTRL:
      ZUL_LOG(L"Command WINAMP_BUTTON2_CTRL");
      shell_.OpenUrlDialog();
      return true;
    case WINAMP_JUMPFILE:
      ZUL_LOG(L"Command WINAMP_JUMPFILE");
      shell_.windows().ShowPlaylistWindow();
      return true;
    case WINAMP_MAIN_WINDOW:
      ZUL_LOG(L"Command WINAMP_MAIN_WINDOW");
      shell_.windows().ToggleMiniBar();
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
