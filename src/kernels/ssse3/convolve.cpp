// SSSE3 convolution kernels: the SSE2 body with the byte-pair multiply-add,
// which sums small kernels in 16-bit lanes, twice the samples an
// instruction. SSE4.1 adds nothing these loops use.
#include "kernels/convolve.h"

#include <tmmintrin.h>

#include "kernels/convolve_rules.h"
#include "kernels/sse2/convolve_lanes.h"

namespace klem::kernels::ssse3 {
namespace {

struct ConvolveSimd : sse2::ConvolveLanes16 {
  static constexpr bool kBytePairs = true;
  static V MultiplyAddBytes(V samples, V coefficients) { return _mm_maddubs_epi16(samples, coefficients); }
};

}  // namespace

#include "kernels/simd/convolve.inc"

KLEM_CONVOLVE_ENTRIES(ConvolveSimd)

}  // namespace klem::kernels::ssse3
