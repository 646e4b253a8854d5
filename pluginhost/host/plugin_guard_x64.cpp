// The x64 half of the fault guard. x64 exceptions are table-based: there is
// no handler chain to register on, so the guard is a small function of its
// own, ZulGuardTrampoline, whose unwind information names ZulGuardHandler as
// its exception handler. The system's dispatcher walks the stack from the
// fault upwards and calls each frame's handler, the plug-in's first; when it
// reaches the trampoline's frame, the plug-in did not handle the exception.
// The handler then calls RtlUnwindEx to the trampoline's frame: every frame
// of the plug-in sees its unwind, and execution resumes at the trampoline's
// recovery label with rax = 1.
//
// The trampoline saves every non-volatile register (rbx, rbp, rsi, rdi,
// r12-r15, xmm6-xmm15) in its prologue and restores them in its epilogue,
// so its caller gets them back as they were whatever the plug-in or the
// unwind left in them.
//
// A vectored handler would not do: it runs before the plug-in's own frame
// handlers, so it would stop exceptions the plug-in handles itself.
#include "pluginhost/host/plugin_guard_frame.h"

#if !defined(__x86_64__)
#error "This half of the guard uses x64 table-based exception handling."
#endif

using zul::GuardedFunction;
using zul::guard_detail::StoppedException;

extern "C" {
// Returns 0 when fn(context) returned, 1 when the guard stopped an exception.
ULONG_PTR ZulGuardTrampoline(GuardedFunction fn, void* context, StoppedException* stopped);
EXCEPTION_DISPOSITION ZulGuardHandler(EXCEPTION_RECORD* exception, void* establisher, CONTEXT* context,
                                      DISPATCHER_CONTEXT* dispatcher);
extern char ZulGuardRecovery[];
}

// Frame layout below the eight pushed registers (216 bytes, which leaves rsp
// 16-byte aligned for the call and the xmm stores):
//   [rsp+0, 32)    the callee's home space
//   [rsp+32]       the StoppedException* the handler fills in
//   [rsp+48, 208)  xmm6-xmm15
// The establisher frame the handler gets is rsp after the prologue (no frame
// register), so the record is at establisher+32.
constexpr int kStoppedSlot = 32;

__asm__(R"(
  .text
  .p2align 4
  .globl ZulGuardTrampoline
  .def ZulGuardTrampoline; .scl 2; .type 32; .endef
  .seh_proc ZulGuardTrampoline
ZulGuardTrampoline:
  .seh_handler ZulGuardHandler, @except
  pushq %rbp
  .seh_pushreg %rbp
  pushq %rbx
  .seh_pushreg %rbx
  pushq %rsi
  .seh_pushreg %rsi
  pushq %rdi
  .seh_pushreg %rdi
  pushq %r12
  .seh_pushreg %r12
  pushq %r13
  .seh_pushreg %r13
  pushq %r14
  .seh_pushreg %r14
  pushq %r15
  .seh_pushreg %r15
  subq $216, %rsp
  .seh_stackalloc 216
  movaps %xmm6, 48(%rsp)
  .seh_savexmm %xmm6, 48
  movaps %xmm7, 64(%rsp)
  .seh_savexmm %xmm7, 64
  movaps %xmm8, 80(%rsp)
  .seh_savexmm %xmm8, 80
  movaps %xmm9, 96(%rsp)
  .seh_savexmm %xmm9, 96
  movaps %xmm10, 112(%rsp)
  .seh_savexmm %xmm10, 112
  movaps %xmm11, 128(%rsp)
  .seh_savexmm %xmm11, 128
  movaps %xmm12, 144(%rsp)
  .seh_savexmm %xmm12, 144
  movaps %xmm13, 160(%rsp)
  .seh_savexmm %xmm13, 160
  movaps %xmm14, 176(%rsp)
  .seh_savexmm %xmm14, 176
  movaps %xmm15, 192(%rsp)
  .seh_savexmm %xmm15, 192
  .seh_endprologue
  movq %r8, 32(%rsp)
  movq %rcx, %rax
  movq %rdx, %rcx
  callq *%rax
  xorl %eax, %eax
  .globl ZulGuardRecovery
ZulGuardRecovery:
  movaps 48(%rsp), %xmm6
  movaps 64(%rsp), %xmm7
  movaps 80(%rsp), %xmm8
  movaps 96(%rsp), %xmm9
  movaps 112(%rsp), %xmm10
  movaps 128(%rsp), %xmm11
  movaps 144(%rsp), %xmm12
  movaps 160(%rsp), %xmm13
  movaps 176(%rsp), %xmm14
  movaps 192(%rsp), %xmm15
  addq $216, %rsp
  popq %r15
  popq %r14
  popq %r13
  popq %r12
  popq %rdi
  popq %rsi
  popq %rbx
  popq %rbp
  retq
  .seh_endproc
)");

namespace {

// A GCC-built plug-in's C++ exceptions travel as these codes. They are left
// alone: stopping one here would unwind through GCC frames with an exception
// GCC's unwinder started, and that hangs.
bool IsGccException(DWORD code) {
  constexpr DWORD kGccThrow = 0x20474343, kGccUnwind = 0x21474343, kGccForced = 0x22474343;
  return code == kGccThrow || code == kGccUnwind || code == kGccForced;
}

}  // namespace

extern "C" EXCEPTION_DISPOSITION ZulGuardHandler(EXCEPTION_RECORD* exception, void* establisher, CONTEXT*,
                                                 DISPATCHER_CONTEXT* dispatcher) {
  // During an unwind (ours, or one a plug-in started) there is nothing to do.
  if (exception->ExceptionFlags & EXCEPTION_UNWIND) return ExceptionContinueSearch;
  if (IsGccException(exception->ExceptionCode)) return ExceptionContinueSearch;
  auto* stopped = *reinterpret_cast<StoppedException**>(static_cast<char*>(establisher) + kStoppedSlot);
  stopped->code = exception->ExceptionCode;
  stopped->address = exception->ExceptionAddress;
  // Does not return: unwinds every frame above ours and resumes at the
  // recovery label with rax = 1.
  RtlUnwindEx(establisher, ZulGuardRecovery, exception, reinterpret_cast<void*>(ULONG_PTR{1}),
              dispatcher->ContextRecord, dispatcher->HistoryTable);
  return ExceptionContinueSearch;
}

namespace zul::guard_detail {

bool RunUnderGuard(GuardedFunction fn, void* context, StoppedException* stopped) noexcept {
  return ZulGuardTrampoline(fn, context, stopped) != 0;
}

}  // namespace zul::guard_detail
