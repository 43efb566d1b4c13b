// SSE2 linear filters: the shared body on 16-byte vectors. SSE2 has no
// unsigned 16-bit compare; a sum wrapped exactly when its first term exceeds
// it, which a saturating subtraction tells.
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
  static V NoCarry16(V sum, V a) { return _mm_cmpeq_epi16(_mm_subs_epu16(a, sum), _mm_setzero_si128()); }
};

}  // namespace

#include "kernels/simd/linear_filters.inc"

}  // namespace klem::kernels::sse2
