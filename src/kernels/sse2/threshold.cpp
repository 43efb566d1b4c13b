// SSE2 threshold kernels: the shared vector body on 16-byte vectors. SSE2 has
// no unsigned byte compare; p <= t is min(p, t) == p, and the select is done
// with and / andnot / or.
#include "kernels/threshold.h"

#include "kernels/sse2/width.h"
#include "kernels/threshold_rules.h"

namespace klem::kernels::sse2 {
namespace {

struct ThresholdLanes : Simd {
  using M = V;
  static V Min(V a, V b) { return _mm_min_epu8(a, b); }
  static V Max(V a, V b) { return _mm_max_epu8(a, b); }
  static M AtMost(V p, V t) { return _mm_cmpeq_epi8(_mm_min_epu8(p, t), p); }
  static M AtLeast(V p, V t) { return _mm_cmpeq_epi8(_mm_max_epu8(p, t), p); }
  static V Select(M m, V a, V b) { return _mm_or_si128(_mm_and_si128(m, a), _mm_andnot_si128(m, b)); }
};

}  // namespace

#include "kernels/simd/threshold.inc"

}  // namespace klem::kernels::sse2
