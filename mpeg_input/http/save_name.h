#pragma once
// The file a received stream is saved to: the pattern's "%1" replaced by
// the file-name part of the location, which the server's side chose and so
// may try anything. The part is made a plain file name: no folder
// separators, no drive colon, no ".." walk, no device name (CON, NUL,
// COM1, ...), no characters Windows refuses, no trailing dots or blanks.
// An existing file is never overwritten: the name part gets a numbered
// prefix "00_" ... "99_", "100_" ... until the name is free.
#include <functional>
#include <string>
#include <string_view>

namespace zul {

// The last path component of a location (before any "?" or "#"), made safe
// as above; "stream" when nothing usable is left.
std::wstring SafeStreamFileName(std::wstring_view location);

// The pattern with "%1" replaced by the safe name and, when `exists` says
// that name is taken, the first free numbered name ("%02u_%s" below 100,
// "%u_%s" from there on). Empty when the pattern is empty or no free name
// is found within kMaxSaveNumber tries.
inline constexpr unsigned kMaxSaveNumber = 10000;
std::wstring SaveStreamTarget(std::wstring_view pattern, std::wstring_view location,
                              const std::function<bool(const std::wstring&)>& exists);

}  // namespace zul
