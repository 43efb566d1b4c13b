// SSE2 min/max kernels over a neighbourhood: the shared vector
// primitive on 16-byte vectors.
#include "kernels/morphology.h"

#include "kernels/sse2/width.h"
#include "kernels/morphology_rules.h"

namespace klem::kernels::sse2 {
namespace {

struct MinMax {
  static __m128i Min(__m128i a, __m128i b) { return _mm_min_epu8(a, b); }
  static __m128i Max(__m128i a, __m128i b) { return _mm_max_epu8(a, b); }
};

}  // namespace

#include "kernels/simd/morphology.inc"
}  // namespace klem::kernels::sse2
