#include "tests/pluginhost/host/register_check.h"

// The frame saves and restores the registers it loads, so its own caller
// keeps its values; the call in between sees only the patterns.
#if defined(__x86_64__)
__asm__(R"(
  .text
  .p2align 4
  .globl ZulCallWithRegisterPatterns
  .def ZulCallWithRegisterPatterns; .scl 2; .type 32; .endef
  .seh_proc ZulCallWithRegisterPatterns
ZulCallWithRegisterPatterns:
  pushq %rbx
  .seh_pushreg %rbx
  pushq %rbp
  .seh_pushreg %rbp
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
  movq %rcx, %rax
  movq %rdx, %rcx
  movq %rax, 32(%rsp)
  movabsq $0x5A5A5A5A00000000, %rbx
  movabsq $0x5A5A5A5A00000001, %rbp
  movabsq $0x5A5A5A5A00000002, %rsi
  movabsq $0x5A5A5A5A00000003, %rdi
  movabsq $0x5A5A5A5A00000004, %r12
  movabsq $0x5A5A5A5A00000005, %r13
  movabsq $0x5A5A5A5A00000006, %r14
  movabsq $0x5A5A5A5A00000007, %r15
  movabsq $0x5A5A5A5A00000100, %r11
  movq %r11, %xmm6
  movabsq $0x5A5A5A5A00000101, %r11
  movq %r11, %xmm7
  movabsq $0x5A5A5A5A00000102, %r11
  movq %r11, %xmm8
  movabsq $0x5A5A5A5A00000103, %r11
  movq %r11, %xmm9
  movabsq $0x5A5A5A5A00000104, %r11
  movq %r11, %xmm10
  movabsq $0x5A5A5A5A00000105, %r11
  movq %r11, %xmm11
  movabsq $0x5A5A5A5A00000106, %r11
  movq %r11, %xmm12
  movabsq $0x5A5A5A5A00000107, %r11
  movq %r11, %xmm13
  movabsq $0x5A5A5A5A00000108, %r11
  movq %r11, %xmm14
  movabsq $0x5A5A5A5A00000109, %r11
  movq %r11, %xmm15
  callq *32(%rsp)
  xorl %eax, %eax
  movabsq $0x5A5A5A5A00000000, %r11
  cmpq %r11, %rbx
  je 1f
  orl $1, %eax
1:
  movabsq $0x5A5A5A5A00000001, %r11
  cmpq %r11, %rbp
  je 2f
  orl $2, %eax
2:
  movabsq $0x5A5A5A5A00000002, %r11
  cmpq %r11, %rsi
  je 3f
  orl $4, %eax
3:
  movabsq $0x5A5A5A5A00000003, %r11
  cmpq %r11, %rdi
  je 4f
  orl $8, %eax
4:
  movabsq $0x5A5A5A5A00000004, %r11
  cmpq %r11, %r12
  je 5f
  orl $16, %eax
5:
  movabsq $0x5A5A5A5A00000005, %r11
  cmpq %r11, %r13
  je 6f
  orl $32, %eax
6:
  movabsq $0x5A5A5A5A00000006, %r11
  cmpq %r11, %r14
  je 7f
  orl $64, %eax
7:
  movabsq $0x5A5A5A5A00000007, %r11
  cmpq %r11, %r15
  je 8f
  orl $128, %eax
8:
  movabsq $0x5A5A5A5A00000100, %r11
  movq %xmm6, %r10
  cmpq %r11, %r10
  je 9f
  orl $256, %eax
9:
  movabsq $0x5A5A5A5A00000101, %r11
  movq %xmm7, %r10
  cmpq %r11, %r10
  je 10f
  orl $512, %eax
10:
  movabsq $0x5A5A5A5A00000102, %r11
  movq %xmm8, %r10
  cmpq %r11, %r10
  je 11f
  orl $1024, %eax
11:
  movabsq $0x5A5A5A5A00000103, %r11
  movq %xmm9, %r10
  cmpq %r11, %r10
  je 12f
  orl $2048, %eax
12:
  movabsq $0x5A5A5A5A00000104, %r11
  movq %xmm10, %r10
  cmpq %r11, %r10
  je 13f
  orl $4096, %eax
13:
  movabsq $0x5A5A5A5A00000105, %r11
  movq %xmm11, %r10
  cmpq %r11, %r10
  je 14f
  orl $8192, %eax
14:
  movabsq $0x5A5A5A5A00000106, %r11
  movq %xmm12, %r10
  cmpq %r11, %r10
  je 15f
  orl $16384, %eax
15:
  movabsq $0x5A5A5A5A00000107, %r11
  movq %xmm13, %r10
  cmpq %r11, %r10
  je 16f
  orl $32768, %eax
16:
  movabsq $0x5A5A5A5A00000108, %r11
  movq %xmm14, %r10
  cmpq %r11, %r10
  je 17f
  orl $65536, %eax
17:
  movabsq $0x5A5A5A5A00000109, %r11
  movq %xmm15, %r10
  cmpq %r11, %r10
  je 18f
  orl $131072, %eax
18:
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
  popq %rbp
  popq %rbx
  retq
  .seh_endproc
)");

// Breaks the convention on purpose: zeroes every callee-saved register and
// returns. Shows that the check above sees a lost register.
__asm__(R"(
  .text
  .p2align 4
  .globl ZulClobberRegisters
ZulClobberRegisters:
  xorl %ebx, %ebx
  xorl %ebp, %ebp
  xorl %esi, %esi
  xorl %edi, %edi
  xorl %r12d, %r12d
  xorl %r13d, %r13d
  xorl %r14d, %r14d
  xorl %r15d, %r15d
  pxor %xmm6, %xmm6
  pxor %xmm7, %xmm7
  pxor %xmm8, %xmm8
  pxor %xmm9, %xmm9
  pxor %xmm10, %xmm10
  pxor %xmm11, %xmm11
  pxor %xmm12, %xmm12
  pxor %xmm13, %xmm13
  pxor %xmm14, %xmm14
  pxor %xmm15, %xmm15
  retq
)");
#else
__asm__(R"(
  .text
  .p2align 4
  .globl _ZulCallWithRegisterPatterns
_ZulCallWithRegisterPatterns:
  pushl %ebp
  pushl %ebx
  pushl %esi
  pushl %edi
  movl 20(%esp), %eax
  movl 24(%esp), %ecx
  pushl %ecx
  movl $0x5A5A0000, %ebx
  movl $0x5A5A0001, %esi
  movl $0x5A5A0002, %edi
  movl $0x5A5A0003, %ebp
  call *%eax
  addl $4, %esp
  xorl %eax, %eax
  cmpl $0x5A5A0000, %ebx
  je 1f
  orl $1, %eax
1:
  cmpl $0x5A5A0001, %esi
  je 2f
  orl $2, %eax
2:
  cmpl $0x5A5A0002, %edi
  je 3f
  orl $4, %eax
3:
  cmpl $0x5A5A0003, %ebp
  je 4f
  orl $8, %eax
4:
  popl %edi
  popl %esi
  popl %ebx
  popl %ebp
  ret
)");

__asm__(R"(
  .text
  .p2align 4
  .globl _ZulClobberRegisters
_ZulClobberRegisters:
  xorl %ebx, %ebx
  xorl %esi, %esi
  xorl %edi, %edi
  xorl %ebp, %ebp
  ret
)");
#endif
