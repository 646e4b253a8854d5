#include "pluginhost/host/plugin_guard.h"

#include <cstdint>

#if !defined(__i386__)
#error "The plug-in guard uses the x86 SEH handler chain; Winamp plug-ins are 32-bit."
#endif

namespace zul {
namespace {

constexpr DWORD kMsvcCppException = 0xE06D7363;

// The registration record must come first: the system hands its address to
// the handler as the establisher frame.
struct GuardFrame {
  EXCEPTION_REGISTRATION_RECORD record;
  void* resume[5];  // __builtin_setjmp buffer
  volatile DWORD code;
  const void* volatile address;
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
  frame->code = exception->ExceptionCode;
  frame->address = exception->ExceptionAddress;
  // Runs the unwind handlers of every record above ours and leaves ours on
  // top of the chain; it returns here.
  RtlUnwind(establisher, nullptr, exception, nullptr);
  __builtin_longjmp(frame->resume, 1);
}

struct FpuState {
  std::uint16_t x87;
  std::uint32_t mxcsr;
};

FpuState SaveFpu() {
  FpuState s;
  __asm__ volatile("fnstcw %0" : "=m"(s.x87));
  __asm__ volatile("stmxcsr %0" : "=m"(s.mxcsr));
  return s;
}

// A fault in the middle of x87 code leaves values on the register stack that
// would turn every later floating-point result of the host into NaN.
void RestoreFpu(const FpuState& s) {
  __asm__ volatile("fninit");
  __asm__ volatile("fldcw %0" : : "m"(s.x87));
  __asm__ volatile("ldmxcsr %0" : : "m"(s.mxcsr));
}

}  // namespace

__attribute__((noinline)) GuardFault CallGuarded(GuardedFunction fn, void* context) noexcept {
  GuardFrame frame;
  frame.code = 0;
  frame.address = nullptr;
  frame.record.Handler = &GuardHandler;
  const FpuState fpu = SaveFpu();
  if (__builtin_setjmp(frame.resume) == 0) {
    frame.record.Next = ChainHead();
    SetChainHead(&frame.record);
    fn(context);
    SetChainHead(frame.record.Next);
    return GuardFault{};
  }
  // Back from the handler: RtlUnwind left our record on top of the chain.
  SetChainHead(frame.record.Next);
  RestoreFpu(fpu);
  return GuardFault{true, frame.code, frame.address};
}

const wchar_t* FaultName(DWORD code) {
  switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
      return L"access violation";
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
      return L"integer division by zero";
    case EXCEPTION_INT_OVERFLOW:
      return L"integer overflow";
    case EXCEPTION_ILLEGAL_INSTRUCTION:
      return L"illegal instruction";
    case EXCEPTION_PRIV_INSTRUCTION:
      return L"privileged instruction";
    case EXCEPTION_STACK_OVERFLOW:
      return L"stack overflow";
    case EXCEPTION_IN_PAGE_ERROR:
      return L"in-page error";
    case EXCEPTION_BREAKPOINT:
      return L"breakpoint";
    case kMsvcCppException:
      return L"C++ exception";
    default:
      return (code & 0xF0000000u) == 0xC0000000u ? L"system exception" : L"exception";
  }
}

}  // namespace zul
