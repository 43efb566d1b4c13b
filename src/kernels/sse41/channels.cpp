// SSE4.1 channel kernels: the SSSE3 ones with the byte blend of SSE4.1, which
// picks bytes in one instruction instead of three.
#include "kernels/channels.h"

#include <smmintrin.h>

#include <array>
#include <cstddef>

#include "kernels/channel_rules.h"
#include "kernels/sse2/width.h"

namespace klem::kernels::sse41 {
namespace {

struct ChannelSimd : sse2::Simd {
  static constexpr int32_t kLanes = 1;
  static V Pick(V a, V b, V mask) { return _mm_blendv_epi8(a, b, mask); }
  static V Shuffle8(V v, V control) { return _mm_shuffle_epi8(v, control); }
  static V Broadcast(const uint8_t* lane) { return Load(lane); }
  static V LoadLanes(const uint8_t* p, std::ptrdiff_t /*laneStride*/) { return Load(p); }
  static void StoreLanes(uint8_t* p, std::ptrdiff_t /*laneStride*/, V v) { Store(p, v); }
  template <int32_t kParts>
  static void LoadBlocks(const uint8_t* p, V (&parts)[kParts]) {
    for (int32_t k = 0; k < kParts; ++k) parts[k] = Load(p + 16 * k);
  }
  template <int32_t kParts>
  static void StoreBlocks(uint8_t* p, const V (&parts)[kParts]) {
    for (int32_t k = 0; k < kParts; ++k) Store(p + 16 * k, parts[k]);
  }
  static V Interleave8Low(V a, V b) { return _mm_unpacklo_epi8(a, b); }
  static V Interleave8High(V a, V b) { return _mm_unpackhi_epi8(a, b); }
  static V Interleave16Low(V a, V b) { return _mm_unpacklo_epi16(a, b); }
  static V Interleave16High(V a, V b) { return _mm_unpackhi_epi16(a, b); }
  static V Interleave32Low(V a, V b) { return _mm_unpacklo_epi32(a, b); }
  static V Interleave32High(V a, V b) { return _mm_unpackhi_epi32(a, b); }
  static V Interleave64Low(V a, V b) { return _mm_unpacklo_epi64(a, b); }
  static V Interleave64High(V a, V b) { return _mm_unpackhi_epi64(a, b); }
};

}  // namespace

#include "kernels/simd/channels.inc"

}  // namespace klem::kernels::sse41
