// The AVX2 vector width for the shared kernel bodies of src/kernels/simd:
// 32-byte vectors. Only files compiled with -mavx2 include this.
#pragma once

#include <immintrin.h>

#include <cstdint>

namespace klem::kernels::avx2 {
namespace {

struct Simd {
  using V = __m256i;
  using F = __m256;
  static constexpr int32_t kBytes = 32;

  static V Load(const void* p) { return _mm256_loadu_si256(static_cast<const __m256i*>(p)); }
  static void Store(void* p, V v) { _mm256_storeu_si256(static_cast<__m256i*>(p), v); }
  // A store past the caches, to p aligned to kBytes, for results too large
  // to stay in them; Fence() orders such stores before the kernel returns.
  static void Stream(void* p, V v) { _mm256_stream_si256(static_cast<__m256i*>(p), v); }
  static void Fence() { _mm_sfence(); }
  static V Zero() { return _mm256_setzero_si256(); }
  static V Set8(uint8_t b) { return _mm256_set1_epi8(static_cast<char>(b)); }
  static V Set16(uint16_t w) { return _mm256_set1_epi16(static_cast<int16_t>(w)); }

  static V And(V a, V b) { return _mm256_and_si256(a, b); }
  static V Or(V a, V b) { return _mm256_or_si256(a, b); }
  static V Xor(V a, V b) { return _mm256_xor_si256(a, b); }
  static V AndNot(V a, V b) { return _mm256_andnot_si256(a, b); }  // ~a & b
  static V Equal8(V a, V b) { return _mm256_cmpeq_epi8(a, b); }
  static bool Any(V v) { return !_mm256_testz_si256(v, v); }

  static V AddSaturate8(V a, V b) { return _mm256_adds_epu8(a, b); }
  static V SubSaturate8(V a, V b) { return _mm256_subs_epu8(a, b); }
  static V Add16(V a, V b) { return _mm256_add_epi16(a, b); }
  static V Sub16(V a, V b) { return _mm256_sub_epi16(a, b); }
  static V SubSaturate16(V a, V b) { return _mm256_subs_epu16(a, b); }
  static V Mul16(V a, V b) { return _mm256_mullo_epi16(a, b); }
  static V Average16(V a, V b) { return _mm256_avg_epu16(a, b); }
  static V ShiftRight16(V v, __m128i count) { return _mm256_srl_epi16(v, count); }
  static V ShiftLeft16(V v, __m128i count) { return _mm256_sll_epi16(v, count); }
  static V ShiftRight16By8(V v) { return _mm256_srli_epi16(v, 8); }

  // Widening and narrowing within 128-bit lanes: each narrowing undoes the
  // pair of widenings, so vectors keep their memory order through both.
  static V WidenLow8(V v) { return _mm256_unpacklo_epi8(v, _mm256_setzero_si256()); }
  static V WidenHigh8(V v) { return _mm256_unpackhi_epi8(v, _mm256_setzero_si256()); }
  static V Narrow16(V low, V high) { return _mm256_packus_epi16(low, high); }
  static V WidenLow16(V v) { return _mm256_unpacklo_epi16(v, _mm256_setzero_si256()); }
  static V WidenHigh16(V v) { return _mm256_unpackhi_epi16(v, _mm256_setzero_si256()); }
  static V Narrow32(V low, V high) { return _mm256_packs_epi32(low, high); }
  // 16-bit samples of two vectors that follow each other in memory, as bytes
  // in that order (unsigned saturation): packing works per 128-bit lane, so
  // the 64-bit quarters come back interleaved and are put in order.
  static V NarrowConsecutive16(V first, V second) {
    return _mm256_permute4x64_epi64(_mm256_packus_epi16(first, second), 0xD8);
  }

  static F ToFloat(V v) { return _mm256_cvtepi32_ps(v); }
  static F SetFloat(float f) { return _mm256_set1_ps(f); }
  static F Divide(F a, F b) { return _mm256_div_ps(a, b); }
  static F Multiply(F a, F b) { return _mm256_mul_ps(a, b); }
  using Doubles = __m256d;
  static constexpr int32_t kDoubles = kBytes / 8;
  static Doubles LoadDoubles(const double* p) { return _mm256_loadu_pd(p); }
  static void StoreDoubles(double* p, Doubles v) { _mm256_storeu_pd(p, v); }
  static Doubles Add(Doubles a, Doubles b) { return _mm256_add_pd(a, b); }
  static Doubles Sub(Doubles a, Doubles b) { return _mm256_sub_pd(a, b); }
  static Doubles Mul(Doubles a, Doubles b) { return _mm256_mul_pd(a, b); }

  // Rounds by the MXCSR mode, which the caller holds at round-to-nearest-even.
  static V ToInt(F f) { return _mm256_cvtps_epi32(f); }
};

}  // namespace
}  // namespace klem::kernels::avx2
