#pragma once
// Which entries of an update archive may be written, and where: a name is
// taken only when it is a plain file name (no folder part, no drive, no
// "..", no device name, no character Windows refuses) and one of the
// expected files: the program file itself or its language files
// "<program base>_<language>.ini". Anything else refuses the archive.
#include <string>
#include <string_view>

namespace zul {

bool IsPlainFileName(std::wstring_view name);

// `programFile` is the program's file name without folder ("zul.exe").
bool IsExpectedUpdateEntry(std::wstring_view name, std::wstring_view programFile);

}  // namespace zul
