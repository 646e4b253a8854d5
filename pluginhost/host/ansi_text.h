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

// Converts into a caller's buffer of `size` bytes, always terminated when
// size > 0, and returns the bytes written without the terminator. The cut
// never splits a character (a double-byte one or a surrogate pair).
int ToAnsiBuffer(const std::wstring& text, char* out, int size);

// ToAnsiBuffer into the 255-byte name buffer.
inline void ToAnsiName(const std::wstring& text, AnsiName& out) { ToAnsiBuffer(text, out, kAnsiNameSize); }

// Converts at most maxBytes bytes (fewer when a NUL comes first).
std::wstring FromAnsi(const char* text, size_t maxBytes);

}  // namespace zul
