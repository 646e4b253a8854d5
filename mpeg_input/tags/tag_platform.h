#pragma once
// The one thing the tag readers need from the platform: the ANSI code page.
// Windows converts through the system code page; the native build treats
// the ANSI code page as Latin-1.
#include <string>
#include <string_view>

namespace zul::tags {

std::wstring WideFromAnsi(std::string_view text);
// Characters the code page cannot represent become '?'.
std::string AnsiFromWide(std::wstring_view text);

}  // namespace zul::tags
