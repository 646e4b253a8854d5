#pragma once
// Faults on demand for the test plug-ins, raised the way real plug-ins fail:
// processor faults, an MSVC C++ throw (RaiseException 0xE06D7363), a fault
// under the plug-in's own SEH handler (which must see its unwind), and an
// exception the plug-in's own handler deals with itself.
#include <windows.h>

#include <atomic>

namespace zul::test {

enum FaultKind {
  kNoFault = 0,
  kAccessViolation = 1,
  kDivideByZero = 2,
  kMsvcThrow = 3,
  kFaultUnderOwnHandler = 4,  // the plug-in's handler counts its unwind
  kHandledByPlugin = 5,       // raised and continued by the plug-in itself
  kFaultWithX87Values = 6,    // faults with values left on the x87 stack
};

constexpr DWORD kMsvcCppExceptionCode = 0xE06D7363;
constexpr DWORD kPluginPrivateCode = 0x20474E5A;  // continuable, handled by the plug-in

inline volatile int g_zero = 0;
inline int* volatile g_badAddress = reinterpret_cast<int*>(16);
inline std::atomic<int> g_unwindsSeen{0};
inline std::atomic<int> g_handledSeen{0};

inline EXCEPTION_REGISTRATION_RECORD* PluginChainHead() {
  EXCEPTION_REGISTRATION_RECORD* head;
  __asm__ volatile("movl %%fs:0, %0" : "=r"(head));
  return head;
}
inline void SetPluginChainHead(EXCEPTION_REGISTRATION_RECORD* head) {
  __asm__ volatile("movl %0, %%fs:0" : : "r"(head) : "memory");
}

inline EXCEPTION_DISPOSITION NTAPI OwnHandler(EXCEPTION_RECORD* e, void*, CONTEXT*, void*) {
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

__attribute__((noinline)) inline void AccessViolation() { *g_badAddress = 1; }

__attribute__((noinline)) inline void RaiseFault(int kind) {
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
    case kHandledByPlugin: {
      EXCEPTION_REGISTRATION_RECORD own;
      own.Handler = &OwnHandler;
      own.Next = PluginChainHead();
      SetPluginChainHead(&own);
      if (kind == kHandledByPlugin)
        RaiseException(kPluginPrivateCode, 0, 0, nullptr);
      else
        AccessViolation();
      SetPluginChainHead(own.Next);
      break;
    }
    case kFaultWithX87Values:
      __asm__ volatile("fld1\n\tfld1\n\tfld1" ::: "memory");
      AccessViolation();
      break;
    default:
      break;
  }
}

}  // namespace zul::test
