// AVX2 channel kernels: the shared vector bodies on 32-byte vectors of two
// 16-byte lanes. AVX2 shuffles and interleaves stay within a lane, so each
// lane is loaded from and stored to its own block of pixels.
#include "kernels/channels.h"

#include <immintrin.h>

#include <array>
#include <cstddef>

#include "kernels/avx2/width.h"
#include "kernels/channel_rules.h"

namespace klem::kernels::avx2 {
namespace {

struct ChannelSimd : avx2::Simd {
  static constexpr int32_t kLanes = 2;
  static V Shuffle8(V v, V control) { return _mm256_shuffle_epi8(v, control); }
  static V Broadcast(const uint8_t* lane) {
    return _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(lane)));
  }
  static V LoadLanes(const uint8_t* p, std::ptrdiff_t laneStride) {
    const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + laneStride));
    return _mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1);
  }
  // The low lane first: with a stride below 16 the high lane overwrites it.
  static void StoreLanes(uint8_t* p, std::ptrdiff_t laneStride, V v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm256_castsi256_si128(v));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + laneStride), _mm256_extracti128_si256(v, 1));
  }
  static V Interleave8Low(V a, V b) { return _mm256_unpacklo_epi8(a, b); }
  static V Interleave8High(V a, V b) { return _mm256_unpackhi_epi8(a, b); }
  static V Interleave16Low(V a, V b) { return _mm256_unpacklo_epi16(a, b); }
  static V Interleave16High(V a, V b) { return _mm256_unpackhi_epi16(a, b); }
  static V Interleave32Low(V a, V b) { return _mm256_unpacklo_epi32(a, b); }
  static V Interleave32High(V a, V b) { return _mm256_unpackhi_epi32(a, b); }
  static V Interleave64Low(V a, V b) { return _mm256_unpacklo_epi64(a, b); }
  static V Interleave64High(V a, V b) { return _mm256_unpackhi_epi64(a, b); }
};

}  // namespace

#include "kernels/simd/channels.inc"

}  // namespace klem::kernels::avx2
