// Kernels that convert 3-byte pixels between RGB and the YUV, CIE XYZ and
// photo YCC spaces, and that reorder the bytes of 3- and 4-byte pixels in place.
//
// Conversions read byte 0 of a pixel as the first component of its space
// (R, Y or X), byte 1 as the second and byte 2 as the third, and write the
// target's three components in the same order. src may be dst: each pixel is
// read whole before it is written. Statuses: -8 for a null pointer, then -6
// for an empty region; the row steps are taken as given.
#pragma once

#include <cstdint>

#include "kernels/dispatch.h"
#include "kernels/kernel_types.h"

namespace klem::kernels {

using ConvertColour8uFn = KernelStatus(const uint8_t* src, int32_t srcStep, uint8_t* dst,
                                       int32_t dstStep, ROI roi);

// Byte c of every pixel := byte order[c] of that pixel as it was. C3:
// -8 (buffer or order null), -6 (empty region), -14 (step below 1), -60 (an
// entry outside 0..2). C4: -8, then -14, then -6, then -60 (entries 0..3).
using SwapChannelsInPlace8uC3Fn = KernelStatus(uint8_t* srcDst, int32_t step, ROI roi,
                                               const int32_t order[3]);
using SwapChannelsInPlace8uC4Fn = KernelStatus(uint8_t* srcDst, int32_t step, ROI roi,
                                               const int32_t order[4]);

// Every path with vectors of its own defines the same conversions in its namespace.
#define KLEM_COLOUR_CONVERT_KERNELS(path)                                              \
  namespace path {                                                                     \
  ConvertColour8uFn ConvertRGBToYUV8u, ConvertYUVToRGB8u, ConvertRGBToXYZ8u,           \
      ConvertXYZToRGB8u, ConvertRGBToYCC8u, ConvertYCCToRGB8u;                         \
  }
KLEM_COLOUR_CONVERT_KERNELS(generic)
KLEM_COLOUR_CONVERT_KERNELS(ssse3)
KLEM_COLOUR_CONVERT_KERNELS(avx2)
KLEM_COLOUR_CONVERT_KERNELS(avx512)
#undef KLEM_COLOUR_CONVERT_KERNELS

extern const KernelDispatchTable<ConvertColour8uFn> kConvertRGBToYUV8u, kConvertYUVToRGB8u,
    kConvertRGBToXYZ8u, kConvertXYZToRGB8u, kConvertRGBToYCC8u, kConvertYCCToRGB8u;
extern const KernelDispatchTable<SwapChannelsInPlace8uC3Fn> kSwapChannelsInPlace8uC3;
extern const KernelDispatchTable<SwapChannelsInPlace8uC4Fn> kSwapChannelsInPlace8uC4;

}  // namespace klem::kernels
