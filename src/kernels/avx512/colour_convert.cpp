// AVX-512 colour conversions: the shared vector bodies on 64-byte vectors of
// four 16-byte lanes, each lane loaded from and stored to its own group of
// 8 pixels.
#include "kernels/colour_convert.h"

#include <immintrin.h>

#include <array>
#include <cstddef>

#include "kernels/avx512/width.h"
#include "kernels/colour_convert_rules.h"

namespace klem::kernels::avx512 {
namespace {

struct ColourSimd : avx512::Simd {
  static constexpr int32_t kLanes = 4;
  static __m128i Lane(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
  static V LoadGroups(const uint8_t* p) {
    const __m256i low = _mm256_inserti128_si256(_mm256_castsi128_si256(Lane(p)), Lane(p + 24), 1);
    const __m256i high = _mm256_inserti128_si256(_mm256_castsi128_si256(Lane(p + 48)), Lane(p + 72), 1);
    return _mm512_inserti64x4(_mm512_castsi256_si512(low), high, 1);
  }
  static void StoreGroups(uint8_t* p, V v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm512_castsi512_si128(v));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 24), _mm512_extracti32x4_epi32(v, 1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 48), _mm512_extracti32x4_epi32(v, 2));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 72), _mm512_extracti32x4_epi32(v, 3));
  }
  // The masked broadcast: the unmasked one trips a false uninitialised-value warning in g++ 12.
  static V Broadcast(const uint8_t* lane) { return _mm512_maskz_broadcast_i32x4(0xFFFF, Lane(lane)); }
  static V Shuffle8(V v, V control) { return _mm512_shuffle_epi8(v, control); }
  static V Set32(int32_t w) { return _mm512_set1_epi32(w); }
  static V Add32(V a, V b) { return _mm512_add_epi32(a, b); }
  static V MultiplyAdd16(V a, V b) { return _mm512_madd_epi16(a, b); }
  static V MulHigh16(V a, V b) { return _mm512_mulhi_epi16(a, b); }
  template <int32_t k>
  static V ShiftRightArith16(V v) { return _mm512_srai_epi16(v, k); }
  template <int32_t k>
  static V ShiftRightArith32(V v) { return _mm512_srai_epi32(v, k); }
  template <int32_t k>
  static V ShiftLeft16(V v) { return _mm512_slli_epi16(v, k); }
  static V Interleave16Low(V a, V b) { return _mm512_unpacklo_epi16(a, b); }
  static V Interleave16High(V a, V b) { return _mm512_unpackhi_epi16(a, b); }
};

}  // namespace

#include "kernels/simd/colour_convert.inc"

}  // namespace klem::kernels::avx512
