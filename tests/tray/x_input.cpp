#include "tests/tray/x_input.h"

#include <vector>

#include "base/win32_handles.h"

namespace zul::test {
namespace {

// The test environment's own folder (two environments' Wine process ids can
// be the same, so their file names alone would meet in /tmp).
std::wstring RunFolder() {
  wchar_t buffer[1024];
  DWORD n = GetEnvironmentVariableW(L"ZUL_RUN_DIR", buffer, 1024);
  return n > 0 && n < 1024 ? std::wstring(buffer) : std::wstring(L"/tmp");
}

// A Unix program started from a Wine program. Wine's CreateProcess does
// not start Unix binaries, and "start /unix" does not wait for them nor
// report their exit code, so the program runs inside a small shell script
// that writes its exit code to a file, which this side waits for.
bool RunUnix(const std::wstring& program, const std::wstring& args, DWORD timeoutMs = 20000) {
  static int serial = 0;
  const std::wstring base =
      RunFolder() + L"/zul-unix-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++serial);
  const std::wstring script = base + L".sh", done = base + L".rc";
  auto dos = [](std::wstring unix) {
    for (wchar_t& c : unix)
      if (c == L'/') c = L'\\';
    return L"Z:" + unix;
  };
  std::wstring text = program + L" " + args + L"\necho $? > " + done + L".tmp && mv " + done + L".tmp " + done + L"\n";
  const int bytes =
      WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), bytes, nullptr, nullptr);
  DeleteFileW(dos(done).c_str());  // left by an earlier process of the same id
  {
    UniqueHandle file(CreateFileW(dos(script).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    if (!file || !WriteFile(file.Get(), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr)) return false;
  }
  STARTUPINFOW si{sizeof si};
  PROCESS_INFORMATION pi{};
  std::wstring cmd = L"start.exe /unix /bin/sh " + script;
  if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
    return false;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  std::string rc;
  const bool finished = WaitFor(
      [&] {
        UniqueHandle file(CreateFileW(dos(done).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
        if (!file) return false;
        char buffer[16] = {};
        DWORD read = 0;
        ReadFile(file.Get(), buffer, sizeof buffer - 1, &read, nullptr);
        rc.assign(buffer, read);
        return true;
      },
      timeoutMs);
  DeleteFileW(dos(script).c_str());
  DeleteFileW(dos(done).c_str());
  return finished && rc.substr(0, 1) == "0";
}

// A Unix path: the screenshot script's folder, else the build's artefacts.
std::wstring ArtefactFolder() {
  wchar_t buffer[1024];
  DWORD n = GetEnvironmentVariableW(L"ZUL_SCREENSHOT_DIR", buffer, 1024);
  if (n > 0 && n < 1024) return buffer;
  n = GetEnvironmentVariableW(L"ZUL_BINARY_DIR", buffer, 1024);
  return (n > 0 && n < 1024 ? std::wstring(buffer) : std::wstring(L"/tmp")) + L"/test-artefacts";
}

}  // namespace

bool XDoTool(const std::wstring& args) { return RunUnix(L"/usr/bin/xdotool", args); }

HWND TrayWindow() {
  if (HWND w = FindWindowW(nullptr, L"Wine System Tray")) return w;
  if (HWND bar = FindWindowW(L"Shell_TrayWnd", nullptr)) return FindWindowExW(bar, nullptr, L"TrayNotifyWnd", nullptr);
  return nullptr;
}

std::optional<POINT> FindInTray(COLORREF colour) {
  HWND tray = TrayWindow();
  RECT r;
  if (!tray || !GetWindowRect(tray, &r)) return std::nullopt;
  const int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return std::nullopt;
  HDC screen = GetDC(nullptr);
  HDC copy = CreateCompatibleDC(screen);
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(copy, dib);
  BitBlt(copy, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  long sx = 0, sy = 0, n = 0;
  const auto* px = static_cast<const DWORD*>(bits);
  const DWORD want = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if ((px[y * w + x] & 0xFFFFFF) == want) {
        sx += x;
        sy += y;
        ++n;
      }
  SelectObject(copy, old);
  DeleteObject(dib);
  DeleteDC(copy);
  ReleaseDC(nullptr, screen);
  if (n < 8) return std::nullopt;  // a stray pixel is not an icon
  return POINT{r.left + static_cast<LONG>(sx / n), r.top + static_cast<LONG>(sy / n)};
}

std::optional<POINT> WaitForTrayColour(COLORREF colour, bool present, DWORD timeoutMs) {
  std::optional<POINT> found;
  WaitFor(
      [&] {
        found = FindInTray(colour);
        return found.has_value() == present;
      },
      timeoutMs);
  return found;
}

bool ClickAt(POINT at, int button, int count) {
  return XDoTool(L"mousemove " + std::to_wstring(at.x) + L" " + std::to_wstring(at.y) + L" click --repeat " +
                 std::to_wstring(count) + L" --delay 60 " + std::to_wstring(button));
}

bool PressAt(POINT at, int button) {
  return XDoTool(L"mousemove " + std::to_wstring(at.x) + L" " + std::to_wstring(at.y) + L" mousedown " +
                 std::to_wstring(button));
}

bool Release(int button) { return XDoTool(L"mouseup " + std::to_wstring(button)); }

bool Keys(const std::wstring& keys) { return XDoTool(L"key --delay 40 " + keys); }

void PumpMessages(DWORD ms) {
  const DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  } while (GetTickCount() - start < ms);
}

bool KeysFocused(const std::wstring& keys, HWND window) {
  static HWND own = nullptr;
  if (!window && !own) {
    own = CreateWindowExW(0, L"STATIC", L"key target", WS_POPUP | WS_VISIBLE | WS_BORDER, 0, 600, 120, 40, nullptr,
                          nullptr, nullptr, nullptr);
    PumpMessages(200);
  }
  HWND target = window ? window : own;
  const auto xid = reinterpret_cast<ULONG_PTR>(GetPropW(target, L"__wine_x11_whole_window"));
  if (!xid) return false;
  const bool sent = XDoTool(L"windowfocus --sync " + std::to_wstring(xid) + L" key --delay 40 " + keys);
  PumpMessages(100);
  return sent;
}

std::wstring Screenshot(const std::wstring& name, const RECT* part) {
  const std::wstring folder = ArtefactFolder();
  RunUnix(L"/bin/mkdir", L"-p \"" + folder + L"\"");
  const std::wstring file = folder + L"/" + name + L".png";
  std::wstring args = L"-window root ";
  if (part)
    args += L"-crop " + std::to_wstring(part->right - part->left) + L"x" + std::to_wstring(part->bottom - part->top) +
            L"+" + std::to_wstring(part->left) + L"+" + std::to_wstring(part->top) + L" ";
  args += L"\"" + file + L"\"";
  RunUnix(L"/usr/bin/import", args);
  return file;
}

}  // namespace zul::test
