// The 16-byte traits of the convolution body (simd/convolve.inc) for the
// SSE2 and SSSE3 files; the SSSE3 one adds the byte-pair multiply-add. Only
// files compiled with -msse2 or more include this.
#pragma once

#include <emmintrin.h>

#include <cstdint>

#include "kernels/sse2/width.h"

namespace klem::kernels::sse2 {
namespace {

struct ConvolveLanes16 : Simd {
  static constexpr bool kBytePairs = false;
  static V Interleave8Low(V a, V b) { return _mm_unpacklo_epi8(a, b); }
  static V Interleave8High(V a, V b) { return _mm_unpackhi_epi8(a, b); }
  static V MultiplyAdd16(V a, V b) { return _mm_madd_epi16(a, b); }
  static V SignWidenLow16(V v) { return _mm_unpacklo_epi16(v, _mm_srai_epi16(v, 15)); }
  static V SignWidenHigh16(V v) { return _mm_unpackhi_epi16(v, _mm_srai_epi16(v, 15)); }
  static V Max16(V a, V b) { return _mm_max_epi16(a, b); }
  static F ClampFloat(F f, F low, F high) { return _mm_min_ps(_mm_max_ps(f, low), high); }
  static V Set32(int32_t w) { return _mm_set1_epi32(w); }
  static V Add32(V a, V b) { return _mm_add_epi32(a, b); }
  static V ShiftRight32(V v, __m128i count) { return _mm_sra_epi32(v, count); }
  // Four sums times r, clamped to 0..255, rounded by the MXCSR mode, which
  // the caller holds at round-to-nearest-even.
  static V Reciprocal(V v, double r) {
    const __m128d factor = _mm_set1_pd(r), low = _mm_setzero_pd(), high = _mm_set1_pd(255.0);
    const auto one = [&](__m128i pair) {
      return _mm_cvtpd_epi32(_mm_min_pd(_mm_max_pd(_mm_mul_pd(_mm_cvtepi32_pd(pair), factor), low), high));
    };
    return _mm_unpacklo_epi64(one(v), one(_mm_shuffle_epi32(v, 0x0E)));
  }
};

}  // namespace
}  // namespace klem::kernels::sse2
