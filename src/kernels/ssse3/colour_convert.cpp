// SSSE3 colour conversions: the shared vector bodies on 16-byte vectors, one
// group of 8 pixels each, with the byte shuffle that SSSE3 brings to gather
// and scatter the components of 3-byte pixels.
#include "kernels/colour_convert.h"

#include <tmmintrin.h>

#include <array>
#include <cstddef>

#include "kernels/colour_convert_rules.h"
#include "kernels/sse2/width.h"

namespace klem::kernels::ssse3 {
namespace {

struct ColourSimd : sse2::Simd {
  static constexpr int32_t kLanes = 1;
  static V LoadGroups(const uint8_t* p) { return Load(p); }
  static void StoreGroups(uint8_t* p, V v) { Store(p, v); }
  static V Broadcast(const uint8_t* lane) { return Load(lane); }
  static V Shuffle8(V v, V control) { return _mm_shuffle_epi8(v, control); }
  static V Set32(int32_t w) { return _mm_set1_epi32(w); }
  static V Add32(V a, V b) { return _mm_add_epi32(a, b); }
  static V MultiplyAdd16(V a, V b) { return _mm_madd_epi16(a, b); }
  static V MulHigh16(V a, V b) { return _mm_mulhi_epi16(a, b); }
  template <int32_t k>
  static V ShiftRightArith16(V v) { return _mm_srai_epi16(v, k); }
  template <int32_t k>
  static V ShiftRightArith32(V v) { return _mm_srai_epi32(v, k); }
  template <int32_t k>
  static V ShiftLeft16(V v) { return _mm_slli_epi16(v, k); }
  static V Interleave16Low(V a, V b) { return _mm_unpacklo_epi16(a, b); }
  static V Interleave16High(V a, V b) { return _mm_unpackhi_epi16(a, b); }
};

}  // namespace

#include "kernels/simd/colour_convert.inc"

}  // namespace klem::kernels::ssse3
