// AVX-512 linear filters: the shared body on 64-byte vectors, as on AVX2 with
// a 64-bit permute across the whole vector after the per-lane packs.
#include "kernels/linear_filters.h"

#include "kernels/avx512/width.h"
#include "kernels/linear_filter_rules.h"

namespace klem::kernels::avx512 {
namespace {

struct LinearLanes : Simd {
  static V LoadWiden8(const uint8_t* p) {
    return _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)));
  }
  static V LoadWiden16(const uint16_t* p) {
    return _mm512_cvtepu16_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)));
  }
  static V NarrowConsecutive32(V first, V second) {
    const V order = _mm512_setr_epi64(0, 2, 4, 6, 1, 3, 5, 7);
    return _mm512_permutexvar_epi64(order, _mm512_packs_epi32(first, second));
  }
  static V MulHiU16(V a, V b) { return _mm512_mulhi_epu16(a, b); }
  static V ShiftLeftBy(V v, int n) { return _mm512_slli_epi16(v, static_cast<unsigned>(n)); }
  static V ShiftRightBy(V v, int n) { return _mm512_srli_epi16(v, static_cast<unsigned>(n)); }
  static V ShiftRightSignedBy(V v, int n) { return _mm512_srai_epi16(v, static_cast<unsigned>(n)); }
  static V Set32(int32_t w) { return _mm512_set1_epi32(w); }
  static V Add32(V a, V b) { return _mm512_add_epi32(a, b); }
  static V Mul32(V a, V b) { return _mm512_mullo_epi32(a, b); }
  static V ShiftRight32By(V v, int n) { return _mm512_srli_epi32(v, static_cast<unsigned>(n)); }
};

}  // namespace

#include "kernels/simd/linear_filters.inc"

}  // namespace klem::kernels::avx512
