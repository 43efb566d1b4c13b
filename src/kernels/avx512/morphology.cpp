// AVX-512 min/max kernels over a neighbourhood: the shared vector
// primitive on 64-byte vectors.
#include "kernels/morphology.h"

#include "kernels/avx512/width.h"
#include "kernels/morphology_rules.h"

namespace klem::kernels::avx512 {
namespace {

struct MinMax {
  static __m512i Min(__m512i a, __m512i b) { return _mm512_min_epu8(a, b); }
  static __m512i Max(__m512i a, __m512i b) { return _mm512_max_epu8(a, b); }
};

}  // namespace

#include "kernels/simd/morphology.inc"
}  // namespace klem::kernels::avx512
