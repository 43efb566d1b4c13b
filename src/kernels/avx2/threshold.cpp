// AVX2 threshold kernels: the shared vector body on 32-byte vectors, with
// unsigned byte compares as min / max against the sample and a byte blend.
#include "kernels/threshold.h"

#include "kernels/avx2/width.h"
#include "kernels/threshold_rules.h"

namespace klem::kernels::avx2 {
namespace {

struct ThresholdLanes : Simd {
  using M = V;
  static V Min(V a, V b) { return _mm256_min_epu8(a, b); }
  static V Max(V a, V b) { return _mm256_max_epu8(a, b); }
  static M AtMost(V p, V t) { return _mm256_cmpeq_epi8(_mm256_min_epu8(p, t), p); }
  static M AtLeast(V p, V t) { return _mm256_cmpeq_epi8(_mm256_max_epu8(p, t), p); }
  static V Select(M m, V a, V b) { return _mm256_blendv_epi8(b, a, m); }
};

}  // namespace

#include "kernels/simd/threshold.inc"

}  // namespace klem::kernels::avx2
