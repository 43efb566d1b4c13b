// AVX2 min/max kernels over a neighbourhood: the shared vector
// primitive on 32-byte vectors.
#include "kernels/morphology.h"

#include "kernels/avx2/width.h"
#include "kernels/morphology_rules.h"

namespace klem::kernels::avx2 {
namespace {

struct MinMax {
  static __m256i Min(__m256i a, __m256i b) { return _mm256_min_epu8(a, b); }
  static __m256i Max(__m256i a, __m256i b) { return _mm256_max_epu8(a, b); }
};

}  // namespace

#include "kernels/simd/morphology.inc"
}  // namespace klem::kernels::avx2
