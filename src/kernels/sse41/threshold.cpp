// SSE4.1 threshold kernels: the SSE2 compares (p <= t as min(p, t) == p) with
// the select done by one byte blend instead of three logic operations.
#include "kernels/threshold.h"

#include <smmintrin.h>

#include "kernels/sse2/width.h"
#include "kernels/threshold_rules.h"

namespace klem::kernels::sse41 {
namespace {

struct ThresholdLanes : sse2::Simd {
  using M = V;
  static V Min(V a, V b) { return _mm_min_epu8(a, b); }
  static V Max(V a, V b) { return _mm_max_epu8(a, b); }
  static M AtMost(V p, V t) { return _mm_cmpeq_epi8(_mm_min_epu8(p, t), p); }
  static M AtLeast(V p, V t) { return _mm_cmpeq_epi8(_mm_max_epu8(p, t), p); }
  static V Select(M m, V a, V b) { return _mm_blendv_epi8(b, a, m); }
};

}  // namespace

#include "kernels/simd/threshold.inc"

}  // namespace klem::kernels::sse41
