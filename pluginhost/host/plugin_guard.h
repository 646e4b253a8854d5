#pragma once
// The fault guard around calls into plug-in code. This is the one place that
// says what it covers.
//
// How it works: the guarded call runs the plug-in code below a frame of its
// own whose handler the system calls only when the plug-in's own handlers
// above it did not handle the exception. That handler unwinds the plug-in's
// frames (so every handler the plug-in registered sees its unwind) and
// resumes the guarded call at its recovery point. The x87 and SSE control
// words the host had before the call are restored, and the caller gets the
// fault. On x86 the frame is a record on the fs:[0] handler chain
// (plugin_guard_x86.cpp); on x64, where exceptions are table-based, it is a
// trampoline with its own unwind information (plugin_guard_x64.cpp).
// GCC has no __try/__except; a vectored handler would be wrong because it
// runs before the plug-in's own handlers and so also fires for exceptions a
// plug-in raises and handles itself (OutputDebugString raises one).
//
// Covered: any SEH exception raised on the calling thread while the plug-in
// code runs and not handled by the plug-in: access violations, integer
// division by zero, other processor faults, RaiseException, and C++
// exceptions thrown by an MSVC-built plug-in (code 0xE06D7363). Guards nest
// (plug-in -> host callback -> guarded plug-in call) and work on any number
// of threads at once; recovery leaves nothing behind, however often it runs.
//
// Not covered:
// - A C++ exception thrown and not caught by a GCC-built plug-in: on x86 it
//   does not travel as SEH at all, on x64 its codes (0x2?474343) are let
//   through, because stopping one would unwind through GCC frames with an
//   exception GCC's unwinder started, which hangs. Either way the plug-in's
//   runtime finds no handler and terminates the process.
// - A C++ exception of the host must never leave the guarded function: on x86
//   it would skip popping the record. CallGuarded is noexcept, so such an
//   exception terminates the program instead of corrupting the chain; host
//   code reached from a plug-in (host callbacks, window procedures) must
//   catch its own.
// - Threads that plug-ins start themselves are not guarded; a fault there
//   ends the process as it would in any host.
// - A plug-in that faulted may still hold its own locks or have left its
//   state half-changed; later calls into it may hang or fault again. The
//   callers log every fault and mark the plug-in as faulted.
// - A stack overflow is caught, and the stack's guard page is re-armed
//   afterwards (_resetstkoflw) so that the next overflow is caught too.
//
// Threads: any thread; each guard lives on its caller's stack.
#include <windows.h>

#include <type_traits>

namespace zul {

struct GuardFault {
  bool faulted = false;
  DWORD code = 0;                 // the exception code, e.g. 0xC0000005
  const void* address = nullptr;  // where it was raised
};

using GuardedFunction = void (*)(void* context);

// Runs fn(context) under the guard.
GuardFault CallGuarded(GuardedFunction fn, void* context) noexcept;

// Runs a callable under the guard. The callable should only call into the
// plug-in and copy results: allocate and convert outside it.
template <class F>
GuardFault Guarded(F&& f) noexcept {
  using Fn = std::remove_reference_t<F>;
  return CallGuarded([](void* c) { (*static_cast<Fn*>(c))(); }, &f);
}

// A short name for a fault code, for the log ("access violation").
const wchar_t* FaultName(DWORD code);

}  // namespace zul
