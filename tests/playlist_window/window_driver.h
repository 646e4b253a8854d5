#pragma once
// Drives the windows of a running zul.exe as a person would: real pointer
// and key events through xdotool under the test display, the window state
// read back with window messages from this process, screenshots of the
// display kept as test artefacts.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace zul::test {

// Runs /usr/bin/xdotool with the arguments and waits for it; true when it
// exited with 0.
bool Xdo(const std::string& args);
// Pointer to the screen point and one click of the button (1 left, 3 right).
bool ClickAt(POINT at, int button = 1, const std::string& modifiers = "");
// The whole display as a PNG under the build's test run folder; the path.
std::string Screenshot(const std::string& name);

// Polls until the condition holds or the time runs out.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 30000);

// A visible top-level window of the process whose title begins with the
// text (and, when given, of that class).
HWND FindTopWindow(DWORD pid, const std::wstring& titlePrefix, const wchar_t* className = nullptr);
std::wstring TextOf(HWND window);

// The list row's centre on screen (rows counted from the top row shown).
POINT RowCentre(HWND list, int row);
POINT CentreOf(HWND window);

// Reads the playlist list box's state from another process (the selection
// through the playlist window).
int ListCount(HWND list);
std::vector<int> ListSelection(HWND playlistWindow);

}  // namespace zul::test
