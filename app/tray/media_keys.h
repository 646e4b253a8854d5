#pragma once
// The keyboard's media keys (Play/Pause, Stop, Previous, Next) work with no
// configuration: each is registered as a hotkey of its own unless the user
// gave that key (without modifiers) to one of the configured hotkeys, which
// then keeps its meaning. A key another program holds cannot be registered;
// its press still reaches the program as WM_APPCOMMAND (on a window of ours,
// or from the shell hook for other windows), and is acted on only then, so
// one press is never two actions.
//
// Threads: UI thread.
#include <windows.h>

#include <array>
#include <optional>

#include "base/settings.h"

namespace zul {

enum class MediaKey { PlayPause, Stop, Previous, Next };

class MediaKeys {
public:
  void Register(HWND owner, const Settings& s);
  void Unregister(HWND owner);

  // The key of a WM_HOTKEY id of ours.
  static std::optional<MediaKey> ForHotkey(WPARAM id);
  // The key of a WM_APPCOMMAND command that nobody else takes: not one we
  // registered (it arrives as a hotkey) nor one the user bound.
  std::optional<MediaKey> ForAppCommand(int command) const;

  // The shell hook's message (RegisterWindowMessage "SHELLHOOK").
  UINT ShellHookMessage() const { return shellHook_; }

private:
  std::array<bool, 4> registered_{};
  std::array<bool, 4> userBound_{};
  UINT shellHook_ = 0;
};

}  // namespace zul
