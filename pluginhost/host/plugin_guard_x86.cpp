// The x86 half of the fault guard: an SEH registration record on the
// thread's handler chain (fs:[0]) and a recovery point taken with
// __builtin_setjmp. When an exception reaches the record - the plug-in's own
// handlers above it did not handle it - its handler unwinds the chain down to
// the record with RtlUnwind, so every handler the plug-in registered sees its
// unwind, then __builtin_longjmp returns to the recovery point.
#include "pluginhost/host/plugin_guard_frame.h"

#if !defined(__i386__)
#error "This half of the guard uses the x86 SEH handler chain."
#endif

namespace zul::guard_detail {
namespace {

// The registration record must come first: the system hands its address to
// the handler as the establisher frame.
struct GuardFrame {
  EXCEPTION_REGISTRATION_RECORD record;
  void* resume[5];  // __builtin_setjmp buffer
  StoppedException* stopped;
};

// fs:[0], the head of the thread's SEH chain.
EXCEPTION_REGISTRATION_RECORD* ChainHead() {
  EXCEPTION_REGISTRATION_RECORD* head;
  __asm__ volatile("movl %%fs:0, %0" : "=r"(head));
  return head;
}

void SetChainHead(EXCEPTION_REGISTRATION_RECORD* head) { __asm__ volatile("movl %0, %%fs:0" : : "r"(head) : "memory"); }

EXCEPTION_DISPOSITION NTAPI GuardHandler(EXCEPTION_RECORD* exception, void* establisher, CONTEXT*, void*) {
  // During an unwind (ours or one a plug-in started) there is nothing to do.
  if (exception->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) return ExceptionContinueSearch;
  auto* frame = static_cast<GuardFrame*>(establisher);
  frame->stopped->code = exception->ExceptionCode;
  frame->stopped->address = exception->ExceptionAddress;
  // Runs the unwind handlers of every record above ours and leaves ours on
  // top of the chain; it returns here.
  RtlUnwind(establisher, nullptr, exception, nullptr);
  __builtin_longjmp(frame->resume, 1);
}

}  // namespace

__attribute__((noinline)) bool RunUnderGuard(GuardedFunction fn, void* context, StoppedException* stopped) noexcept {
  GuardFrame frame;
  frame.record.Handler = &GuardHandler;
  frame.stopped = stopped;
  if (__builtin_setjmp(frame.resume) == 0) {
    frame.record.Next = ChainHead();
    SetChainHead(&frame.record);
    fn(context);
    SetChainHead(frame.record.Next);
    return false;
  }
  // Back from the handler: RtlUnwind left our record on top of the chain.
  SetChainHead(frame.record.Next);
  return true;
}

}  // namespace zul::guard_detail
