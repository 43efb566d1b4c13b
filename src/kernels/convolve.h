// The user-supplied convolution: an integer kernel of any size with an anchor
// cell and a divisor, applied to 8-bit samples. The one-channel form takes
// the neighbouring bytes as neighbours, the three-channel form the same byte
// of the neighbouring pixels.
#pragma once

#include <cstdint>

#include "kernels/dispatch.h"
#include "kernels/filter_types.h"
#include "kernels/kernel_types.h"

namespace klem::kernels {

// For the destination sample at (x, y) of the region (src and dst point at
// its first sample, x and y count from there):
//   sum = sum over j < size.height, i < size.width of
//         kernel[j * size.width + i] * P(x + anchor.column - i, y + anchor.row - j)
// in signed 32-bit, then divided by the divisor as convolve_rules.h says and
// clamped to 0..255. Every window must lie inside the source image, and the
// source and the destination must not overlap.
// Statuses, in this order: -8 null pointer (kernel included), -6 empty
// region, -14 a row step below 1, -33 a kernel size below 1, -34 an anchor
// outside the kernel, -51 divisor 0, -9 no memory for the kernel's taps
// (nothing is written then).
using Convolve8uFn = KernelStatus(const uint8_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep,
                                  ROI roi, const int32_t* kernel, ROI size, Anchor anchor,
                                  int32_t divisor);

#define KLEM_CONVOLVE_KERNELS(path) \
  namespace path {                  \
  Convolve8uFn Convolve8uC1;        \
  Convolve8uFn Convolve8uC3;        \
  }
KLEM_CONVOLVE_KERNELS(generic)
KLEM_CONVOLVE_KERNELS(sse2)
KLEM_CONVOLVE_KERNELS(ssse3)
KLEM_CONVOLVE_KERNELS(avx2)
KLEM_CONVOLVE_KERNELS(avx512)
#undef KLEM_CONVOLVE_KERNELS

extern const KernelDispatchTable<Convolve8uFn> kConvolve8uC1;
extern const KernelDispatchTable<Convolve8uFn> kConvolve8uC3;

}  // namespace klem::kernels
