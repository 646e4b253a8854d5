#pragma once
// The version texts of the update check: the server's "update.txt" (first
// line the latest version, release notes after its first NUL byte) against
// the program's own version resource.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zul {

// "%d.%d.%d.%d" of the fixed file version when LS is not 0, else "%d.%d"
// of MS when MS is not 0, else empty.
std::wstring LocalVersionText(uint32_t ms, uint32_t ls);

// Up to four fields of decimal digits separated by "." (the text is cut at
// its first line feed; a carriage return before it is ignored); missing
// fields are 0. Nothing when a field is empty, holds anything but the
// digits 0-9, or does not fit 32 bits.
std::optional<std::array<uint32_t, 4>> ParseVersion(std::string_view text);

// True only when both parse and the remote version is greater.
bool IsNewerVersion(std::string_view remote, std::string_view local);

// The notes newer than the installed version: from after the first "]"
// (or the start) to one character before the local version's text after
// that point; the whole notes when that leaves nothing.
std::wstring NotesExcerpt(std::wstring_view notes, std::wstring_view localVersion);

}  // namespace zul
