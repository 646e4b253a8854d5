#include "pluginhost/winamp_window/wa_emu_wnd.h"

#include "app/console_log.h"
#include "app/main_wnd.h"
#include "app/messages.h"

namespace zul {

bool CWAEmuWnd::RegisterWindowClass() {
  WNDCLASSEXW wc{sizeof wc};
  wc.lpfnWndProc = &WindowBase::StaticProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kWinampClass;
  return RegisterClassExW(&wc) != 0;
}

void CWAEmuWnd::UnregisterWindowClass() { UnregisterClassW(kWinampClass, GetModuleHandleW(nullptr)); }

bool CWAEmuWnd::CreateHidden() {
  return Create(0, kWinampClass, L" - Winamp", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 275, 116, nullptr,
                nullptr) != nullptr;
}

LRESULT CWAEmuWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
      return OnCommand(LOWORD(wParam));
    case WM_WA_IPC:
      return OnIpc(wParam, lParam);
    case WM_CLOSE:
      return 0;  // plug-ins must not destroy the window every one of them holds
  }
  return CallDefault(msg, wParam, lParam);
}

LRESULT CWAEmuWnd::OnCommand(UINT id) {
  if (id == WINAMP_FILE_QUIT) {
    ZUL_LOG(L"Command WINAMP_FILE_QUIT");
    mainWnd_.RunQuitSequence();
    return 0;
  }
  // The command table of the playback controller fills in the rest.
  ZUL_LOG(L"Command %u is not available in this build", id);
  return 0;
}

LRESULT CWAEmuWnd::OnIpc(WPARAM data, LPARAM ipc) {
  // The IPC table of the Winamp emulation fills this in; until then every
  // request is logged and answered with 0, "not supported".
  ZUL_LOG(L"IamWinamp IPC %ld (%lu) is not available in this build", static_cast<long>(ipc),
          static_cast<unsigned long>(data));
  return 0;
}

}  // namespace zul
