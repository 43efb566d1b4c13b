// AVX-512 split and merge kernels: the shared vector bodies on 64-byte
// vectors of four 16-byte lanes, so each lane does the work of one 16-byte
// vector on its own block of pixels and a loop step moves 64 pixels, one
// whole line of every channel image. The byte shuffles stay within lanes;
// the blocks are gathered into lanes and back across the whole vector by
// 64-bit permutes, which move bytes only. Byte picks are one bit-select.
// The permutes keep the AVX2 kernels (see channels.cpp).
#include "kernels/channels.h"

#include <immintrin.h>

#include <array>
#include <cstddef>

#include "kernels/avx512/width.h"
#include "kernels/channel_rules.h"

namespace klem::kernels::avx512 {
namespace {

// The 64-bit indices that gather, into lane l of a result, lane lanes[l] % 4
// of source lanes[l] / 4 of three vectors: the first two through one
// two-source permute, the third through a masked one over it.
struct LaneGather {
  alignas(64) int64_t pair[8];
  alignas(64) int64_t third[8];
  __mmask8 fromThird;
};

constexpr LaneGather MakeGather(const std::array<int32_t, 4>& lanes) {
  LaneGather g{};
  for (int32_t l = 0; l < 4; ++l) {
    const int32_t source = lanes[l] / 4, lane = lanes[l] % 4;
    for (int32_t half = 0; half < 2; ++half) {
      g.pair[2 * l + half] = source < 2 ? 2 * lanes[l] + half : 0;
      g.third[2 * l + half] = 2 * lane + half;
    }
    if (source == 2) g.fromThird = static_cast<__mmask8>(g.fromThird | (3 << (2 * l)));
  }
  return g;
}

// Blocks of 48 bytes, pieces g = 0..11 of 16 bytes: loaded, part k takes in
// lane l piece 3l + k; stored, memory vector i takes in lane j piece 4i + j,
// which is lane (4i + j) / 3 of part (4i + j) % 3.
constexpr LaneGather kLoadThree[3] = {MakeGather({0, 3, 6, 9}), MakeGather({1, 4, 7, 10}),
                                      MakeGather({2, 5, 8, 11})};
constexpr LaneGather kStoreThree[3] = {MakeGather({0, 4, 8, 1}), MakeGather({5, 9, 2, 6}),
                                       MakeGather({10, 3, 7, 11})};

struct ChannelSimd : avx512::Simd {
  static constexpr int32_t kLanes = 4;
  static V Pick(V a, V b, V mask) { return _mm512_ternarylogic_epi32(mask, b, a, 0xCA); }
  static V Shuffle8(V v, V control) { return _mm512_shuffle_epi8(v, control); }
  static V Broadcast(const uint8_t* lane) {
    return _mm512_maskz_broadcast_i32x4(0xFFFF, _mm_loadu_si128(reinterpret_cast<const __m128i*>(lane)));
  }
  static V Gather(const LaneGather& g, const V (&v)[3]) {
    const V pair = _mm512_permutex2var_epi64(v[0], Load(g.pair), v[1]);
    return _mm512_mask_permutexvar_epi64(pair, g.fromThird, Load(g.third), v[2]);
  }
  // Lane l of the four results is lane k of v[l] for result k, and the other
  // way round: a transpose of 4 x 4 lanes, its own inverse.
  static void Transpose(const V (&v)[4], V (&out)[4]) {
    const V low01 = _mm512_shuffle_i64x2(v[0], v[1], 0x44), high01 = _mm512_shuffle_i64x2(v[0], v[1], 0xEE);
    const V low23 = _mm512_shuffle_i64x2(v[2], v[3], 0x44), high23 = _mm512_shuffle_i64x2(v[2], v[3], 0xEE);
    out[0] = _mm512_shuffle_i64x2(low01, low23, 0x88);
    out[1] = _mm512_shuffle_i64x2(low01, low23, 0xDD);
    out[2] = _mm512_shuffle_i64x2(high01, high23, 0x88);
    out[3] = _mm512_shuffle_i64x2(high01, high23, 0xDD);
  }
  template <int32_t kParts>
  static void LoadBlocks(const uint8_t* p, V (&parts)[kParts]) {
    V whole[kParts];
    for (int32_t i = 0; i < kParts; ++i) whole[i] = Load(p + 64 * i);
    if constexpr (kParts == 4) {
      Transpose(whole, parts);
    } else {
      for (int32_t k = 0; k < 3; ++k) parts[k] = Gather(kLoadThree[k], whole);
    }
  }
  template <int32_t kParts, typename Put>
  static void StoreBlocks(uint8_t* p, const V (&parts)[kParts], Put put) {
    V whole[kParts];
    if constexpr (kParts == 4) {
      Transpose(parts, whole);
    } else {
      for (int32_t i = 0; i < 3; ++i) whole[i] = Gather(kStoreThree[i], parts);
    }
    for (int32_t i = 0; i < kParts; ++i) put(p + 64 * i, whole[i]);
  }
  static V Interleave8Low(V a, V b) { return _mm512_unpacklo_epi8(a, b); }
  static V Interleave8High(V a, V b) { return _mm512_unpackhi_epi8(a, b); }
  static V Interleave16Low(V a, V b) { return _mm512_unpacklo_epi16(a, b); }
  static V Interleave16High(V a, V b) { return _mm512_unpackhi_epi16(a, b); }
  static V Interleave32Low(V a, V b) { return _mm512_unpacklo_epi32(a, b); }
  static V Interleave32High(V a, V b) { return _mm512_unpackhi_epi32(a, b); }
  static V Interleave64Low(V a, V b) { return _mm512_unpacklo_epi64(a, b); }
  static V Interleave64High(V a, V b) { return _mm512_unpackhi_epi64(a, b); }
};

}  // namespace

#include "kernels/simd/channels.inc"

}  // namespace klem::kernels::avx512
