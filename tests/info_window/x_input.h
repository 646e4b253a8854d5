#pragma once
// Real mouse and keyboard input for window tests: xdotool, run as the Unix
// program it is (Wine starts Unix programs by their Z: path), clicks and
// types into the X server the windows live on. Wine does not wait for a Unix
// child, so each call runs xdotool under /bin/sh, which then creates a marker
// file; the call returns once the marker exists.
//
// Also the window questions these tests ask of another process: controls'
// texts and screen rectangles, and a screenshot of the X screen.
#include <windows.h>

#include <string>

namespace zul::test {

// Runs "xdotool <args>"; false when it did not finish in time. (No
// "mousemove --sync": it waits forever when the pointer is already there.)
bool Xdo(const std::string& args, DWORD timeoutMs = 15000);
// Runs a shell command line the same way (for import, the screenshot tool).
bool Shell(const std::string& command, DWORD timeoutMs = 30000);

bool ClickAt(int x, int y);
bool ClickControl(HWND control);  // the middle of the control
bool DragFromTo(int x0, int y0, int x1, int y1);
bool TypeText(const std::string& text);   // letters, digits and blanks only
bool PressKeys(const std::string& keys);  // e.g. "End", "ctrl+a"

// WM_GETTEXT through the other process's window.
std::wstring ControlText(HWND control);
// The texts of all child windows, one per line (a message box's text among them).
std::wstring ChildTexts(HWND window);
// A visible top-level window of the process with that title, polled.
HWND WaitForWindow(DWORD pid, const wchar_t* title, DWORD timeoutMs = 20000);
// Polls `done` every 50 ms until it holds or the time is out.
template <typename Done>
bool WaitFor(Done done, DWORD timeoutMs = 20000) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(50);
  }
  return true;
}

// The whole X screen as a PNG in $ZUL_BINARY_DIR/test-artifacts/<name>.png,
// and, given a window, that window alone as <name>-window.png; returns the
// whole screen's Unix path (empty when it could not be written).
std::string Screenshot(const std::string& name, HWND window = nullptr);

// The colour (0xRRGGBB) at (x, y) of a screenshot; 0xFFFFFFFF when it
// cannot be read.
unsigned long PixelOf(const std::string& png, int x, int y);

}  // namespace zul::test
