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
  static V NoCarry16(V sum, V a) { return _mm256_cmpeq_epi16(_mm256_max_epu16(sum, a), sum); }
};

}  // namespace

#include "kernels/simd/linear_filters.inc"

}  // namespace klem::kernels::avx2
