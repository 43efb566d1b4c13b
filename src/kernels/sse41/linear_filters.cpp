// SSE4.1 linear filters: the shared body on 16-byte vectors, with the
// zero-extending load and the unsigned 16-bit maximum that SSE2 lacks.
#include "kernels/linear_filters.h"

#include <smmintrin.h>

#include "kernels/linear_filter_rules.h"
#include "kernels/sse2/width.h"

namespace klem::kernels::sse41 {
namespace {

struct LinearLanes : sse2::Simd {
  static V LoadWiden8(const uint8_t* p) {
    return _mm_cvtepu8_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)));
  }
  static V MulHiU16(V a, V b) { return _mm_mulhi_epu16(a, b); }
  static V ShiftLeftBy(V v, int n) { return _mm_slli_epi16(v, n); }
  static V ShiftRightBy(V v, int n) { return _mm_srli_epi16(v, n); }
  static V ShiftRightSignedBy(V v, int n) { return _mm_srai_epi16(v, n); }
  static V NoCarry16(V sum, V a) { return _mm_cmpeq_epi16(_mm_max_epu16(sum, a), sum); }
};

}  // namespace

#include "kernels/simd/linear_filters.inc"

}  // namespace klem::kernels::sse41
