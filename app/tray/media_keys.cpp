#include "app/tray/media_keys.h"

#include "base/console_log.h"

namespace zul {
namespace {

constexpr int kFirstId = 20001;  // ids beside the configured hotkeys' (101..1701)
constexpr UINT kKeys[] = {VK_MEDIA_PLAY_PAUSE, VK_MEDIA_STOP, VK_MEDIA_PREV_TRACK, VK_MEDIA_NEXT_TRACK};
constexpr int kAppCommands[] = {APPCOMMAND_MEDIA_PLAY_PAUSE, APPCOMMAND_MEDIA_STOP, APPCOMMAND_MEDIA_PREVIOUSTRACK,
                                APPCOMMAND_MEDIA_NEXTTRACK};

}  // namespace

void MediaKeys::Register(HWND owner, const Settings& s) {
  for (size_t i = 0; i < std::size(kKeys); ++i) {
    userBound_[i] = false;
    for (const HotkeySetting& h : s.hotkeys)
      if (h.key == static_cast<int>(kKeys[i]) && h.modifiers == 0) userBound_[i] = true;
    registered_[i] = !userBound_[i] && RegisterHotKey(owner, kFirstId + static_cast<int>(i), 0, kKeys[i]);
    if (!userBound_[i] && !registered_[i])
      ZUL_LOG(L"Media key %u is held elsewhere: heard as an app command", kKeys[i]);
  }
  shellHook_ = RegisterWindowMessageW(L"SHELLHOOK");
  RegisterShellHookWindow(owner);
}

void MediaKeys::Unregister(HWND owner) {
  for (size_t i = 0; i < std::size(kKeys); ++i)
    if (registered_[i]) UnregisterHotKey(owner, kFirstId + static_cast<int>(i));
  registered_ = {};
  DeregisterShellHookWindow(owner);
}

std::optional<MediaKey> MediaKeys::ForHotkey(WPARAM id) {
  if (id < kFirstId || id >= kFirstId + std::size(kKeys)) return std::nullopt;
  return static_cast<MediaKey>(id - kFirstId);
}

std::optional<MediaKey> MediaKeys::ForAppCommand(int command) const {
  for (size_t i = 0; i < std::size(kAppCommands); ++i)
    if (kAppCommands[i] == command && !registered_[i] && !userBound_[i]) return static_cast<MediaKey>(i);
  return std::nullopt;
}

}  // namespace zul
