// Generic threshold kernels and the dispatch tables of the family.
//
// Per byte p at byte position c of a pixel (bytes compared as unsigned):
//   p > upper[c] ? upperValue[c] : p < lower[c] ? lowerValue[c] : p
// with "greater" (threshold t, value v) as lower 0, upper t, upper value v,
// and "less" as lower t, lower value v, upper 255. The upper threshold is
// never below the lower one, so the two tests never both hold.
#include "kernels/threshold.h"

#include "kernels/threshold_rules.h"

namespace klem::kernels {
namespace generic {
namespace {

auto MakeThresholdRow(const ThresholdBounds& bounds) {
  return [bounds](const uint8_t* src, uint8_t* dst, int32_t samples) {
    const std::ptrdiff_t n = samples;
    std::ptrdiff_t x = 0;
    for (; x + 3 <= n; x += 3) {
      const uint8_t p0 = src[x], p1 = src[x + 1], p2 = src[x + 2];
      dst[x] = ThresholdSample(p0, bounds, 0);
      dst[x + 1] = ThresholdSample(p1, bounds, 1);
      dst[x + 2] = ThresholdSample(p2, bounds, 2);
    }
    for (int32_t c = 0; x < n; ++x, ++c) dst[x] = ThresholdSample(src[x], bounds, c);
  };
}

}  // namespace

#include "kernels/threshold_entries.inc"

}  // namespace generic

// --- dispatch tables ----------------------------------------------------------
// SSE4.1 selects with one blend where SSE2 needs three logic operations; SSE3
// and SSSE3 add nothing, so paths 2 and 3 run the SSE2 kernels. Path 4 takes
// the AVX2 or AVX-512 ones where the processor has them.
#define KLEM_TABLE(Fn, name)                                                         \
  constinit const KernelDispatchTable<Fn> k##name =                                  \
      Dispatch(generic::name).Sse2(sse2::name).Sse41(sse41::name).Avx2(avx2::name).Avx512(avx512::name)

KLEM_TABLE(Threshold8uC1Fn, Threshold8uC1);
KLEM_TABLE(Threshold8uC3Fn, Threshold8uC3);
KLEM_TABLE(ThresholdLTValGTVal8uC1Fn, ThresholdLTValGTVal8uC1);
KLEM_TABLE(ThresholdLTValGTVal8uC3Fn, ThresholdLTValGTVal8uC3);
#undef KLEM_TABLE

}  // namespace klem::kernels
