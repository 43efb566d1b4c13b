// Square window median kernels on 64-byte vectors: the networks of median_rules.h with
// each exchange as an unsigned byte minimum and maximum of whole vectors, the
// same exchanges as the generic kernels, so the same medians. Every row runs
// whole vectors from its start, then the bytes after the last one through the
// same network one byte a lane; no load or store leaves the row's windows.
#include "kernels/median.h"

#include <immintrin.h>

#include "kernels/avx512/width.h"
#include "kernels/median_rules.h"

namespace klem::kernels::avx512 {
namespace {
struct Lanes : Simd {
  static V Min(V a, V b) { return _mm512_min_epu8(a, b); }
  static V Max(V a, V b) { return _mm512_max_epu8(a, b); }
};
}  // namespace

KernelStatus Median8uC1(const uint8_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep, ROI roi,
                        ROI window, Anchor anchor) {
  return WindowMedian<Lanes>(src, srcStep, dst, dstStep, roi, window, anchor, 1);
}

KernelStatus Median8uC3(const uint8_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep, ROI roi,
                        ROI window, Anchor anchor) {
  return WindowMedian<Lanes>(src, srcStep, dst, dstStep, roi, window, anchor, 3);
}

}  // namespace klem::kernels::avx512
