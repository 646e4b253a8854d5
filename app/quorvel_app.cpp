#include "app/quorvel_app.h"

#include <objidl.h>
#include <gdiplus.h>

#include "app/instance.h"
#include "app/main_wnd.h"
#include "app/messages.h"
#include "base/console_log.h"
#include "base/program_paths.h"
#include "equalizer/equalizer.h"
#include "pluginhost/host/plugin_startup.h"
#include "pluginhost/protocol/winamp_messages.h"
#include "pluginhost/winamp_window/wa_emu_wnd.h"
#include "resources/resource.h"

namespace zul {
namespace {

constexpr wchar_t kMutexName[] = L"Winamp v1.x";
constexpr wchar_t kAppClass[] = L"ZULAppClass";

}  // namespace

CQuorvelApp::CQuorvelApp() = default;

CQuorvelApp::~CQuorvelApp() {
  if (gdiplusStarted_) Gdiplus::GdiplusShutdown(gdiplusToken_);
}

bool CQuorvelApp::HandOverOrWait(const CommandLine& cl, bool mutexExisted) {
  HWND running = mutexExisted ? FindRunningInstance() : nullptr;
  if (!running) return cl.exit;  // "-x" without a running instance: nothing to do
  if (cl.exit) {
    DWORD_PTR reply = 0;
    SendMessageTimeoutW(running, WM_COMMAND, ID_MENU_EXIT, 0, SMTO_BLOCK, 500, &reply);
    return true;
  }
  if (!cl.file.empty()) {
    SendOpenRequest(running, cl.file, cl.add);
    return true;
  }
  if (cl.restart) {
    while (IsWindow(running)) Sleep(100);
  }
  return false;
}

int CQuorvelApp::Run(const std::vector<std::wstring>& args) {
  Gdiplus::GdiplusStartupInput gdiplusInput;
  gdiplusStarted_ = Gdiplus::GdiplusStartup(&gdiplusToken_, &gdiplusInput, nullptr) == Gdiplus::Ok;

  HANDLE mutex = CreateMutexW(nullptr, FALSE, kMutexName);
  const bool mutexExisted = GetLastError() == ERROR_ALREADY_EXISTS;
  mutex_.Reset(mutex);
  const CommandLine cl = ParseCommandLine(args);
  if (cl.showUsage) {
    MessageBoxW(nullptr, kUsageText, L"ZUL", MB_OK);
    return 0;
  }
  if (HandOverOrWait(cl, mutexExisted)) return 0;

  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{sizeof wc};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_ZUL));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kAppClass;
  appClassRegistered_ = RegisterClassExW(&wc) != 0;
  if (!appClassRegistered_) return 1;

  mainWnd_ = std::make_unique<CMainWnd>(CurrentProgramPaths(), InstanceMessage());
  if (!mainWnd_->CreateConsoleWindow()) return 1;

  winampClassRegistered_ = CWAEmuWnd::RegisterWindowClass();
  if (!winampClassRegistered_) return 1;
  winampWnd_ = std::make_unique<CWAEmuWnd>(*mainWnd_);
  if (!winampWnd_->CreateHidden()) return 1;
  mainWnd_->SetWinampWindow(winampWnd_->hwnd());

  mainWnd_->SecondStage();
  // Our own argument takes the same road as one from a second instance.
  if (!cl.file.empty()) SendOpenRequest(mainWnd_->hwnd(), cl.file, cl.add);
  int code = MessageLoop();
  ProcessEnd();
  return code;
}

int CQuorvelApp::MessageLoop() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

void CQuorvelApp::ProcessEnd() {
  SetConsoleWindow(nullptr);
  UnloadPlugins(mainWnd_->Modules());
  EqQuit();  // only now: input plug-ins' decode threads filter through it until unloaded
  winampWnd_.reset();
  mainWnd_.reset();
  if (winampClassRegistered_) CWAEmuWnd::UnregisterWindowClass();
}

}  // namespace zul
