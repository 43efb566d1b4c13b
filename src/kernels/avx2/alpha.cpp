// AVX2 alpha kernels: the shared vector bodies on 32-byte vectors (16-bit
// lanes are widened and narrowed within 128-bit halves, which keeps each
// pixel's four lanes together).
#include "kernels/alpha.h"

#include "kernels/alpha_rules.h"
#include "kernels/avx2/width.h"

namespace klem::kernels::avx2 {
namespace {

struct AlphaSimd : Simd {
  static V Set32(uint32_t v) { return _mm256_set1_epi32(static_cast<int32_t>(v)); }
  static V Set64(uint64_t v) { return _mm256_set1_epi64x(static_cast<int64_t>(v)); }
  static V MulHigh16(V a, V b) { return _mm256_mulhi_epu16(a, b); }
  // Each pixel's fourth 16-bit lane into all four of its lanes.
  static V BroadcastAlpha16(V v) {
    return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(v, 0xFF), 0xFF);
  }
  // kBytes / 4 bytes, each into the low byte of a 32-bit lane.
  static V LoadWiden8To32(const uint8_t* p) {
    return _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)));
  }
};

}  // namespace

#include "kernels/simd/alpha.inc"
}  // namespace klem::kernels::avx2
