#include "tests/playlist_window/window_driver.h"

#include "playlist/window/playlist_window_ids.h"

#include <cstdio>
#include <cstdlib>

namespace zul::test {

// The test environment's own folder (two environments' Wine process ids can
// be the same, so their file names alone would meet in /tmp).
std::string RunFolder() {
  char buffer[1024];
  DWORD n = GetEnvironmentVariableA("ZUL_RUN_DIR", buffer, 1024);
  return n > 0 && n < 1024 ? std::string(buffer) : std::string("/tmp");
}

// Wine starts a Unix program by its path on the Z: drive, but the handle it
// returns neither waits for its end nor gives its exit code. So the command
// runs under the shell, which writes its exit code to a file when it is
// done; waiting for that file keeps consecutive commands in order.
bool RunUnix(const std::string& command) {
  static int counter = 0;
  const std::string marker =
      RunFolder() + "/zul-ui-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter) + ".rc";
  const std::string script = command + "; echo $? > " + marker;
  std::wstring line = L"sh -c \"" + std::wstring(script.begin(), script.end()) + L"\"";
  STARTUPINFOW si{sizeof si};
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(L"Z:\\bin\\sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    std::printf("%s: not started (%lu)\n", command.c_str(), GetLastError());
    return false;
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  std::wstring windowsMarker = L"Z:" + std::wstring(marker.begin(), marker.end());
  for (wchar_t& c : windowsMarker)
    if (c == L'/') c = L'\\';
  std::string code;
  const bool done = WaitFor(
      [&] {
        HANDLE f =
            CreateFileW(windowsMarker.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        nullptr, OPEN_EXISTING, 0, nullptr);
        if (f == INVALID_HANDLE_VALUE) return false;
        char buffer[16] = {};
        DWORD got = 0;
        ReadFile(f, buffer, sizeof buffer - 1, &got, nullptr);
        CloseHandle(f);
        code.assign(buffer, got);
        return got > 0 && code.back() == '\n';
      },
      30000);
  DeleteFileW(windowsMarker.c_str());
  if (!done || code != "0\n") {
    std::printf("%s: %s\n", command.c_str(), done ? ("exit code " + code).c_str() : "did not end");
    return false;
  }
  return true;
}

bool Xdo(const std::string& args) { return RunUnix("xdotool " + args); }

bool ClickAt(POINT at, int button, const std::string& modifiers) {
  std::string args = "mousemove " + std::to_string(at.x) + " " + std::to_string(at.y);
  if (!modifiers.empty()) args += " keydown " + modifiers;
  args += " click " + std::to_string(button);
  if (!modifiers.empty()) args += " keyup " + modifiers;
  return Xdo(args);
}

std::string Screenshot(const std::string& name) {
  const char* binary = std::getenv("ZUL_BINARY_DIR");
  const std::string dir = std::string(binary ? binary : "/tmp") + "/test-artefacts";
  const std::string path = dir + "/" + name + ".png";
  return RunUnix("mkdir -p '" + dir + "' && import -window root '" + path + "'") ? path : std::string();
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  do {
    if (condition()) return true;
    Sleep(30);
  } while (GetTickCount() - start < timeoutMs);
  return condition();
}

namespace {

struct TopWindowSearch {
  DWORD pid;
  const std::wstring* prefix;
  const wchar_t* className;
  HWND found;
};

BOOL CALLBACK MatchTopWindow(HWND window, LPARAM data) {
  auto* s = reinterpret_cast<TopWindowSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != s->pid || !IsWindowVisible(window)) return TRUE;
  if (s->className) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (wcscmp(name, s->className) != 0) return TRUE;
  }
  if (TextOf(window).rfind(*s->prefix, 0) != 0) return TRUE;
  s->found = window;
  return FALSE;
}

}  // namespace

HWND FindTopWindow(DWORD pid, const std::wstring& titlePrefix, const wchar_t* className) {
  TopWindowSearch search{pid, &titlePrefix, className, nullptr};
  EnumWindows(MatchTopWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring TextOf(HWND window) {
  wchar_t text[1024] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 10000, &copied);
  return text;
}

POINT RowCentre(HWND list, int row) {
  DWORD_PTR height = 0, top = 0;
  SendMessageTimeoutW(list, LB_GETITEMHEIGHT, 0, 0, SMTO_BLOCK, 10000, &height);
  SendMessageTimeoutW(list, LB_GETTOPINDEX, 0, 0, SMTO_BLOCK, 10000, &top);
  POINT at{20,
           static_cast<LONG>((row - static_cast<int>(top)) * static_cast<int>(height) + static_cast<int>(height) / 2)};
  ClientToScreen(list, &at);
  return at;
}

POINT CentreOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

int ListCount(HWND list) {
  DWORD_PTR count = 0;
  if (!SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_BLOCK, 10000, &count)) return -1;
  return static_cast<int>(count);
}

std::vector<int> ListSelection(HWND window) {
  std::vector<int> rows;
  const int count = ListCount(GetDlgItem(window, IDC_PL_LIST));
  for (int first = 0; first < count; first += 32) {
    DWORD_PTR bits = 0;
    SendMessageTimeoutW(window, WM_ZUL_PL_SELECTION_BITS, static_cast<WPARAM>(first), 0, SMTO_BLOCK, 10000, &bits);
    for (int i = 0; i < 32 && first + i < count; ++i)
      if (bits & (DWORD_PTR{1} << i)) rows.push_back(first + i);
  }
  return rows;
}

}  // namespace zul::test
