// Median filters of 8-bit samples: the square window medians (3x3, 5x5) and
// the medians along a row (3x1, 5x1) or a column (1x3, 1x5). The C3 forms
// treat each byte of a pixel on its own, with the same byte of the
// neighbouring pixels as its neighbours. Every window read lies inside the
// source, as the caller guarantees.
#pragma once

#include <cstdint>

#include "kernels/dispatch.h"
#include "kernels/filter_types.h"

namespace klem::kernels {

// dst := the middle of the window's sorted samples; the window (3x3 or 5x5)
// lies over the sample at its anchor cell. Statuses: -8 null pointer, -6 empty
// region, -14 a row step below 1, -33 another window, -34 an anchor outside
// the window, -9 no memory for the sorted columns (nothing written).
// WindowFilterFn.
//
// MedianRow8u (kMask3x1, kMask5x1) and MedianColumn8u (kMask1x3, kMask1x5):
// dst := the middle of the samples of the centred row or column window.
// Statuses: -8, -6, -14 as above, -33 any other code. MaskCodeFilterFn.

namespace generic {
WindowFilterFn Median8uC1, Median8uC3;
MaskCodeFilterFn MedianRow8uC1, MedianRow8uC3, MedianColumn8uC1, MedianColumn8uC3;
}  // namespace generic

#define KLEM_MEDIAN_VECTOR_KERNELS(path)                                            \
  namespace path {                                                                  \
  WindowFilterFn Median8uC1, Median8uC3;                                            \
  MaskCodeFilterFn MedianRow8uC1, MedianRow8uC3, MedianColumn8uC1, MedianColumn8uC3; \
  }
KLEM_MEDIAN_VECTOR_KERNELS(sse2)
KLEM_MEDIAN_VECTOR_KERNELS(avx2)
#undef KLEM_MEDIAN_VECTOR_KERNELS
namespace avx512 {
WindowFilterFn Median8uC1, Median8uC3;
}  // namespace avx512

extern const KernelDispatchTable<WindowFilterFn> kMedian8uC1, kMedian8uC3;
extern const KernelDispatchTable<MaskCodeFilterFn> kMedianRow8uC1, kMedianRow8uC3;
extern const KernelDispatchTable<MaskCodeFilterFn> kMedianColumn8uC1, kMedianColumn8uC3;

}  // namespace klem::kernels
