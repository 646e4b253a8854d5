#pragma once
// Text exchanged with ANSI plug-ins, converted through the ANSI code page.
//
// Threads: any.
#include <windows.h>

#include <string>

namespace zul {

// An ANSI plug-in's file-name buffer: 254 bytes and the terminating NUL.
inline constexpr int kAnsiNameSize = 255;
using AnsiName = char[kAnsiNameSize];

// Converts into the buffer, keeping at most 254 bytes. The cut never splits
// a character (a double-byte one or a surrogate pair).
void ToAnsiName(const std::wstring& text, AnsiName& out);

// Converts at most maxBytes bytes (fewer when a NUL comes first).
std::wstring FromAnsi(const char* text, size_t maxBytes);

}  // namespace zul
