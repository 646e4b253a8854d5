#include "ui/window_base.h"

namespace zul {
namespace {

constexpr wchar_t kObjectProperty[] = L"ZUL.WindowObject";

// The window being created by CreateSubclassed on this thread, and the hook
// that catches it. Plug-ins may create windows from inside our WM_CREATE, so
// the hook takes only the first window created after it was set.
thread_local WindowBase* g_pending = nullptr;
thread_local HHOOK g_hook = nullptr;

WindowBase* ObjectOf(HWND hwnd) { return static_cast<WindowBase*>(GetPropW(hwnd, kObjectProperty)); }

}  // namespace

WindowBase* WindowBase::FromHandle(HWND hwnd) { return hwnd ? ObjectOf(hwnd) : nullptr; }

WindowBase::~WindowBase() {
  if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

void WindowBase::Attach(HWND hwnd) {
  hwnd_ = hwnd;
  SetPropW(hwnd, kObjectProperty, this);
}

HWND WindowBase::Create(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, int x, int y,
                        int width, int height, HWND parent, HMENU menu) {
  return CreateWindowExW(exStyle, className, title, style, x, y, width, height, parent, menu, GetModuleHandleW(nullptr),
                         this);
}

HWND WindowBase::CreateSubclassed(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, int x,
                                  int y, int width, int height, HWND parent, HMENU menu) {
  g_pending = this;
  g_hook = SetWindowsHookExW(WH_CBT, CreationHook, nullptr, GetCurrentThreadId());
  HWND hwnd = CreateWindowExW(exStyle, className, title, style, x, y, width, height, parent, menu,
                              GetModuleHandleW(nullptr), nullptr);
  if (g_hook) UnhookWindowsHookEx(g_hook);
  g_hook = nullptr;
  g_pending = nullptr;
  return hwnd;
}

LRESULT CALLBACK WindowBase::CreationHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && g_pending) {
    HWND hwnd = reinterpret_cast<HWND>(wParam);
    WindowBase* self = g_pending;
    g_pending = nullptr;
    self->Attach(hwnd);
    self->original_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowBase::StaticProc)));
  }
  return CallNextHookEx(g_hook, code, wParam, lParam);
}

LRESULT CALLBACK WindowBase::StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  WindowBase* self = ObjectOf(hwnd);
  if (!self && msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
    self = static_cast<WindowBase*>(cs->lpCreateParams);
    if (self) self->Attach(hwnd);
  }
  if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
  LRESULT result = self->HandleMessage(msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    RemovePropW(hwnd, kObjectProperty);
    self->hwnd_ = nullptr;
  }
  return result;
}

LRESULT WindowBase::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) { return CallDefault(msg, wParam, lParam); }

LRESULT WindowBase::CallDefault(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (original_) return CallWindowProcW(original_, hwnd_, msg, wParam, lParam);
  return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

}  // namespace zul
