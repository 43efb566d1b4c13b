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
  static V Pick(V a, V b, V mask) { return _mm256_blendv_epi8(a, b, mask); }
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
  // Lane l of parts[k] is piece k of block l: the blocks are 16 * kParts
  // bytes each, one after the other; written in whole vectors by put(p, v).
  template <int32_t kParts, typename Put>
  static void StoreBlocks(uint8_t* p, const V (&parts)[kParts], Put put) {
    StoreBlocksFrom<kParts, 0>(p, parts, put);
  }
  template <int32_t kParts, int32_t kVector, typename Put>
  static void StoreBlocksFrom(uint8_t* p, const V (&parts)[kParts], Put put) {
    if constexpr (kVector < kParts) {
      // Pieces 2v and 2v + 1 in the order of memory: piece g is lane g / kParts of parts[g %
      // kParts].
      constexpr int32_t g0 = 2 * kVector, g1 = 2 * kVector + 1;
      constexpr int32_t select = (g0 / kParts) | ((2 + g1 / kParts) << 4);
      put(p + 32 * kVector,
          _mm256_permute2x128_si256(parts[g0 % kParts], parts[g1 % kParts], select));
      StoreBlocksFrom<kParts, kVector + 1>(p, parts, put);
    }
  }
  template <int32_t kParts>
  static void LoadBlocks(const uint8_t* p, V (&parts)[kParts]) {
    V whole[kParts];
    for (int32_t i = 0; i < kParts; ++i) whole[i] = Load(p + 32 * i);
    LoadBlocksFrom<kParts, 0>(whole, parts);
  }
  template <int32_t kParts, int32_t kPart>
  static void LoadBlocksFrom(const V (&whole)[kParts], V (&parts)[kParts]) {
    if constexpr (kPart < kParts) {
      // Piece g of memory is lane g % 2 of whole[g / 2]; lane l of part k is piece l * kParts + k.
      constexpr int32_t g0 = kPart, g1 = kParts + kPart;
      constexpr int32_t select = (g0 % 2) | ((2 + g1 % 2) << 4);
      parts[kPart] = _mm256_permute2x128_si256(whole[g0 / 2], whole[g1 / 2], select);
      LoadBlocksFrom<kParts, kPart + 1>(whole, parts);
    }
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
#include "kernels/simd/channel_permute.inc"

}  // namespace klem::kernels::avx2
