// Kernels that move whole pixels: fill a rectangle with one value, copy a
// rectangle (whole or through a byte mask), and copy a source into a larger
// destination surrounded by a constant or replicated border. C1, C3 and C4
// name one, three and four bytes per pixel; regions are in pixels.
#pragma once

#include <cstdint>

#include "kernels/dispatch.h"
#include "kernels/kernel_types.h"

namespace klem::kernels {

// Every pixel of the rectangle := value (one byte per channel, in memory order).
using SetValue8uC1Fn = KernelStatus(uint8_t value, uint8_t* dst, int32_t dstStep, ROI roi);
using SetValue8uC3Fn = KernelStatus(const uint8_t value[3], uint8_t* dst, int32_t dstStep, ROI roi);
using SetValue8uC4Fn = KernelStatus(const uint8_t value[4], uint8_t* dst, int32_t dstStep, ROI roi);

// dst := src over the rectangle. The two may overlap inside one image (same
// row step): the result is that of copying from an untouched source.
using CopyRect8uFn = KernelStatus(const uint8_t* src, int32_t srcStep, uint8_t* dst,
                                  int32_t dstStep, ROI roi);

// dst pixel := src pixel where the mask byte of that pixel is nonzero; the
// other pixels keep their bytes.
using CopyMasked8uFn = KernelStatus(const uint8_t* src, int32_t srcStep, uint8_t* dst,
                                    int32_t dstStep, ROI roi, const uint8_t* mask,
                                    int32_t maskStep);

// Writes the whole destination: the source at column leftBorder, row
// topBorder, every other pixel the value (one byte per channel).
using CopyConstBorder8uC1Fn = KernelStatus(const uint8_t* src, int32_t srcStep, ROI srcRoi,
                                           uint8_t* dst, int32_t dstStep, ROI dstRoi,
                                           int32_t topBorder, int32_t leftBorder, uint8_t value);
using CopyConstBorder8uC3Fn = KernelStatus(const uint8_t* src, int32_t srcStep, ROI srcRoi,
                                           uint8_t* dst, int32_t dstStep, ROI dstRoi,
                                           int32_t topBorder, int32_t leftBorder,
                                           const uint8_t value[3]);
// As above, every other pixel taking the value of the nearest source pixel.
using CopyReplicateBorder8uFn = KernelStatus(const uint8_t* src, int32_t srcStep, ROI srcRoi,
                                             uint8_t* dst, int32_t dstStep, ROI dstRoi,
                                             int32_t topBorder, int32_t leftBorder);

// The generic path has every kernel; a SIMD path only those where vectors pay.
namespace generic {
SetValue8uC1Fn SetValue8uC1;
SetValue8uC3Fn SetValue8uC3;
SetValue8uC4Fn SetValue8uC4;
CopyRect8uFn CopyRect8uC1, CopyRect8uC3;
CopyMasked8uFn CopyMasked8uC1, CopyMasked8uC3;
CopyConstBorder8uC1Fn CopyConstBorder8uC1;
CopyConstBorder8uC3Fn CopyConstBorder8uC3;
CopyReplicateBorder8uFn CopyReplicateBorder8uC1, CopyReplicateBorder8uC3;
}  // namespace generic

#define KLEM_COPY_VECTOR_KERNELS(path)        \
  namespace path {                            \
  SetValue8uC3Fn SetValue8uC3;                \
  SetValue8uC4Fn SetValue8uC4;                \
  CopyMasked8uFn CopyMasked8uC1;              \
  CopyMasked8uFn CopyMasked8uC3;              \
  CopyConstBorder8uC3Fn CopyConstBorder8uC3;  \
  }
KLEM_COPY_VECTOR_KERNELS(sse2)
KLEM_COPY_VECTOR_KERNELS(avx2)
#undef KLEM_COPY_VECTOR_KERNELS

// On AVX-512 the three-byte masked copy stores through byte masks, and the
// rectangle copies load from aligned source addresses.
namespace avx512 {
CopyRect8uFn CopyRect8uC1, CopyRect8uC3;
CopyMasked8uFn CopyMasked8uC3;
}

extern const KernelDispatchTable<SetValue8uC1Fn> kSetValue8uC1;
extern const KernelDispatchTable<SetValue8uC3Fn> kSetValue8uC3;
extern const KernelDispatchTable<SetValue8uC4Fn> kSetValue8uC4;
extern const KernelDispatchTable<CopyRect8uFn> kCopyRect8uC1, kCopyRect8uC3;
extern const KernelDispatchTable<CopyMasked8uFn> kCopyMasked8uC1, kCopyMasked8uC3;
extern const KernelDispatchTable<CopyConstBorder8uC1Fn> kCopyConstBorder8uC1;
extern const KernelDispatchTable<CopyConstBorder8uC3Fn> kCopyConstBorder8uC3;
extern const KernelDispatchTable<CopyReplicateBorder8uFn> kCopyReplicateBorder8uC1,
    kCopyReplicateBorder8uC3;

}  // namespace klem::kernels
