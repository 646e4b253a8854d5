#pragma once
// Faults on demand for the fake plug-ins, raised the way real plug-ins fail:
// processor faults, an MSVC C++ throw (RaiseException 0xE06D7363), a fault
// under the plug-in's own exception handler (which must see its unwind), an
// exception the plug-in's own handler deals with itself, and stack overflows.
// The plug-ins link fault_kit.cpp; the tests use only the names below.
#include <windows.h>

#include <atomic>

namespace zul::test {

enum FaultKind {
  kNoFault = 0,
  kAccessViolation = 1,
  kDivideByZero = 2,
  kMsvcThrow = 3,
  kFaultUnderOwnHandler = 4,   // the plug-in's handler counts its unwind
  kHandledByPlugin = 5,        // raised and continued by the plug-in itself
  kFaultWithX87Values = 6,     // faults with values left on the x87 stack
  kFaultWithRegistersSet = 7,  // faults after overwriting every callee-saved register
  kStackOverflow = 8,          // unbounded recursion
};

constexpr DWORD kMsvcCppExceptionCode = 0xE06D7363;
constexpr DWORD kPluginPrivateCode = 0x20474E5A;  // continuable, handled by the plug-in

inline std::atomic<int> g_unwindsSeen{0};
inline std::atomic<int> g_handledSeen{0};

// Raises the fault of that kind (kNoFault: returns).
void RaiseFault(int kind);

}  // namespace zul::test
