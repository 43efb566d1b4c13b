// AVX2 linear filters: the shared body on 32-byte vectors. The widening loads
// take 16 consecutive bytes into a whole vector, and the final narrowing puts
// the 64-bit quarters that the per-lane packs interleave back in order.
#include "kernels/linear_filters.h"

#include "kernels/avx2/width.h"
#include "kernels/linear_filter_rules.h"

namespace klem::kernels::avx2 {
namespace {

struct LinearLanes : Simd {
  static V LoadWiden8(const uint8_t* p) {
    return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
  }
  static V MulHiU16(V a, V b) { return _mm256_mulhi_epu16(a, b); }
  static V ShiftLeftBy(V v, int n) { return _mm256_slli_epi16(v, n); }
  static V ShiftRightBy(V v, int n) { return _mm256_srai_epi16(v, n); }
  static V ShiftRightSignedBy(V v, int n) { return _mm256_srai_epi16(v, n); }
  static V Set32(int32_t w) { return _mm256_set1_epi32(w); }
  static V Add32(V a, V b) { return _mm256_add_epi32(a, b); }
  static V Mul32(V a, V b) { return _mm256_mullo_epi32(a, b); }
  static V ShiftRight32By(V v, int n) { return _mm256_srli_epi32(v, n); }
};

}  // namespace

#include "kernels/simd/linear_filters.inc"

}  // namespace klem::kernels::avx2
