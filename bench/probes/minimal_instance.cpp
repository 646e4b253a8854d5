// The smallest program that answers what the start-up probe asks of zul.exe:
// the instance message and an open request. The baseline for start-up time,
// and, closed with WM_CLOSE, for the time from an exit request to the end of
// the process.
#include <windows.h>

static UINT g_instanceMessage;

static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == g_instanceMessage) return g_instanceMessage;
  if (m == WM_COPYDATA) return TRUE;
  if (m == WM_COMMAND && LOWORD(w) == 507) PostQuitMessage(0);
  if (m == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(h, m, w, l);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  g_instanceMessage = RegisterWindowMessageW(L"ZUL_WND_MSG-{1FDCB966-266D-458C-99F3-6B621F4BAD36}");
  WNDCLASSW wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.lpszClassName = L"ZulMinimalInstance";
  RegisterClassW(&wc);
  CreateWindowW(wc.lpszClassName, L"minimal", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr, nullptr, instance, nullptr);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}
