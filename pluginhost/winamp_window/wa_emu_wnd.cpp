#include "pluginhost/winamp_window/wa_emu_wnd.h"

#include "app/console_log.h"
#include "app/main_wnd.h"
#include "app/messages.h"
#include "app/quorvel_app.h"

namespace zul {
namespace {

std::wstring ModuleFolder() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p(path, n);
  return p.substr(0, p.find_last_of(L'\\') + 1);
}

std::string Ansi(const std::wstring& text) {
  int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace

CWAEmuWnd::CWAEmuWnd(CMainWnd& mainWnd) : mainWnd_(mainWnd) {
  wchar_t module[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, module, MAX_PATH);
  std::wstring path(module, n);
  iniFileW_ = ProfilePathFor(path);
  iniDirectoryW_ = ModuleFolder();
  pluginDirectoryW_ = iniDirectoryW_ + L"Plugins";
  iniFile_ = Ansi(iniFileW_);
  iniDirectory_ = Ansi(iniDirectoryW_);
  pluginDirectory_ = Ansi(pluginDirectoryW_);
}

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
    case WM_WA_MPEG_EOF:
      ZUL_LOG(L"WM_WA_MPEG_EOF\n");
      SendMessageW(mainWnd_.hwnd(), WM_WA_MPEG_EOF, 0, 0);
      return 0;
    case WM_NCDESTROY:
      ZUL_LOG(L"PostNcDestroy");
      break;
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

LRESULT CWAEmuWnd::RegisterIpcName(const char* name) {
  if (!name) return 0;
  for (size_t i = 0; i < ipcNames_.size(); ++i)
    if (ipcNames_[i] == name) return static_cast<LRESULT>(IPC_FIRST_REGISTERED + i);
  ipcNames_.emplace_back(name);
  return static_cast<LRESULT>(IPC_FIRST_REGISTERED - 1 + ipcNames_.size());
}

}  // namespace zul
