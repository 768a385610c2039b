// The vector policies the byte searches are written over: how wide a vector
// is and the handful of operations the kernels need. NoVector has no width:
// with it every search is the plain byte loop. A policy's Narrower is the one
// that finishes what is left after its whole vectors.
//
// Each file that includes this header compiles its own copy for the
// instruction set it is built for (Avx2 exists only in the file built with
// -mavx2), so everything here has internal linkage.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace {

struct NoVector {
  static constexpr std::size_t kWidth = 0;
};

#if defined(__SSE2__)
struct Sse2 {
  using Reg = __m128i;
  using Narrower = NoVector;
  static constexpr std::size_t kWidth = 16;
  static Reg load(const char* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
  static Reg splat(char c) { return _mm_set1_epi8(c); }
  static Reg eq(Reg a, Reg b) { return _mm_cmpeq_epi8(a, b); }
  static Reg both(Reg a, Reg b) { return _mm_and_si128(a, b); }
  static Reg either(Reg a, Reg b) { return _mm_or_si128(a, b); }
  static std::uint32_t bits(Reg a) { return static_cast<std::uint32_t>(_mm_movemask_epi8(a)); }
};
#endif

#if defined(__AVX2__)
struct Avx2 {
  using Reg = __m256i;
  using Narrower = Sse2;
  static constexpr std::size_t kWidth = 32;
  static Reg load(const char* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
  static Reg splat(char c) { return _mm256_set1_epi8(c); }
  static Reg eq(Reg a, Reg b) { return _mm256_cmpeq_epi8(a, b); }
  static Reg both(Reg a, Reg b) { return _mm256_and_si256(a, b); }
  static Reg either(Reg a, Reg b) { return _mm256_or_si256(a, b); }
  static std::uint32_t bits(Reg a) { return static_cast<std::uint32_t>(_mm256_movemask_epi8(a)); }
};
#endif

// What find_bytes.h gives: SSE2 where the compiler targets it (every x86-64
// build), the plain loops elsewhere (the 32-bit Windows build).
#if defined(__SSE2__)
using DefaultPolicy = Sse2;
#else
using DefaultPolicy = NoVector;
#endif

template <class V>
constexpr bool kHasVectors = V::kWidth != 0;

}  // namespace
