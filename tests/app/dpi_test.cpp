// zul.exe's windows at the screen's scale: the prefix's LogPixels set to 96
// and to 144, a real zul.exe started under each, and the "Open URL" dialog
// it shows measured in physical pixels, with a picture of each kept beside
// the tests. A window laid out in fixed pixels, or a font picked at a fixed
// pixel height, stays small at 144.
// Wine 8 does not stretch programs that are not DPI aware, so this cannot
// tell the manifest's awareness entries from none; the resource check of the
// packaged program reads those.
#include <windows.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "app/messages.h"
#include "tests/support/zul_process.h"

namespace zul::test {
namespace {

constexpr WPARAM kWinampQuit = 40001;
constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t kFontsKey[] = L"Software\\Fonts";  // under HKEY_CURRENT_CONFIG

// LogPixels for every process started after it; the old values come back
// when the test ends, whatever it found, since later tests share the prefix.
class ScopedLogPixels {
public:
  ScopedLogPixels() {
    saved_[0] = Read(HKEY_CURRENT_USER, kDesktopKey, had_[0]);
    saved_[1] = Read(HKEY_CURRENT_CONFIG, kFontsKey, had_[1]);
  }
  ~ScopedLogPixels() {
    Restore(HKEY_CURRENT_USER, kDesktopKey, had_[0], saved_[0]);
    Restore(HKEY_CURRENT_CONFIG, kFontsKey, had_[1], saved_[1]);
  }
  static bool Set(DWORD dpi) {
    return Write(HKEY_CURRENT_USER, kDesktopKey, dpi) && Write(HKEY_CURRENT_CONFIG, kFontsKey, dpi);
  }

private:
  static DWORD Read(HKEY root, const wchar_t* key, bool& had) {
    DWORD value = 0, size = sizeof value;
    had = RegGetValueW(root, key, L"LogPixels", RRF_RT_REG_DWORD, nullptr, &value, &size) == ERROR_SUCCESS;
    return value;
  }
  static bool Write(HKEY root, const wchar_t* key, DWORD value) {
    return RegSetKeyValueW(root, key, L"LogPixels", REG_DWORD, &value, sizeof value) == ERROR_SUCCESS;
  }
  static void Restore(HKEY root, const wchar_t* key, bool had, DWORD value) {
    if (had)
      Write(root, key, value);
    else
      RegDeleteKeyValueW(root, key, L"LogPixels");
  }
  bool had_[2] = {};
  DWORD saved_[2] = {};
};

struct DialogLook {
  SIZE size = {};     // physical pixels
  int textWidth = 0;  // the URL field's width, physical pixels
};

HWND WaitForDialog(DWORD pid, DWORD timeoutMs) {
  for (DWORD waited = 0; waited < timeoutMs; waited += 20) {
    if (HWND dialog = FindWindowOfClass(pid, L"#32770"); dialog && IsWindowVisible(dialog)) return dialog;
    Sleep(20);
  }
  return nullptr;
}

// The screen's pixels of a window, kept as a BMP beside the tests for a
// person to look at.
void KeepPicture(HWND window, const std::wstring& path) {
  RECT r;
  GetWindowRect(window, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 24, BI_RGB};
  void* bits = nullptr;
  HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, picture);
  BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  SelectObject(memory, old);
  const DWORD stride = (w * 3 + 3) & ~3u, imageSize = stride * h;
  BITMAPFILEHEADER file = {0x4D42, static_cast<DWORD>(sizeof file + sizeof info.bmiHeader + imageSize), 0, 0,
                           static_cast<DWORD>(sizeof file + sizeof info.bmiHeader)};
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
  bytes.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
  bytes.append(static_cast<const char*>(bits), imageSize);
  WriteFileBytes(path, bytes);
  DeleteObject(picture);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

DialogLook OpenUrlDialogAt(DWORD dpi) {
  DialogLook look;
  EXPECT_TRUE(ScopedLogPixels::Set(dpi));
  ZulSandbox box(L"zul-dpi-" + std::to_wstring(dpi));
  DWORD pid = 0;
  HANDLE process = box.Start(L"", &pid);
  HWND main = WaitForInstance(pid);
  if (!main || !WaitUntilRunning(main)) {
    ADD_FAILURE() << "zul.exe did not start at " << dpi << " dpi";
    return look;
  }
  PostMessageW(main, WM_COMMAND, ID_MENU_OPEN_URL, 0);
  HWND dialog = WaitForDialog(pid, 20000);
  if (!dialog) {
    ADD_FAILURE() << "no Open URL dialog at " << dpi << " dpi";
    return look;
  }
  RECT r;
  GetWindowRect(dialog, &r);
  look.size = {r.right - r.left, r.bottom - r.top};
  if (HWND field = FindWindowExW(dialog, nullptr, L"Edit", nullptr)) {
    GetWindowRect(field, &r);
    look.textWidth = r.right - r.left;
  }
  // Painted through before the picture: the redraw runs on zul.exe's thread
  // and returns when its children have painted too.
  RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  DWORD_PTR ignored;
  SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &ignored);
  KeepPicture(dialog, BinDir() + L"\\dpi_" + std::to_wstring(dpi) + L"_open_url.bmp");
  PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  PostMessageW(FindWinampWindow(pid), WM_COMMAND, kWinampQuit, 0);
  EXPECT_TRUE(WaitForExit(process, 30000));
  return look;
}

TEST(Dpi, WindowsAreDrawnAtTheScreensScale) {
  // This process measures in physical pixels, whatever zul.exe does. On one
  // screen, system awareness is enough for that.
  SetProcessDPIAware();
  ASSERT_TRUE(IsProcessDPIAware());
  ScopedLogPixels restore;
  const DialogLook normal = OpenUrlDialogAt(96);
  const DialogLook large = OpenUrlDialogAt(144);
  std::printf("96 dpi: %ldx%ld, field %d; 144 dpi: %ldx%ld, field %d\n", normal.size.cx, normal.size.cy,
              normal.textWidth, large.size.cx, large.size.cy, large.textWidth);
  ASSERT_GT(normal.size.cx, 0);
  ASSERT_GT(normal.textWidth, 0);
  // Dialog units follow the font, and the font follows the scale: about half
  // as big again, give or take the font's rounding.
  const double widthRatio = double(large.size.cx) / normal.size.cx;
  const double heightRatio = double(large.size.cy) / normal.size.cy;
  const double fieldRatio = double(large.textWidth) / normal.textWidth;
  EXPECT_NEAR(widthRatio, 1.5, 0.15);
  EXPECT_NEAR(heightRatio, 1.5, 0.2);
  EXPECT_NEAR(fieldRatio, 1.5, 0.15);
}

}  // namespace
}  // namespace zul::test
