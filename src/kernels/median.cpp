// Generic median kernels and the dispatch tables of the family: the networks
// of median_rules.h one byte a lane (the formulas and the networks are
// described there).
#include "kernels/median.h"

#include "kernels/median_rules.h"

namespace klem::kernels {
namespace generic {
namespace {
using Lanes = ByteLanes;
}  // namespace

#include "kernels/median_entries.inc"

}  // namespace generic

// --- dispatch tables ----------------------------------------------------------
// Minimum and maximum of unsigned bytes came with SSE2, so paths 1 to 4 share
// its kernels; the wide entries run the same networks on 32 and 64 bytes. The
// row and column medians, a few loads and 4 or 14 minima and maxima a vector,
// measured no faster on 64 bytes (their loads split cache lines twice as
// often), so path 4 keeps the AVX2 ones for them.
#define KLEM_MEDIAN_TABLE(Fn, name) \
  constinit const KernelDispatchTable<Fn> k##name = Dispatch(generic::name).Sse2(sse2::name).Avx2(avx2::name)
KLEM_MEDIAN_TABLE(WindowFilterFn, Median8uC1).Avx512(avx512::Median8uC1);
KLEM_MEDIAN_TABLE(WindowFilterFn, Median8uC3).Avx512(avx512::Median8uC3);
KLEM_MEDIAN_TABLE(MaskCodeFilterFn, MedianRow8uC1);
KLEM_MEDIAN_TABLE(MaskCodeFilterFn, MedianRow8uC3);
KLEM_MEDIAN_TABLE(MaskCodeFilterFn, MedianColumn8uC1);
KLEM_MEDIAN_TABLE(MaskCodeFilterFn, MedianColumn8uC3);
#undef KLEM_MEDIAN_TABLE

}  // namespace klem::kernels
