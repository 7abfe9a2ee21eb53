#pragma once
// Some of the libraries the programs load leave the upper halves of the processor's wide
// vector registers in use. Until they are cleared, the double arithmetic of this program and
// of the C library's math functions runs far slower (exp about thirty times, measured) as
// the processor keeps those halves alive across every instruction. Clearing them is one
// instruction where the processor has such registers, and nothing elsewhere.
#if defined(__x86_64__) || defined(__i386__)
namespace vector_state_detail {
// Read during static initialisation, so the processor is asked first (it may not have been yet).
inline const bool kHasWideVectors = (__builtin_cpu_init(), __builtin_cpu_supports("avx"));
}
inline void ClearUpperVectorHalves() {
  // The lower halves, all this program's code uses, are kept.
  if (vector_state_detail::kHasWideVectors) asm volatile("vzeroupper");
}
#else
inline void ClearUpperVectorHalves() {}
#endif
