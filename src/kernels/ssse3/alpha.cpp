// SSSE3 alpha kernels: the SSE2 bodies, with each pixel's alpha spread over
// its lanes by one byte shuffle instead of two word shuffles.
#include "kernels/alpha.h"

#include <tmmintrin.h>

#include <cstring>

#include "kernels/alpha_rules.h"
#include "kernels/sse2/width.h"

namespace klem::kernels::ssse3 {
namespace {

using sse2::Simd;

struct AlphaSimd : Simd {
  static V Set32(uint32_t v) { return _mm_set1_epi32(static_cast<int32_t>(v)); }
  static V Set64(uint64_t v) { return _mm_set1_epi64x(static_cast<int64_t>(v)); }
  static V MulHigh16(V a, V b) { return _mm_mulhi_epu16(a, b); }
  // Each pixel's fourth 16-bit lane into all four of its lanes.
  static V BroadcastAlpha16(V v) {
    return _mm_shuffle_epi8(v, _mm_setr_epi8(6, 7, 6, 7, 6, 7, 6, 7, 14, 15, 14, 15, 14, 15, 14, 15));
  }
  // kBytes / 4 bytes, each into the low byte of a 32-bit lane.
  static V LoadWiden8To32(const uint8_t* p) {
    int32_t bytes;
    std::memcpy(&bytes, p, sizeof bytes);
    const V zero = _mm_setzero_si128();
    return _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(bytes), zero), zero);
  }
};

}  // namespace

#include "kernels/simd/alpha.inc"
}  // namespace klem::kernels::ssse3
