// Generic min/max kernels over a neighbourhood and the dispatch tables of the
// family.
//
// Per sample at (x, y) of the region, from the image as it was before the call:
//   erosion, rank min   min of P(x - ax + i, y - ay + j) over the cells (i, j)
//   dilation, rank max  max of the same samples
// with (ax, ay) the anchor; the 3x3 kernels and the rank filters take every
// cell of their window, the mask kernels the cells whose byte is nonzero (a
// mask always has one, so no start value of 255 or 0 is ever the result).
#include "kernels/morphology.h"

#include "kernels/morphology_rules.h"

namespace klem::kernels {
namespace generic {
namespace {

template <typename Rule>
struct MinMaxRows {
  static void Combine(const uint8_t* const* rows, int32_t n, uint8_t* out, std::ptrdiff_t samples) {
    for (std::ptrdiff_t x = 0; x < samples; ++x) {
      uint8_t v = rows[0][x];
      for (int32_t k = 1; k < n; ++k) v = Rule::Sample(v, rows[k][x]);
      out[x] = v;
    }
  }
  static void Pair(const uint8_t* const* rows, int32_t n, uint8_t* out0, uint8_t* out1,
                   std::ptrdiff_t samples) {
    Combine(rows, n, out0, samples);
    Combine(rows + 1, n, out1, samples);
  }
};

}  // namespace

#include "kernels/morphology_entries.inc"

}  // namespace generic

// --- dispatch tables ----------------------------------------------------------
// The SSE paths run the SSE2 kernels (byte min and max are SSE2
// instructions); path 4 takes the AVX2 ones where the processor has them.
// 64-byte vectors measured within a few per cent of these at 1920 x 1080:
// the passes are bound by moving the rows, not by the min and max.
#define KLEM_TABLE(Fn, name) \
  constinit const KernelDispatchTable<Fn> k##name = Dispatch(generic::name).Sse2(sse2::name).Avx2(avx2::name)

KLEM_TABLE(Morphology3x3Fn, Erode3x3InPlace8uC1);
KLEM_TABLE(Morphology3x3Fn, Erode3x3InPlace8uC3);
KLEM_TABLE(Morphology3x3Fn, Dilate3x3InPlace8uC1);
KLEM_TABLE(Morphology3x3Fn, Dilate3x3InPlace8uC3);
KLEM_TABLE(MorphologyMaskFn, ErodeMaskInPlace8uC1);
KLEM_TABLE(MorphologyMaskFn, ErodeMaskInPlace8uC3);
KLEM_TABLE(MorphologyMaskFn, DilateMaskInPlace8uC1);
KLEM_TABLE(MorphologyMaskFn, DilateMaskInPlace8uC3);
KLEM_TABLE(WindowFilterFn, RankMin8uC1);
KLEM_TABLE(WindowFilterFn, RankMin8uC3);
KLEM_TABLE(WindowFilterFn, RankMax8uC1);
KLEM_TABLE(WindowFilterFn, RankMax8uC3);
#undef KLEM_TABLE

}  // namespace klem::kernels
