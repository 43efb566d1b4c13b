// The 16-byte traits of the channel bodies (simd/channels.inc) for the SSSE3
// and SSE4.1 files, which differ only in how they pick bytes (Pick, which
// each file adds). Only files compiled with -mssse3 or more include this.
#pragma once

#include <tmmintrin.h>

#include <cstddef>
#include <cstdint>

#include "kernels/sse2/width.h"

namespace klem::kernels::ssse3 {
namespace {

struct ChannelLanes16 : sse2::Simd {
  static constexpr int32_t kLanes = 1;
  static V Shuffle8(V v, V control) { return _mm_shuffle_epi8(v, control); }
  static V Broadcast(const uint8_t* lane) { return Load(lane); }
  static V LoadLanes(const uint8_t* p, std::ptrdiff_t /*laneStride*/) { return Load(p); }
  static void StoreLanes(uint8_t* p, std::ptrdiff_t /*laneStride*/, V v) { Store(p, v); }
  template <int32_t kParts>
  static void LoadBlocks(const uint8_t* p, V (&parts)[kParts]) {
    for (int32_t k = 0; k < kParts; ++k) parts[k] = Load(p + 16 * k);
  }
  template <int32_t kParts, typename Put>
  static void StoreBlocks(uint8_t* p, const V (&parts)[kParts], Put put) {
    for (int32_t k = 0; k < kParts; ++k) put(p + 16 * k, parts[k]);
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
}  // namespace klem::kernels::ssse3
