// Keeps the Wine system tray shown for the whole of a test run.
//
// When the last tray icon goes away, Wine's explorer hides its tray window.
// Under Xvfb there is no window manager to confirm the hide, and explorer
// waits for it about a second and a half; a program that starts meanwhile
// waits as well, because its first window asks the desktop, which explorer
// owns. zul.exe shows a tray icon, and the Wine tests start and end it
// hundreds of times, so nearly every start paid for the hide of the one
// before. One icon of this program's own keeps the tray shown.
//
// The icon's owner is a message-only window, which no test that enumerates
// windows sees; a test that looks at the tray finds this icon beside
// zul.exe's. The test environment ends the program with the wineserver.
#include <windows.h>
#include <shellapi.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = instance;
  wc.lpszClassName = L"ZulTestTrayKeeper";
  RegisterClassW(&wc);
  HWND window = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
  if (!window) return 1;
  NOTIFYICONDATAW icon{};
  icon.cbSize = sizeof icon;
  icon.hWnd = window;
  icon.uID = 1;
  icon.uFlags = NIF_ICON;
  icon.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  if (!Shell_NotifyIconW(NIM_ADD, &icon)) return 1;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}
