#include "pluginhost/host/plugin_guard.h"

#include <malloc.h>

#include <cstdint>

#include "pluginhost/host/plugin_guard_frame.h"

namespace zul {
namespace {

constexpr DWORD kMsvcCppException = 0xE06D7363;

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

GuardFault CallGuarded(GuardedFunction fn, void* context) noexcept {
  const FpuState fpu = SaveFpu();
  guard_detail::StoppedException stopped;
  if (!guard_detail::RunUnderGuard(fn, context, &stopped)) return GuardFault{};
  RestoreFpu(fpu);
  // The overflow used the stack's guard page; without it the next overflow
  // on this thread would be an access violation the system cannot handle.
  if (stopped.code == EXCEPTION_STACK_OVERFLOW) _resetstkoflw();
  return GuardFault{true, stopped.code, stopped.address};
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
