#include "tests/pluginhost/host/host_fixture.h"
#include "base/win32_handles.h"

#include <map>

#include "tests/support/zul_process.h"

namespace zul::test {

std::function<LRESULT(LPARAM)> OnIpc;
int ipcMessages = 0;

std::wstring MakeTempDir(const wchar_t* name) { return FreshTempFolder(std::wstring(L"zul-host-") + name); }

PluginCopy::PluginCopy(const wchar_t* builtName, const std::wstring& dir, const wchar_t* copyName)
    : path_(dir + L"\\" + copyName) {
  CopyFileW((BinDir() + L"\\" + builtName).c_str(), path_.c_str(), FALSE);
  module_ = LoadLibraryW(path_.c_str());
}

void PluginCopy::Release() {
  if (module_) FreeLibrary(module_);
  module_ = nullptr;
}

InputControls::InputControls(const PluginCopy& c)
    : Reset(c.Export<void (*)()>("TestReset")),
      SetInt(c.Export<void (*)(const char*, int)>("TestSetInt")),
      GetInt(c.Export<int (*)(const char*)>("TestGetInt")),
      Calls(c.Export<int (*)(const char*)>("TestCalls")),
      CallOrder(c.Export<const char* (*)()>("TestCallOrder")),
      SetExtensions(c.Export<void (*)(const char*, int)>("TestSetExtensions")),
      SetNull(c.Export<void (*)(const char*)>("TestSetNull")),
      SetFault(c.Export<void (*)(const char*, int)>("TestSetFault")),
      LastFile(c.Export<const void* (*)(const char*)>("TestLastFile")),
      PlayPointer(c.Export<const void* (*)()>("TestPlayPointer")),
      CallSetInfo(c.Export<void (*)(int, int, int, int)>("TestCallSetInfo")),
      Fault(c.Export<void (*)(int)>("TestFault")) {
  Reset();
}

GeneralControls::GeneralControls(const PluginCopy& c)
    : Set(c.Export<void (*)(const char*, int)>("TestGenSet")),
      Get(c.Export<int (*)(const char*)>("TestGenGet")),
      Go(c.Export<void (*)()>("TestGenGo")) {}

namespace {

LRESULT CALLBACK StandInProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_USER) {
    ++ipcMessages;
    return OnIpc ? OnIpc(lParam) : 0x5030;
  }
  if (msg == kWho) return 9;
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

HWND CreateWinampStandIn() {
  static bool registered = false;
  if (!registered) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = StandInProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ZulTestWinampStandIn";
    registered = RegisterClassW(&wc) != 0;
  }
  return CreateWindowW(L"ZulTestWinampStandIn", L" - Winamp", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                       GetModuleHandleW(nullptr), nullptr);
}

MessageBoxCatcher::MessageBoxCatcher(DWORD pid) : pid_(pid), thread_([this] { Run(); }) {}

MessageBoxCatcher::~MessageBoxCatcher() {
  stop_ = true;
  thread_.join();
}

std::vector<MessageBoxCatcher::Box> MessageBoxCatcher::Boxes() {
  std::lock_guard<std::mutex> lock(mutex_);
  return boxes_;
}

bool MessageBoxCatcher::WaitFor(size_t count, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < timeoutMs) {
    if (Boxes().size() >= count) return true;
    Sleep(20);
  }
  return Boxes().size() >= count;
}

void MessageBoxCatcher::Run() {
  while (!stop_) {
    std::vector<HWND> found;
    struct Search {
      DWORD pid;
      std::vector<HWND>* found;
    } search{pid_, &found};
    EnumWindows(
        [](HWND h, LPARAM p) WINAPI -> BOOL {
          auto* s = reinterpret_cast<Search*>(p);
          DWORD owner = 0;
          GetWindowThreadProcessId(h, &owner);
          wchar_t cls[16];
          if (owner == s->pid && IsWindowVisible(h) && GetClassNameW(h, cls, 16) && wcscmp(cls, L"#32770") == 0)
            s->found->push_back(h);
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    for (HWND h : found) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        bool seen = false;
        for (HWND old : handled_) seen = seen || old == h;
        if (seen) continue;
        handled_.push_back(h);
      }
      wchar_t caption[256] = {}, text[1024] = {};
      GetWindowTextW(h, caption, 256);
      GetDlgItemTextW(h, 0xFFFF, text, 1024);
      {
        std::lock_guard<std::mutex> lock(mutex_);
        boxes_.push_back({caption, text});
      }
      PostMessageW(h, WM_COMMAND, IDOK, 0);
    }
    Sleep(20);
  }
}

std::wstring IniValue(const std::wstring& ini, const std::wstring& key) {
  wchar_t value[1024] = {};
  GetPrivateProfileStringW(L"Preferences", key.c_str(), L"", value, 1024, ini.c_str());
  return value;
}

void WriteIni(const std::wstring& ini, const std::wstring& preferencesLines) {
  std::wstring text = L"[Preferences]\r\n" + preferencesLines;
  std::string bytes;
  for (wchar_t c : text) bytes += static_cast<char>(c);  // test paths are ASCII
  UniqueHandle f(CreateFileW(ini.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  WriteFile(f.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

#if defined(__i386__)
void* ChainHead() {
  void* head;
  __asm__ volatile("movl %%fs:0, %0" : "=r"(head));
  return head;
}
#endif

}  // namespace zul::test
