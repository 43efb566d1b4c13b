// AVX-512 threshold kernels: the shared vector body on 64-byte vectors, with
// the unsigned byte compares giving masks and the select a masked blend.
#include "kernels/threshold.h"

#include "kernels/avx512/width.h"
#include "kernels/threshold_rules.h"

namespace klem::kernels::avx512 {
namespace {

struct ThresholdLanes : Simd {
  using M = __mmask64;
  static V Min(V a, V b) { return _mm512_min_epu8(a, b); }
  static V Max(V a, V b) { return _mm512_max_epu8(a, b); }
  static M AtMost(V p, V t) { return _mm512_cmple_epu8_mask(p, t); }
  static M AtLeast(V p, V t) { return _mm512_cmpge_epu8_mask(p, t); }
  static V Select(M m, V a, V b) { return _mm512_mask_blend_epi8(m, b, a); }
};

}  // namespace

#include "kernels/simd/threshold.inc"

}  // namespace klem::kernels::avx512
