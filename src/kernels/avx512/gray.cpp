// AVX-512 gray kernel: the shared vector body on 64-byte vectors of four
// 16-byte lanes. Shuffles and packs stay within a lane, so each lane loads,
// and stores, its own block of pixels. The bit expansion is bound by its
// stores and gains nothing at this width; path 4 runs the AVX2 one.
#include "kernels/gray.h"

#include <immintrin.h>

#include <cstddef>

#include "kernels/avx512/width.h"
#include "kernels/gray_rules.h"

namespace klem::kernels::avx512 {
namespace {

struct GraySimd : Simd {
  static constexpr int32_t kLanes = 4;
  static V Shuffle8(V v, V control) { return _mm512_shuffle_epi8(v, control); }
  static V FromLane(__m128i v) { return _mm512_maskz_broadcast_i32x4(0xFFFF, v); }
  static V Broadcast(const uint8_t* lane) {
    return FromLane(_mm_loadu_si128(reinterpret_cast<const __m128i*>(lane)));
  }
  static V LoadLanes(const uint8_t* p, std::ptrdiff_t stride) {
    const auto lane = [&](int32_t l) {
      return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + l * stride));
    };
    const __m256i low = _mm256_inserti128_si256(_mm256_castsi128_si256(lane(0)), lane(1), 1);
    const __m256i high = _mm256_inserti128_si256(_mm256_castsi128_si256(lane(2)), lane(3), 1);
    return _mm512_inserti64x4(_mm512_castsi256_si512(low), high, 1);
  }
  static V Set32(int32_t w) { return _mm512_set1_epi32(w); }
  static V MultiplyAdd16(V a, V b) { return _mm512_madd_epi16(a, b); }
  static V Add32(V a, V b) { return _mm512_add_epi32(a, b); }
  static V ShiftRight32By12(V v) { return _mm512_srai_epi32(v, 12); }
};

}  // namespace

#include "kernels/simd/gray.inc"

}  // namespace klem::kernels::avx512
