#include "app/hotkeys.h"

namespace zul {
namespace {

struct Binding {
  int id;
  Hotkey key;
};

// Registration order.
constexpr Binding kBindings[] = {
    {101, Hotkey::Play},        {102, Hotkey::Stop},       {103, Hotkey::Prev},     {104, Hotkey::Next},
    {201, Hotkey::VolumeUp},    {202, Hotkey::VolumeDown}, {301, Hotkey::OpenFile}, {302, Hotkey::OpenFolder},
    {303, Hotkey::OpenUrl},     {401, Hotkey::Shuffle},    {501, Hotkey::Minibar},  {601, Hotkey::Equalizer},
    {701, Hotkey::Repeat},      {801, Hotkey::Playlist},   {901, Hotkey::Mp3Info},  {1001, Hotkey::Exit},
    {1201, Hotkey::NowPlaying}, {1301, Hotkey::Forward},   {1302, Hotkey::Back},    {1401, Hotkey::TrayIcon},
    {1501, Hotkey::Menu},       {1502, Hotkey::Tracks},    {1503, Hotkey::Album},   {1601, Hotkey::AlbumMode},
    {1701, Hotkey::Automation},
};
static_assert(std::size(kBindings) == kHotkeyCount);

void RegisterBinding(HWND owner, const Settings& s, const Binding& b) {
  const HotkeySetting& h = s.hotkeys[static_cast<size_t>(b.key)];
  if (h.key != 0) RegisterHotKey(owner, b.id, static_cast<UINT>(h.modifiers), static_cast<UINT>(h.key));
}

}  // namespace

void RegisterHotkeys(HWND owner, const Settings& s) {
  for (const Binding& b : kBindings) RegisterBinding(owner, s, b);
}

void UnregisterHotkeys(HWND owner) {
  for (const Binding& b : kBindings) UnregisterHotKey(owner, b.id);
}

void RegisterHotkey(HWND owner, const Settings& s, int id) {
  for (const Binding& b : kBindings)
    if (b.id == id) RegisterBinding(owner, s, b);
}

std::optional<Hotkey> HotkeyForId(int id) {
  for (const Binding& b : kBindings)
    if (b.id == id) return b.key;
  return std::nullopt;
}

}  // namespace zul
