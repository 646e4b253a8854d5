#pragma once
// Memory that a request to the Winamp window names by a pointer (a record,
// a buffer, a text, a plug-in's callback). The requests are meant for
// plug-ins inside this process, but any process can send them, and a pointer
// from another process is only a number from another address space. Every
// access through such a pointer goes through here: the range is checked with
// VirtualQuery (committed, accessible, no guard page: touching another
// thread's stack guard would take away its stack growth), and the copy itself
// runs inside the fault guard, since the memory can go away between the check
// and the copy. Nothing here can tell a wild pointer that happens to hit
// usable memory of ours from a good one.
//
// Threads: any thread; nothing is kept.
#include <windows.h>

#include <cstddef>
#include <string>

namespace zul {

bool CallerMemoryUsable(const void* at, size_t bytes, bool write);
bool ReadCallerBytes(const void* from, void* to, size_t bytes);
bool WriteCallerBytes(void* to, const void* from, size_t bytes);

// A NUL-terminated text of the caller's, cut at maxChars characters as the
// requests take them. False when the memory ends before the terminator or
// the limit.
bool ReadCallerText(const char* from, size_t maxChars, std::string& text);
bool ReadCallerText(const wchar_t* from, size_t maxChars, std::wstring& text);

// The console line for a refused request; the request then answers 0.
void LogUnusablePointer(const wchar_t* request, const void* pointer);

}  // namespace zul
