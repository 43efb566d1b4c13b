// Minimum and maximum over a neighbourhood of 8-bit samples: erosion and
// dilation in place (a full 3x3 square, or the nonzero cells of a byte mask)
// and the rank filters of the filter table (a full window, source to
// destination). The C1 forms take one sample per pixel, the C3 forms three,
// each with the same byte of the neighbouring pixels as its neighbours.
#pragma once

#include <cstdint>

#include "kernels/dispatch.h"
#include "kernels/filter_types.h"
#include "kernels/kernel_types.h"

namespace klem::kernels {

// srcDst := min (max) of the 3x3 neighbourhood, over a region whose first
// sample is srcDst; the ring of neighbours around it is read, never written.
using Morphology3x3Fn = KernelStatus(uint8_t* srcDst, int32_t srcDstStep, ROI roi);
// As above over the nonzero cells of a mask of maskSize.width x
// maskSize.height bytes, row-major; cell (i, j) selects the sample
// i - anchor.column columns right of and j - anchor.row rows below the one
// computed (the mask is not mirrored).
using MorphologyMaskFn = KernelStatus(uint8_t* srcDst, int32_t srcDstStep, ROI roi,
                                      const uint8_t* mask, ROI maskSize, Anchor anchor);

// Every path defines the same kernels in its own namespace.
#define KLEM_MORPHOLOGY_KERNELS(path)                                          \
  namespace path {                                                            \
  Morphology3x3Fn Erode3x3InPlace8uC1, Erode3x3InPlace8uC3, Dilate3x3InPlace8uC1, \
      Dilate3x3InPlace8uC3;                                                   \
  MorphologyMaskFn ErodeMaskInPlace8uC1, ErodeMaskInPlace8uC3, DilateMaskInPlace8uC1, \
      DilateMaskInPlace8uC3;                                                  \
  WindowFilterFn RankMin8uC1, RankMin8uC3, RankMax8uC1, RankMax8uC3;          \
  }
KLEM_MORPHOLOGY_KERNELS(generic)
KLEM_MORPHOLOGY_KERNELS(sse2)
KLEM_MORPHOLOGY_KERNELS(avx2)
#undef KLEM_MORPHOLOGY_KERNELS

extern const KernelDispatchTable<Morphology3x3Fn> kErode3x3InPlace8uC1, kErode3x3InPlace8uC3,
    kDilate3x3InPlace8uC1, kDilate3x3InPlace8uC3;
extern const KernelDispatchTable<MorphologyMaskFn> kErodeMaskInPlace8uC1, kErodeMaskInPlace8uC3,
    kDilateMaskInPlace8uC1, kDilateMaskInPlace8uC3;
extern const KernelDispatchTable<WindowFilterFn> kRankMin8uC1, kRankMin8uC3, kRankMax8uC1,
    kRankMax8uC3;

}  // namespace klem::kernels
