#pragma once
// Owners of Win32 handles, so that no way out of a function leaks one: each
// releases what it holds when it goes out of scope, with the function that
// kind of handle needs (CloseHandle, FindClose, DestroyMenu, DeleteObject).
//
// Win32 only; the portable parts of base/ never include this header.
//
// Threads: an owner is used by one thread at a time, like the handle it
// holds. Event and CriticalSection exist to be shared: their handle does not
// change after construction, and any thread may set, wait, enter or leave.
#include <windows.h>

namespace zul {

// One handle of the kind Traits describes: Traits::None() is the value that
// holds nothing, Traits::IsNone(h) tells whether h holds nothing, and
// Traits::Close(h) releases a handle that holds something.
template <typename Traits>
class UniqueWin32 {
public:
  using Handle = typename Traits::Handle;

  UniqueWin32() = default;
  explicit UniqueWin32(Handle handle) : handle_(handle) {}
  ~UniqueWin32() { Reset(); }
  UniqueWin32(UniqueWin32&& other) noexcept : handle_(other.Release()) {}
  UniqueWin32& operator=(UniqueWin32&& other) noexcept {
    Reset(other.Release());
    return *this;
  }
  UniqueWin32(const UniqueWin32&) = delete;
  UniqueWin32& operator=(const UniqueWin32&) = delete;

  Handle Get() const { return handle_; }
  bool Valid() const { return !Traits::IsNone(handle_); }
  explicit operator bool() const { return Valid(); }
  // Gives the handle up without closing it.
  Handle Release() {
    Handle handle = handle_;
    handle_ = Traits::None();
    return handle;
  }
  // Closes the handle held (if any) and takes `handle`.
  void Reset(Handle handle = Traits::None()) {
    if (Valid()) Traits::Close(handle_);
    handle_ = handle;
  }

private:
  Handle handle_ = Traits::None();
};

// Kernel handles: files, threads, processes, events, mutexes, pipes. The API
// reports "none" both ways: CreateFile with INVALID_HANDLE_VALUE, most others
// (CreateThread, CreateEvent, OpenProcess) with null; neither is closed.
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle None() { return nullptr; }
  static bool IsNone(Handle h) { return h == nullptr || h == INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { CloseHandle(h); }
};
using UniqueHandle = UniqueWin32<KernelHandleTraits>;

// A FindFirstFile search: closed with FindClose, never with CloseHandle.
struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle None() { return INVALID_HANDLE_VALUE; }
  static bool IsNone(Handle h) { return h == INVALID_HANDLE_VALUE || h == nullptr; }
  static void Close(Handle h) { FindClose(h); }
};
using UniqueFindHandle = UniqueWin32<FindHandleTraits>;

// A menu that no window owns (a menu set on a window goes with the window;
// a submenu goes with its parent menu): release such a menu before it is
// attached.
struct MenuTraits {
  using Handle = HMENU;
  static Handle None() { return nullptr; }
  static bool IsNone(Handle h) { return h == nullptr; }
  static void Close(Handle h) { DestroyMenu(h); }
};
using UniqueMenu = UniqueWin32<MenuTraits>;

// A GDI object (HBITMAP, HFONT, HBRUSH, HPEN, HRGN). DeleteObject fails on an
// object still selected into a device context: select the old one back
// before the owner goes.
template <typename GdiHandle>
struct GdiObjectTraits {
  using Handle = GdiHandle;
  static Handle None() { return nullptr; }
  static bool IsNone(Handle h) { return h == nullptr; }
  static void Close(Handle h) { DeleteObject(h); }
};
template <typename GdiHandle>
using UniqueGdiObject = UniqueWin32<GdiObjectTraits<GdiHandle>>;

// An unnamed event. Valid() is false when CreateEvent failed; Set on such an
// event does nothing, and callers that wait must check Valid() first.
class Event {
public:
  enum class Reset { Auto, Manual };
  explicit Event(Reset reset, bool initiallySet = false)
      : handle_(CreateEventW(nullptr, reset == Reset::Manual, initiallySet, nullptr)) {}

  HANDLE Get() const { return handle_.Get(); }
  bool Valid() const { return handle_.Valid(); }
  void Set() const {
    if (Valid()) SetEvent(handle_.Get());
  }
  void Clear() const {
    if (Valid()) ResetEvent(handle_.Get());
  }

private:
  UniqueHandle handle_;
};

// A critical section for the lifetime of its owner; lock it with
// CriticalSectionLock.
class CriticalSection {
public:
  CriticalSection() { InitializeCriticalSection(&section_); }
  ~CriticalSection() { DeleteCriticalSection(&section_); }
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;

  void Enter() { EnterCriticalSection(&section_); }
  void Leave() { LeaveCriticalSection(&section_); }

private:
  CRITICAL_SECTION section_;
};

// Holds a critical section from construction to the end of the scope.
class CriticalSectionLock {
public:
  explicit CriticalSectionLock(CriticalSection& section) : section_(section) { section_.Enter(); }
  ~CriticalSectionLock() { section_.Leave(); }
  CriticalSectionLock(const CriticalSectionLock&) = delete;
  CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;

private:
  CriticalSection& section_;
};

}  // namespace zul
