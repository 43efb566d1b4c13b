// Flood fill of one-channel 8-bit images in place: the connected region
// around a seed pixel takes a new value. Exact-value fills take the pixels
// equal to the seed's value; tolerance fills let a neighbour q of a member p
// join when p - lower <= q <= p + upper (values before the fill). Each
// connectivity has its own kernel: 8-neighbour (diagonals connect) and
// 4-neighbour. The fills need a work buffer of the size the companion size
// kernel gives for the image's width and height.
#pragma once

#include <cstdint>

#include "kernels/dispatch.h"
#include "kernels/kernel_types.h"

namespace klem::kernels {

// What a fill painted: the number of pixels and their bounding rectangle
// (inclusive). A fill that paints nothing gives area 0 and right < left.
struct FloodFillRegion {
  int64_t area;
  int32_t left, top, right, bottom;
};

// Bytes of the work buffer of a fill over an image of roi pixels.
using FloodFillBufferSize8uFn = KernelStatus(ROI roi, int64_t* bufferBytes);

using FloodFill8uFn = KernelStatus(uint8_t* pixels, int32_t step, ROI roi, int32_t seedX,
                                   int32_t seedY, uint8_t newValue, FloodFillRegion* region,
                                   uint8_t* buffer);
using FloodFillRange8uFn = KernelStatus(uint8_t* pixels, int32_t step, ROI roi, int32_t seedX,
                                        int32_t seedY, uint8_t newValue, uint8_t lower,
                                        uint8_t upper, FloodFillRegion* region, uint8_t* buffer);

// The fills walk rows one pixel at a time along a path that the image decides:
// nothing a vector path could do alike, so every entry runs these.
namespace generic {
FloodFillBufferSize8uFn FloodFillBufferSize8u, FloodFillRangeBufferSize8u;
FloodFill8uFn FloodFill8uC1, FloodFill4Con8uC1;
FloodFillRange8uFn FloodFillRange8uC1, FloodFillRange4Con8uC1;
}  // namespace generic

extern const KernelDispatchTable<FloodFillBufferSize8uFn> kFloodFillBufferSize8u,
    kFloodFillRangeBufferSize8u;
extern const KernelDispatchTable<FloodFill8uFn> kFloodFill8uC1, kFloodFill4Con8uC1;
extern const KernelDispatchTable<FloodFillRange8uFn> kFloodFillRange8uC1, kFloodFillRange4Con8uC1;

}  // namespace klem::kernels
