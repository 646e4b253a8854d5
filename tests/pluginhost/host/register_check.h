#pragma once
// Shows whether a call gives its caller back the registers the calling
// convention says a callee keeps, also when the call ends in a recovered
// fault.
namespace zul::test {

// Bits of CallWithRegisterPatterns' result, one per register that no longer
// held its pattern after the call.
#if defined(__x86_64__)
// rbx, rbp, rsi, rdi, r12-r15 (bits 0-7), xmm6-xmm15 (bits 8-17)
inline constexpr int kCheckedRegisters = 18;
#else
// ebx, esi, edi, ebp (bits 0-3)
inline constexpr int kCheckedRegisters = 4;
#endif

}  // namespace zul::test

// Loads a distinct pattern into every callee-saved register, calls
// fn(context) and returns the mask of registers whose pattern changed.
extern "C" unsigned ZulCallWithRegisterPatterns(void (*fn)(void*), void* context);

// Zeroes every callee-saved register and returns, against the convention: a
// call the check must catch.
extern "C" void ZulClobberRegisters(void* unused);
