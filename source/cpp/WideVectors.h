// Whether code compiled for 256-bit vectors (AVX, without fused multiply-add, so every
// operation rounds as the 128-bit one does) may run here: built with GCC or Clang for
// x86-64 and a processor and system that keep the wide registers. Not for 64-bit
// Windows, where GCC does not align the stack for spilling those registers.
#pragma once

#if (defined(__GNUC__) || defined(__clang__)) && defined(__x86_64__) && !defined(_WIN32)
#define HV_WIDE_VECTORS 1
#define HV_WIDE_TARGET __attribute__((target("avx")))

inline bool wideVectorsAvailable() {
    static const bool available = __builtin_cpu_supports("avx");
    return available;
}
#else
#define HV_WIDE_VECTORS 0
#endif
