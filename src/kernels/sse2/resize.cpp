// SSE2 resize passes: the shared vector passes on 16-byte vectors. SSE2 has
// no gather; four scalar loads fill a vector's lanes.
#include "kernels/resize.h"

#include <emmintrin.h>

#include <cstddef>
#include <cstring>

#include "kernels/resize_rules.h"
#include "kernels/sse2/width.h"

namespace klem::kernels::sse2 {
namespace {

struct ResizeSimd : Simd {
  static constexpr std::ptrdiff_t kWords = 4;
  static V Gather32(const uint8_t* base, const int32_t* offsets, int32_t delta) {
    int32_t lanes[4];
    for (int32_t i = 0; i < 4; ++i) std::memcpy(&lanes[i], base + (std::ptrdiff_t{offsets[i]} + delta), 4);
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(lanes));
  }
  static V LoadWiden8(const uint8_t* p) {
    return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), _mm_setzero_si128());
  }
  static V LoadWords(const uint32_t* p) { return Load(p); }
  static F LoadFloats(const float* p) { return _mm_loadu_ps(p); }
  static void StoreFloats(float* p, F v) { _mm_storeu_ps(p, v); }
  static V SetWord(int32_t w) { return _mm_set1_epi32(w); }
  static V Add32(V a, V b) { return _mm_add_epi32(a, b); }
  static V ShiftRightArith32(V v, int32_t n) { return _mm_sra_epi32(v, _mm_cvtsi32_si128(n)); }
  static V ShiftRight32(V v, int32_t n) { return _mm_srl_epi32(v, _mm_cvtsi32_si128(n)); }
  static V ShiftLeft32(V v, int32_t n) { return _mm_sll_epi32(v, _mm_cvtsi32_si128(n)); }
  static V MultiplyAdd16(V a, V b) { return _mm_madd_epi16(a, b); }
  static V NarrowConsecutive32(V a, V b) { return _mm_packs_epi32(a, b); }
  static V Interleave16Low(V a, V b) { return _mm_unpacklo_epi16(a, b); }
  static V Interleave16High(V a, V b) { return _mm_unpackhi_epi16(a, b); }
  static F Add(F a, F b) { return _mm_add_ps(a, b); }
  static F Sub(F a, F b) { return _mm_sub_ps(a, b); }
  static F Mul(F a, F b) { return _mm_mul_ps(a, b); }
  static F Div(F a, F b) { return _mm_div_ps(a, b); }
  static V Truncate(F f) { return _mm_cvttps_epi32(f); }
};

}  // namespace

#include "kernels/simd/resize.inc"

}  // namespace klem::kernels::sse2
