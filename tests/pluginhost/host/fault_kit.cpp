#include "tests/pluginhost/host/fault_kit.h"

namespace zul::test {
namespace {

volatile int g_zero = 0;
int* volatile g_badAddress = reinterpret_cast<int*>(16);

__attribute__((noinline)) void AccessViolation() { *g_badAddress = 1; }

void RaiseUnderOwnHandler(int kind) {
  if (kind == kHandledByPlugin)
    RaiseException(kPluginPrivateCode, 0, 0, nullptr);
  else
    AccessViolation();
}

// Deep enough to use up any thread's stack; the volatile test keeps the
// compiler from seeing that it never ends.
__attribute__((noinline)) int Recurse(const volatile char* previous) {
  volatile char block[4096];
  block[0] = static_cast<char>(previous ? previous[0] + 1 : 0);
  return g_zero == 0 ? Recurse(block) + block[1] : block[0];
}

// Overwrites every register the calling convention says a callee keeps, so
// the compiler saves them in this function's prologue, then faults: the
// unwind must put the caller's values back.
__attribute__((noinline)) void FaultWithRegistersSet() {
#if defined(__x86_64__)
  __asm__ volatile(
      "movq $-1, %%rbx\n\tmovq $-1, %%rsi\n\tmovq $-1, %%rdi\n\tmovq $-1, %%r12\n\t"
      "movq $-1, %%r13\n\tmovq $-1, %%r14\n\tmovq $-1, %%r15\n\t"
      "pcmpeqd %%xmm6, %%xmm6\n\tpcmpeqd %%xmm7, %%xmm7\n\tpcmpeqd %%xmm8, %%xmm8\n\t"
      "pcmpeqd %%xmm9, %%xmm9\n\tpcmpeqd %%xmm10, %%xmm10\n\tpcmpeqd %%xmm11, %%xmm11\n\t"
      "pcmpeqd %%xmm12, %%xmm12\n\tpcmpeqd %%xmm13, %%xmm13\n\tpcmpeqd %%xmm14, %%xmm14\n\t"
      "pcmpeqd %%xmm15, %%xmm15" ::
          : "rbx", "rsi", "rdi", "r12", "r13", "r14", "r15", "xmm6", "xmm7", "xmm8", "xmm9", "xmm10", "xmm11", "xmm12",
            "xmm13", "xmm14", "xmm15");
#else
  __asm__ volatile("movl $-1, %%ebx\n\tmovl $-1, %%esi\n\tmovl $-1, %%edi" ::: "ebx", "esi", "edi");
#endif
  AccessViolation();
}

#if defined(__i386__)

// The plug-in's own handler: a record on the fs:[0] chain, as MSVC's
// __try/__except builds it.
EXCEPTION_DISPOSITION NTAPI OwnHandler(EXCEPTION_RECORD* e, void*, CONTEXT*, void*) {
  if (e->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) {
    ++g_unwindsSeen;
    return ExceptionContinueSearch;
  }
  if (e->ExceptionCode == kPluginPrivateCode) {
    ++g_handledSeen;
    return ExceptionContinueExecution;
  }
  return ExceptionContinueSearch;
}

void UnderOwnHandler(int kind) {
  EXCEPTION_REGISTRATION_RECORD own;
  own.Handler = &OwnHandler;
  __asm__ volatile("movl %%fs:0, %0" : "=r"(own.Next));
  __asm__ volatile("movl %0, %%fs:0" : : "r"(&own) : "memory");
  RaiseUnderOwnHandler(kind);
  __asm__ volatile("movl %0, %%fs:0" : : "r"(own.Next) : "memory");
}

#else

}  // namespace
}  // namespace zul::test

// The plug-in's own handler on x64: a function whose unwind information names
// a handler for both dispatch and unwind, as MSVC's __try/__except builds it.
extern "C" void ZulTestOwnHandlerFrame(void (*body)(int), int kind);
extern "C" EXCEPTION_DISPOSITION ZulTestOwnHandler(EXCEPTION_RECORD* e, void*, CONTEXT*, void*) {
  using namespace zul::test;
  if (e->ExceptionFlags & EXCEPTION_UNWIND) {
    ++g_unwindsSeen;
    return ExceptionContinueSearch;
  }
  if (e->ExceptionCode == kPluginPrivateCode) {
    ++g_handledSeen;
    return ExceptionContinueExecution;
  }
  return ExceptionContinueSearch;
}

// The nop keeps the return address out of the epilogue: an unwinder that
// finds a frame's address at an epilogue takes the frame as already leaving
// and calls no handler of it.
__asm__(R"(
  .text
  .p2align 4
  .globl ZulTestOwnHandlerFrame
  .def ZulTestOwnHandlerFrame; .scl 2; .type 32; .endef
  .seh_proc ZulTestOwnHandlerFrame
ZulTestOwnHandlerFrame:
  .seh_handler ZulTestOwnHandler, @except, @unwind
  subq $40, %rsp
  .seh_stackalloc 40
  .seh_endprologue
  movq %rcx, %rax
  movl %edx, %ecx
  callq *%rax
  nop
  addq $40, %rsp
  retq
  .seh_endproc
)");

namespace zul::test {
namespace {

void UnderOwnHandler(int kind) { ZulTestOwnHandlerFrame(&RaiseUnderOwnHandler, kind); }

#endif

}  // namespace

__attribute__((noinline)) void RaiseFault(int kind) {
  switch (kind) {
    case kAccessViolation:
      AccessViolation();
      break;
    case kDivideByZero: {
      volatile int x = 100 / g_zero;
      (void)x;
      break;
    }
    case kMsvcThrow: {
      static int thrown = 42;
      ULONG_PTR args[3] = {0x19930520, reinterpret_cast<ULONG_PTR>(&thrown), 0};
      RaiseException(kMsvcCppExceptionCode, EXCEPTION_NONCONTINUABLE, 3, args);
      break;
    }
    case kFaultUnderOwnHandler:
    case kHandledByPlugin:
      UnderOwnHandler(kind);
      break;
    case kFaultWithX87Values:
      __asm__ volatile("fld1\n\tfld1\n\tfld1" ::: "memory");
      AccessViolation();
      break;
    case kFaultWithRegistersSet:
      FaultWithRegistersSet();
      break;
    case kStackOverflow:
      Recurse(nullptr);
      break;
    default:
      break;
  }
}

}  // namespace zul::test
