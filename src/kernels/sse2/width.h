// The SSE2 vector width for the shared kernel bodies of src/kernels/simd:
// 16-byte vectors. Only files compiled with -msse2 include this.
#pragma once

#include <emmintrin.h>

#include <cstdint>

namespace klem::kernels::sse2 {
namespace {

struct Simd {
  using V = __m128i;
  using F = __m128;
  static constexpr int32_t kBytes = 16;

  static V Load(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }
  static void Store(void* p, V v) { _mm_storeu_si128(static_cast<__m128i*>(p), v); }
  // A store past the caches, to p aligned to kBytes, for results too large
  // to stay in them; Fence() orders such stores before the kernel returns.
  static void Stream(void* p, V v) { _mm_stream_si128(static_cast<__m128i*>(p), v); }
  static void Fence() { _mm_sfence(); }
  static V Zero() { return _mm_setzero_si128(); }
  static V Set8(uint8_t b) { return _mm_set1_epi8(static_cast<char>(b)); }
  static V Set16(uint16_t w) { return _mm_set1_epi16(static_cast<int16_t>(w)); }

  static V And(V a, V b) { return _mm_and_si128(a, b); }
  static V Or(V a, V b) { return _mm_or_si128(a, b); }
  static V Xor(V a, V b) { return _mm_xor_si128(a, b); }
  static V AndNot(V a, V b) { return _mm_andnot_si128(a, b); }  // ~a & b
  static V Equal8(V a, V b) { return _mm_cmpeq_epi8(a, b); }
  static bool Any(V v) { return _mm_movemask_epi8(v) != 0; }

  static V AddSaturate8(V a, V b) { return _mm_adds_epu8(a, b); }
  static V SubSaturate8(V a, V b) { return _mm_subs_epu8(a, b); }
  static V Add16(V a, V b) { return _mm_add_epi16(a, b); }
  static V Sub16(V a, V b) { return _mm_sub_epi16(a, b); }
  static V SubSaturate16(V a, V b) { return _mm_subs_epu16(a, b); }
  static V Mul16(V a, V b) { return _mm_mullo_epi16(a, b); }
  static V Average16(V a, V b) { return _mm_avg_epu16(a, b); }
  static V ShiftRight16(V v, __m128i count) { return _mm_srl_epi16(v, count); }
  static V ShiftLeft16(V v, __m128i count) { return _mm_sll_epi16(v, count); }
  static V ShiftRight16By8(V v) { return _mm_srli_epi16(v, 8); }

  // Widening and narrowing within 128-bit lanes: each narrowing undoes the
  // pair of widenings, so vectors keep their memory order through both.
  static V WidenLow8(V v) { return _mm_unpacklo_epi8(v, _mm_setzero_si128()); }
  static V WidenHigh8(V v) { return _mm_unpackhi_epi8(v, _mm_setzero_si128()); }
  static V Narrow16(V low, V high) { return _mm_packus_epi16(low, high); }
  static V WidenLow16(V v) { return _mm_unpacklo_epi16(v, _mm_setzero_si128()); }
  static V WidenHigh16(V v) { return _mm_unpackhi_epi16(v, _mm_setzero_si128()); }
  static V Narrow32(V low, V high) { return _mm_packs_epi32(low, high); }
  // 16-bit samples of two vectors that follow each other in memory, as bytes
  // in that order (unsigned saturation).
  static V NarrowConsecutive16(V first, V second) { return _mm_packus_epi16(first, second); }

  static F ToFloat(V v) { return _mm_cvtepi32_ps(v); }
  static F SetFloat(float f) { return _mm_set1_ps(f); }
  static F Divide(F a, F b) { return _mm_div_ps(a, b); }
  static F Multiply(F a, F b) { return _mm_mul_ps(a, b); }
  using Doubles = __m128d;
  static constexpr int32_t kDoubles = kBytes / 8;
  static Doubles LoadDoubles(const double* p) { return _mm_loadu_pd(p); }
  static void StoreDoubles(double* p, Doubles v) { _mm_storeu_pd(p, v); }
  static Doubles Add(Doubles a, Doubles b) { return _mm_add_pd(a, b); }
  static Doubles Sub(Doubles a, Doubles b) { return _mm_sub_pd(a, b); }
  static Doubles Mul(Doubles a, Doubles b) { return _mm_mul_pd(a, b); }

  // Rounds by the MXCSR mode, which the caller holds at round-to-nearest-even.
  static V ToInt(F f) { return _mm_cvtps_epi32(f); }
};

}  // namespace
}  // namespace klem::kernels::sse2
