// AVX2 colour conversions: the shared vector bodies on 32-byte vectors of two
// 16-byte lanes. Shuffles, interleaves and narrowing stay within a lane, so
// each lane is loaded from and stored to its own group of 8 pixels.
#include "kernels/colour_convert.h"

#include <immintrin.h>

#include <array>
#include <cstddef>

#include "kernels/avx2/width.h"
#include "kernels/colour_convert_rules.h"

namespace klem::kernels::avx2 {
namespace {

struct ColourSimd : avx2::Simd {
  static constexpr int32_t kLanes = 2;
  static V LoadGroups(const uint8_t* p) {
    const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 24));
    return _mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1);
  }
  static void StoreGroups(uint8_t* p, V v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm256_castsi256_si128(v));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 24), _mm256_extracti128_si256(v, 1));
  }
  static V Broadcast(const uint8_t* lane) {
    return _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(lane)));
  }
  static V Shuffle8(V v, V control) { return _mm256_shuffle_epi8(v, control); }
  static V Set32(int32_t w) { return _mm256_set1_epi32(w); }
  static V Add32(V a, V b) { return _mm256_add_epi32(a, b); }
  static V MultiplyAdd16(V a, V b) { return _mm256_madd_epi16(a, b); }
  static V MulHigh16(V a, V b) { return _mm256_mulhi_epi16(a, b); }
  template <int32_t k>
  static V ShiftRightArith16(V v) { return _mm256_srai_epi16(v, k); }
  template <int32_t k>
  static V ShiftRightArith32(V v) { return _mm256_srai_epi32(v, k); }
  template <int32_t k>
  static V ShiftLeft16(V v) { return _mm256_slli_epi16(v, k); }
  static V Interleave16Low(V a, V b) { return _mm256_unpacklo_epi16(a, b); }
  static V Interleave16High(V a, V b) { return _mm256_unpackhi_epi16(a, b); }
};

}  // namespace

#include "kernels/simd/colour_convert.inc"

}  // namespace klem::kernels::avx2
