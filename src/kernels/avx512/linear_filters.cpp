// AVX-512 linear filters: the shared body on 64-byte vectors; the widening
// loads take 32 consecutive bytes into a whole vector, and the final
// narrowing puts the 64-bit pieces of the per-lane packs back in order.
#include "kernels/linear_filters.h"

#include "kernels/avx512/width.h"
#include "kernels/linear_filter_rules.h"

namespace klem::kernels::avx512 {
namespace {

struct LinearLanes : Simd {
  static V LoadWiden8(const uint8_t* p) {
    return _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)));
  }
  static V MulHiU16(V a, V b) { return _mm512_mulhi_epu16(a, b); }
  static V ShiftLeftBy(V v, int n) { return _mm512_slli_epi16(v, static_cast<unsigned>(n)); }
  static V ShiftRightBy(V v, int n) { return _mm512_srli_epi16(v, static_cast<unsigned>(n)); }
  static V ShiftRightSignedBy(V v, int n) { return _mm512_srai_epi16(v, static_cast<unsigned>(n)); }
  static V NoCarry16(V sum, V a) { return _mm512_movm_epi16(_mm512_cmpge_epu16_mask(sum, a)); }
};

}  // namespace

#include "kernels/simd/linear_filters.inc"

}  // namespace klem::kernels::avx512
