#pragma once
// The log console: every line goes to the main window's list box as
// "<source> (<line>): <message>". Lines logged before the main window exists
// are dropped.
//
// Threads: any thread may log. The UI thread inserts directly; other threads
// post the line to the main window, because a blocking SendMessage from a
// decode thread deadlocks when the UI thread is waiting for that thread.
#include <windows.h>

#include <string>

// To the console window from other threads: lParam = std::wstring* line
// (deleted by the receiver).
#define WM_ZUL_LOG (WM_APP + 1)

namespace zul {

inline constexpr int kConsoleMaxLines = 1001;

// Called by the main window when its list exists, and with nullptr when it
// goes away.
void SetConsoleWindow(HWND list);

void LogLine(const char* sourceFile, int line, const wchar_t* format, ...);

// Appends a finished line to the list, keeping at most kConsoleMaxLines.
void AppendConsoleLine(HWND list, const std::wstring& line);

}  // namespace zul

#define ZUL_LOG(...) ::zul::LogLine(__FILE__, __LINE__, __VA_ARGS__)
