// The shapes shared by the neighbourhood kernels (filters, morphology,
// convolution). A kernel gets pointers to the first sample of its region in
// the source and the destination and reads the neighbours around it, which
// the caller guarantees to lie inside the image; regions are in pixels, the
// three-channel forms treating each byte of a pixel on its own.
#pragma once

#include <cstdint>

#include "kernels/kernel_types.h"

namespace klem::kernels {

// The cell of a window that lies over the sample being computed.
struct Anchor {
  int32_t column;
  int32_t row;
};

// A window named by ten times its width plus its height.
enum MaskSizeCode : int32_t {
  kMask1x3 = 13,
  kMask1x5 = 15,
  kMask3x1 = 31,
  kMask3x3 = 33,
  kMask5x1 = 51,
  kMask5x5 = 55,
};

inline ROI WindowOf(MaskSizeCode code) { return {code / 10, code % 10}; }

// The three families of the filter table: a fixed 3x3 kernel, a window with
// its anchor, a window named by its code.
using FixedFilterFn = KernelStatus(const uint8_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep,
                                   ROI roi);
using WindowFilterFn = KernelStatus(const uint8_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep,
                                    ROI roi, ROI window, Anchor anchor);
using MaskCodeFilterFn = KernelStatus(const uint8_t* src, int32_t srcStep, uint8_t* dst,
                                      int32_t dstStep, ROI roi, MaskSizeCode mask);

}  // namespace klem::kernels
