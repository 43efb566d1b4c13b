// AVX-512 resize passes: the shared vector passes on 64-byte vectors, the
// source samples read by gathers of 32-bit words. Packs work within 128-bit
// lanes; the consecutive narrowing puts the quarters back in memory order.
#include "kernels/resize.h"

#include <immintrin.h>

#include <cstddef>

#include "kernels/avx512/width.h"
#include "kernels/resize_rules.h"

namespace klem::kernels::avx512 {
namespace {

struct ResizeSimd : Simd {
  static constexpr std::ptrdiff_t kWords = 16;
  static V Gather32(const uint8_t* base, const int32_t* offsets, int32_t delta) {
    const V index = _mm512_add_epi32(Load(offsets), _mm512_set1_epi32(delta));
    return _mm512_i32gather_epi32(index, base, 1);
  }
  static V LoadWiden8(const uint8_t* p) {
    return _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)));
  }
  static V LoadWords(const uint32_t* p) { return Load(p); }
  static F LoadFloats(const float* p) { return _mm512_loadu_ps(p); }
  static void StoreFloats(float* p, F v) { _mm512_storeu_ps(p, v); }
  static V SetWord(int32_t w) { return _mm512_set1_epi32(w); }
  static V Add32(V a, V b) { return _mm512_add_epi32(a, b); }
  static V ShiftRightArith32(V v, int32_t n) { return _mm512_srai_epi32(v, static_cast<unsigned>(n)); }
  static V ShiftRight32(V v, int32_t n) { return _mm512_srli_epi32(v, static_cast<unsigned>(n)); }
  static V ShiftLeft32(V v, int32_t n) { return _mm512_slli_epi32(v, static_cast<unsigned>(n)); }
  static V MultiplyAdd16(V a, V b) { return _mm512_madd_epi16(a, b); }
  static V NarrowConsecutive32(V a, V b) {
    const V order = _mm512_setr_epi64(0, 2, 4, 6, 1, 3, 5, 7);
    return _mm512_permutexvar_epi64(order, _mm512_packs_epi32(a, b));
  }
  static V Interleave16Low(V a, V b) { return _mm512_unpacklo_epi16(a, b); }
  static V Interleave16High(V a, V b) { return _mm512_unpackhi_epi16(a, b); }
  static F Add(F a, F b) { return _mm512_add_ps(a, b); }
  static F Sub(F a, F b) { return _mm512_sub_ps(a, b); }
  static F Mul(F a, F b) { return _mm512_mul_ps(a, b); }
  static F Div(F a, F b) { return _mm512_div_ps(a, b); }
  static V Truncate(F f) { return _mm512_cvttps_epi32(f); }
};

}  // namespace

#include "kernels/simd/resize.inc"

}  // namespace klem::kernels::avx512
