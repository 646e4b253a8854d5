#include "tests/info_window/x_input.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace zul::test {
namespace {

std::wstring Widen(const std::string& s) { return std::wstring(s.begin(), s.end()); }

struct FindArgs {
  DWORD pid;
  const wchar_t* title;
  HWND found;
};

BOOL CALLBACK FindTitled(HWND w, LPARAM l) {
  auto* a = reinterpret_cast<FindArgs*>(l);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  wchar_t title[256] = L"";
  GetWindowTextW(w, title, 256);
  if (pid == a->pid && IsWindowVisible(w) && wcscmp(title, a->title) == 0) {
    a->found = w;
    return FALSE;
  }
  return TRUE;
}

// The test environment's own folder (two environments' Wine process ids can
// be the same, so their file names alone would meet in /tmp).
std::string RunFolder() {
  char buffer[1024];
  DWORD n = GetEnvironmentVariableA("ZUL_RUN_DIR", buffer, 1024);
  return n > 0 && n < 1024 ? std::string(buffer) : std::string("/tmp");
}

}  // namespace

bool Shell(const std::string& command, DWORD timeoutMs) {
  static int counter = 0;
  char marker[1200];
  std::snprintf(marker, sizeof marker, "%s/zul-xdo-%lu-%d.done", RunFolder().c_str(), GetCurrentProcessId(), ++counter);
  std::wstring winMarker = L"Z:" + Widen(marker);
  for (auto& c : winMarker)
    if (c == L'/') c = L'\\';
  DeleteFileW(winMarker.c_str());
  std::wstring line = L"/bin/sh -c \"" + Widen(command) + L"; touch " + Widen(marker) + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(L"Z:\\bin\\sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return false;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  bool done = WaitFor([&] { return GetFileAttributesW(winMarker.c_str()) != INVALID_FILE_ATTRIBUTES; }, timeoutMs);
  DeleteFileW(winMarker.c_str());
  return done;
}

bool Xdo(const std::string& args, DWORD timeoutMs) { return Shell("xdotool " + args, timeoutMs); }

bool ClickAt(int x, int y) {
  return Xdo("mousemove " + std::to_string(x) + " " + std::to_string(y) + " sleep 0.1 click 1");
}

bool ClickControl(HWND control) {
  RECT r{};
  if (!GetWindowRect(control, &r)) return false;
  return ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

bool DragFromTo(int x0, int y0, int x1, int y1) {
  return Xdo("mousemove " + std::to_string(x0) + " " + std::to_string(y0) +
             " sleep 0.1 mousedown 1 sleep 0.1 mousemove " + std::to_string((x0 + x1) / 2) + " " +
             std::to_string((y0 + y1) / 2) + " sleep 0.1 mousemove " + std::to_string(x1) + " " + std::to_string(y1) +
             " sleep 0.1 mouseup 1");
}

bool TypeText(const std::string& text) { return Xdo("type --delay 30 '" + text + "'"); }

bool PressKeys(const std::string& keys) { return Xdo("key " + keys); }

std::wstring ControlText(HWND control) {
  wchar_t text[1024] = L"";
  DWORD_PTR n = 0;
  if (!SendMessageTimeoutW(control, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 10000, &n) ||
      n >= 1024)
    return {};
  return std::wstring(text, n);
}

std::wstring ChildTexts(HWND window) {
  std::wstring all;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    all += ControlText(child) + L"\n";
  return all;
}

HWND WaitForWindow(DWORD pid, const wchar_t* title, DWORD timeoutMs) {
  FindArgs a{pid, title, nullptr};
  WaitFor(
      [&] {
        EnumWindows(FindTitled, reinterpret_cast<LPARAM>(&a));
        return a.found != nullptr;
      },
      timeoutMs);
  return a.found;
}

std::string Screenshot(const std::string& name, HWND window) {
  const char* bin = std::getenv("ZUL_BINARY_DIR");
  if (!bin) return {};
  std::string dir = std::string(bin) + "/test-artifacts";
  std::string path = dir + "/" + name + ".png";
  if (!Shell("mkdir -p " + dir + " && import -window root " + path)) return {};
  RECT r{};
  if (window && GetWindowRect(window, &r))
    Shell("convert " + path + " -crop " + std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top) +
          "+" + std::to_string(r.left) + "+" + std::to_string(r.top) + " +repage " + dir + "/" + name + "-window.png");
  return path;
}

unsigned long PixelOf(const std::string& png, int x, int y) {
  char out[1200];
  std::snprintf(out, sizeof out, "%s/zul-pixel-%lu.txt", RunFolder().c_str(), GetCurrentProcessId());
  if (!Shell("convert " + png + " -crop 1x1+" + std::to_string(x) + "+" + std::to_string(y) + " -depth 8 txt:- > " +
             out))
    return 0xFFFFFFFF;
  std::wstring winOut = L"Z:" + Widen(out);
  for (auto& c : winOut)
    if (c == L'/') c = L'\\';
  FILE* f = _wfopen(winOut.c_str(), L"rb");
  if (!f) return 0xFFFFFFFF;
  char text[512] = "";
  size_t n = std::fread(text, 1, sizeof text - 1, f);
  std::fclose(f);
  text[n] = 0;
  // A header line "# ImageMagick ...", then "0,0: (255,0,0)  #FF0000  red"
  // (with an alpha channel "#FF0000FF").
  const char* line = std::strchr(text, '\n');
  const char* hash = line ? std::strchr(line, '#') : nullptr;
  if (!hash) return 0xFFFFFFFF;
  char* end = nullptr;
  unsigned long value = std::strtoul(hash + 1, &end, 16);
  return end - (hash + 1) == 8 ? value >> 8 : value;
}

}  // namespace zul::test
