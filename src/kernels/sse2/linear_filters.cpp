// SSE2 linear filters: the shared body on 16-byte vectors. SSE2 has no
// 32-bit low multiply; the 5x5 Gauss's product is made from two 32x32->64
// multiplies of the even and odd lanes.
#include "kernels/linear_filters.h"

#include "kernels/linear_filter_rules.h"
#include "kernels/sse2/width.h"

namespace klem::kernels::sse2 {
namespace {

struct LinearLanes : Simd {
  static V LoadWiden8(const uint8_t* p) {
    return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), _mm_setzero_si128());
  }
  static V MulHiU16(V a, V b) { return _mm_mulhi_epu16(a, b); }
  static V ShiftLeftBy(V v, int n) { return _mm_slli_epi16(v, n); }
  static V ShiftRightBy(V v, int n) { return _mm_srli_epi16(v, n); }
  static V ShiftRightSignedBy(V v, int n) { return _mm_srai_epi16(v, n); }
  static V Set32(int32_t w) { return _mm_set1_epi32(w); }
  static V Add32(V a, V b) { return _mm_add_epi32(a, b); }
  static V Mul32(V a, V b) {
    const V even = _mm_mul_epu32(a, b);
    const V odd = _mm_mul_epu32(_mm_srli_epi64(a, 32), _mm_srli_epi64(b, 32));
    return _mm_unpacklo_epi32(_mm_shuffle_epi32(even, 0x08), _mm_shuffle_epi32(odd, 0x08));
  }
  static V ShiftRight32By(V v, int n) { return _mm_srli_epi32(v, n); }
};

}  // namespace

#include "kernels/simd/linear_filters.inc"

}  // namespace klem::kernels::sse2
