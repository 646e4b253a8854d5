#pragma once
// Real mouse and keyboard input for the window tests: the X server's own
// input through xdotool, which the Wine test program starts as a Unix
// program, and the tray icon found on screen by its colours.
#include <windows.h>

#include <optional>
#include <string>

namespace zul::test {

// Runs xdotool with the arguments and waits for it; false when it did not
// start or failed.
bool XDoTool(const std::wstring& args);

// The Wine tray window ("Wine System Tray", or the taskbar's notification
// area in a desktop).
HWND TrayWindow();
// The centre of the pixels of that colour inside the tray window, in
// screen coordinates; nothing when no pixel has it.
std::optional<POINT> FindInTray(COLORREF colour);
// Polls FindInTray until the colour appears (or, with present false,
// disappears).
std::optional<POINT> WaitForTrayColour(COLORREF colour, bool present, DWORD timeoutMs = 10000);

// Clicks a button (1 left, 3 right) count times at a point, the clicks
// 60 ms apart (well inside the double-click time).
bool ClickAt(POINT at, int button, int count);
bool PressAt(POINT at, int button);
bool Release(int button);
// A key or chord in xdotool's names ("ctrl+alt+F7", "Down", "Return").
bool Keys(const std::wstring& keys);

// A PNG of the screen (or the part given) into the test run folder; the
// file's path.
std::wstring Screenshot(const std::wstring& name, const RECT* part = nullptr);

// A key or chord typed into a window (by default one of this program),
// which takes the X focus first: the X server hands key events to the focused window only,
// and Wine turns them into input there, hotkeys of other programs included.
bool KeysFocused(const std::wstring& keys, HWND target = nullptr);

// Handles this thread's messages for up to ms (X input to this program's
// windows arrives through them).
void PumpMessages(DWORD ms);

// Polls pred every 20 ms until it holds or the time is up.
template <class Pred>
bool WaitFor(Pred pred, DWORD timeoutMs = 10000) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; PumpMessages(20))
    if (pred()) return true;
  return pred();
}

}  // namespace zul::test
