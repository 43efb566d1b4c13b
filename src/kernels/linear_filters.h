// The linear (sum-based) filters on unsigned bytes, one-channel (C1) and
// three-channel (C3, each byte with the same byte of its neighbours) forms.
// P(x, y) is the source sample; every window lies inside the source.
//   BoxMean8u        (window sum * m) >> s, m and s from the float 1 / area
//                    (3641, 15 for 3x3; 2622, 16 for 5x5), any window and anchor
//   Sharpen8u        v = 16 P - (8 neighbours); v <= 0 gives 0, else
//                    min(255, v / 8 with ties to even)
//   PrewittDy8u      clamp(row sum below - row sum above)
//   PrewittDx8u      clamp(column sum left - column sum right)
//   SobelDy8u        clamp(R(y + 1) - R(y - 1)), R = (1 2 1) along the row
//   SobelDx8u        clamp(D(y - 1) + 2 D(y) + D(y + 1)), D = left - right
//   DiagonalDifference8u  max(0, P(x, y) - P(x -+ 1, y - 1)), up-left and
//                    up-right tables
//   Laplace8u        3x3: clamp(9 P - sum of 9); 5x5: clamp of the 5x5
//                    Laplace kernel's sum
//   Gauss8u          3x3: (1 2 1)T(1 2 1) sum / 16 with ties to even;
//                    5x5: ((sum + 286) * 29382) >> 24 in unsigned 32 bits
//   LowPass8u        3x3: ((sum + 5) * 455) >> 12; 5x5: (sum * 10485) >> 18
//   HighPass8u       3x3 as the 3x3 Laplace; 5x5: clamp(25 P - sum of 25)
// clamp(v) = min(255, max(0, v)).
//
// Statuses, in this order: -8 null pointer, -6 empty region, -14 row step
// below 1; then the window kernel -33 for an empty window and -34 for an
// anchor outside it, the mask-code kernels -33 for a code they do not have;
// -9 when the working rows cannot be allocated (nothing is written then).
#pragma once

#include <cstdint>

#include "kernels/dispatch.h"
#include "kernels/filter_types.h"

namespace klem::kernels {

// Every path defines the same kernels in its own namespace.
#define KLEM_LINEAR_FILTER_KERNELS(path)                                      \
  namespace path {                                                            \
  WindowFilterFn BoxMean8uC1, BoxMean8uC3;                                    \
  FixedFilterFn Sharpen8uC1, Sharpen8uC3, PrewittDy8uC1, PrewittDy8uC3;       \
  FixedFilterFn PrewittDx8uC1, PrewittDx8uC3, SobelDy8uC1, SobelDy8uC3;       \
  FixedFilterFn SobelDx8uC1, SobelDx8uC3;                                     \
  FixedFilterFn DiagonalDifferenceUpLeft8uC1, DiagonalDifferenceUpLeft8uC3;   \
  FixedFilterFn DiagonalDifferenceUpRight8uC1, DiagonalDifferenceUpRight8uC3; \
  MaskCodeFilterFn Laplace8uC1, Laplace8uC3, Gauss8uC1, Gauss8uC3;            \
  MaskCodeFilterFn LowPass8uC1, LowPass8uC3, HighPass8uC1, HighPass8uC3;      \
  }
KLEM_LINEAR_FILTER_KERNELS(generic)
KLEM_LINEAR_FILTER_KERNELS(sse2)
KLEM_LINEAR_FILTER_KERNELS(sse41)
KLEM_LINEAR_FILTER_KERNELS(avx2)
KLEM_LINEAR_FILTER_KERNELS(avx512)
#undef KLEM_LINEAR_FILTER_KERNELS

extern const KernelDispatchTable<WindowFilterFn> kBoxMean8uC1, kBoxMean8uC3;
extern const KernelDispatchTable<FixedFilterFn> kSharpen8uC1, kSharpen8uC3;
extern const KernelDispatchTable<FixedFilterFn> kPrewittDy8uC1, kPrewittDy8uC3;
extern const KernelDispatchTable<FixedFilterFn> kPrewittDx8uC1, kPrewittDx8uC3;
extern const KernelDispatchTable<FixedFilterFn> kSobelDy8uC1, kSobelDy8uC3;
extern const KernelDispatchTable<FixedFilterFn> kSobelDx8uC1, kSobelDx8uC3;
// DiagonalDifference8u: one kernel, a table per neighbour direction.
extern const KernelDispatchTable<FixedFilterFn> kDiagonalDifferenceUpLeft8uC1, kDiagonalDifferenceUpLeft8uC3;
extern const KernelDispatchTable<FixedFilterFn> kDiagonalDifferenceUpRight8uC1, kDiagonalDifferenceUpRight8uC3;
extern const KernelDispatchTable<MaskCodeFilterFn> kLaplace8uC1, kLaplace8uC3;
extern const KernelDispatchTable<MaskCodeFilterFn> kGauss8uC1, kGauss8uC3;
extern const KernelDispatchTable<MaskCodeFilterFn> kLowPass8uC1, kLowPass8uC3;
extern const KernelDispatchTable<MaskCodeFilterFn> kHighPass8uC1, kHighPass8uC3;

}  // namespace klem::kernels
