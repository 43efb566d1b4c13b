// SSSE3 alpha kernels: the SSE2 bodies, with each pixel's alpha spread over
// its lanes by one byte shuffle instead of two word shuffles.
#include "kernels/alpha.h"

#include <tmmintrin.h>

#include "kernels/alpha_rules.h"
#include "kernels/sse2/alpha_lanes.h"

namespace klem::kernels::ssse3 {
namespace {

struct AlphaSimd : sse2::AlphaLanes16 {
  // Each pixel's fourth 16-bit lane into all four of its lanes.
  static V BroadcastAlpha16(V v) {
    return _mm_shuffle_epi8(v, _mm_setr_epi8(6, 7, 6, 7, 6, 7, 6, 7, 14, 15, 14, 15, 14, 15, 14, 15));
  }
};

}  // namespace

#include "kernels/simd/alpha.inc"
}  // namespace klem::kernels::ssse3
