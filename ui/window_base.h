#pragma once
// Base of every window of the program: the C++ object is bound to its HWND
// before the first message it can see (WM_NCCREATE, or the creation hook for
// windows of system classes), and each window handles its messages in one
// virtual function.
//
// Threads: a window and its object belong to the thread that created it.
#include <windows.h>

namespace zul {

class WindowBase {
public:
  WindowBase() = default;
  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;
  virtual ~WindowBase();

  HWND hwnd() const { return hwnd_; }
  // The object bound to a window of ours; nullptr for any other window.
  static WindowBase* FromHandle(HWND hwnd);

  // A window of a class registered with WindowBase::StaticProc.
  HWND Create(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, int x, int y, int width,
              int height, HWND parent, HMENU menu);

  // A window of a system class (such as "LISTBOX") that keeps its class but
  // is subclassed before it receives WM_NCCREATE, so WM_CREATE reaches us.
  HWND CreateSubclassed(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, int x, int y,
                        int width, int height, HWND parent, HMENU menu);

  static LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

protected:
  virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  // The class's own procedure for subclassed windows, DefWindowProc otherwise.
  LRESULT CallDefault(UINT msg, WPARAM wParam, LPARAM lParam);

private:
  static LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam);
  void Attach(HWND hwnd);

  HWND hwnd_ = nullptr;
  WNDPROC original_ = nullptr;
};

}  // namespace zul
