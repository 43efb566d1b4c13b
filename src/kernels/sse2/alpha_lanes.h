// The 16-byte traits of the alpha bodies (simd/alpha.inc), shared by the SSE2
// file and the SSSE3 one, which spreads each pixel's alpha with a byte
// shuffle instead. Only files compiled with -msse2 or more include this.
#pragma once

#include <emmintrin.h>

#include <cstdint>
#include <cstring>

#include "kernels/sse2/width.h"

namespace klem::kernels::sse2 {
namespace {

struct AlphaLanes16 : Simd {
  static V Set32(uint32_t v) { return _mm_set1_epi32(static_cast<int32_t>(v)); }
  static V Set64(uint64_t v) { return _mm_set1_epi64x(static_cast<int64_t>(v)); }
  static V MulHigh16(V a, V b) { return _mm_mulhi_epu16(a, b); }
  // Each pixel's fourth 16-bit lane into all four of its lanes.
  static V BroadcastAlpha16(V v) { return _mm_shufflehi_epi16(_mm_shufflelo_epi16(v, 0xFF), 0xFF); }
  // kBytes / 4 bytes, each into the low byte of a 32-bit lane.
  static V LoadWiden8To32(const uint8_t* p) {
    int32_t bytes;
    std::memcpy(&bytes, p, sizeof bytes);
    const V zero = _mm_setzero_si128();
    return _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(bytes), zero), zero);
  }
};

}  // namespace
}  // namespace klem::kernels::sse2
