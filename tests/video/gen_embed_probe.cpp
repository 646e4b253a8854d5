// A test general plug-in that asks the host for an embedded window at Init
// (IPC_GET_EMBEDIF with its window-state record), puts a 200 x 100 child
// window of its own in it and shows it. The handles go to the file named by
// ZUL_EMBED_LOG: "frame <hex>", "me <hex>" (what the host wrote into the
// record) and "child <hex>".
#include <windows.h>

#include <cstdio>

#include "pluginhost/protocol/winamp_records.h"

#define EXPORT extern "C" __declspec(dllexport)

using zul::winampGeneralPurposePlugin;

namespace {

struct EmbedWindowState {
  HWND me;
  int flags;
  RECT r;
  void* user_ptr;
  int extra_data[64];
};

char description[] = "Embedded window probe";
winampGeneralPurposePlugin plugin;
EmbedWindowState state;

void Log(const char* what, HWND h) {
  char path[MAX_PATH];
  if (!GetEnvironmentVariableA("ZUL_EMBED_LOG", path, MAX_PATH)) return;
  if (FILE* f = std::fopen(path, "ab")) {
    std::fprintf(f, "%s %llx\n", what, static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(h)));
    std::fclose(f);
  }
}

LRESULT CALLBACK ChildProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    HBRUSH green = CreateSolidBrush(RGB(0, 200, 0));
    FillRect(dc, &ps.rcPaint, green);
    DeleteObject(green);
    EndPaint(hwnd, &ps);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

int __cdecl Init() {
  state = EmbedWindowState{};
  state.r = {0, 0, 275, 116};
  HWND frame = reinterpret_cast<HWND>(
      SendMessageW(plugin.hwndParent, WM_USER, reinterpret_cast<WPARAM>(&state), 505 /* IPC_GET_EMBEDIF */));
  Log("frame", frame);
  Log("me", state.me);
  if (!frame) return 0;
  WNDCLASSW wc{};
  wc.lpfnWndProc = ChildProc;
  wc.hInstance = plugin.hDllInstance;
  wc.lpszClassName = L"EmbedProbeChild";
  RegisterClassW(&wc);
  HWND child = CreateWindowExW(0, L"EmbedProbeChild", L"", WS_CHILD | WS_VISIBLE, 0, 0, 200, 100, frame, nullptr,
                               plugin.hDllInstance, nullptr);
  Log("child", child);
  ShowWindow(frame, SW_SHOW);
  return 0;
}
void __cdecl Config() {}
void __cdecl Quit() {}

}  // namespace

EXPORT winampGeneralPurposePlugin* winampGetGeneralPurposePlugin() {
  plugin.version = 0x10;
  plugin.description = description;
  plugin.init = Init;
  plugin.config = Config;
  plugin.quit = Quit;
  return &plugin;
}
