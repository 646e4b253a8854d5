#pragma once
// The plug-in lists in the settings file: "dllInName%d", "dllOutName%d" and
// "dllGenName%d" under "Preferences", index 0 first. A value is a DLL's full
// path or "STANDARD"; the first missing, empty or "NONE" value ends a list.
//
// Threads: UI thread.
#include <string>
#include <vector>

#include "base/settings.h"

namespace zul {

inline constexpr wchar_t kInputListKey[] = L"dllInName%d";
inline constexpr wchar_t kOutputListKey[] = L"dllOutName%d";
inline constexpr wchar_t kGeneralListKey[] = L"dllGenName%d";

// The value at the index, with "NONE" and a missing key read as "".
std::wstring ReadPluginName(const ProfileReader& settings, const wchar_t* pattern, int index);

// Writes "NONE" under the index after the last name, then the names, in one
// crash-safe replacement of the file. False if the file could not be written.
bool WritePluginNames(const std::wstring& profilePath, const wchar_t* pattern, const std::vector<std::wstring>& names);

}  // namespace zul
