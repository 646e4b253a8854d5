#pragma once
// The texts the display timer shows: the time text and the plain tip of the
// tray icon (the Winamp window's title is the track text and the time text).
#include <string>
#include <string_view>

namespace zul {

// The tray record's tip holds 127 characters and its terminator.
inline constexpr size_t kPlainTipMax = 127;

// "mm:ss" of the elapsed (or, with remaining, the remaining) time; with
// total, "/mm:ss" of the length follows. Minutes are not capped at 99.
std::wstring FormatTrayTime(int positionSec, int lengthSec, bool remaining, bool total);

// "track - time", cut to what the tray record holds.
std::wstring FormatPlainTip(std::wstring_view track, std::wstring_view time);

}  // namespace zul
