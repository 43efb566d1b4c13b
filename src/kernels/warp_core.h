// The backward-mapping core shared by the rotation, shear and perspective
// warps: one span of destination pixels in one row, each sampled from the
// source at the inverse-mapped position of its centre. The span finder in
// warp.cpp decides which pixels are written; these functions only sample.
//
// One table per interpolation method and channel count; every entry gives
// the same bytes as the generic one.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "kernels/dispatch.h"

namespace klem::kernels {

// Where a span samples: the effective source rectangle [x0, x1] x [y0, y1]
// (corner pixels, inclusive; at least 2 x 2) of an image whose rows are
// `step` bytes apart and hold `rowBytes` readable bytes each (width x
// channels, counted from column 0).
struct WarpSource {
  const uint8_t* pixels;  // pixel (0, 0) of the whole image
  std::ptrdiff_t step;
  int32_t rowBytes;
  int32_t x0, y0, x1, y1;
};

// Destination pixel (x, y) samples at (u / w, v / w) with u = m0 x + m1 y + m2,
// v = m3 x + m4 y + m5, w = m6 x + m7 y + m8. An affine inverse has w = 1 and
// `projective` false: its division is skipped, which changes no bit.
struct WarpInverse {
  std::array<double, 9> m;
  bool projective;
};

// Pixels xBegin .. xEnd - 1 of destination row y, written at dstRow + x *
// channels. The caller holds round-to-nearest.
using WarpSpanFn = void(const WarpSource& src, const WarpInverse& inverse, int32_t y,
                        int32_t xBegin, int32_t xEnd, uint8_t* dstRow);

#define KLEM_WARP_SPANS(path)    \
  namespace path {              \
  WarpSpanFn WarpNearest8uC1;   \
  WarpSpanFn WarpNearest8uC3;   \
  WarpSpanFn WarpLinear8uC1;    \
  WarpSpanFn WarpLinear8uC3;    \
  WarpSpanFn WarpCubic8uC1;     \
  WarpSpanFn WarpCubic8uC3;     \
  }
KLEM_WARP_SPANS(generic)
KLEM_WARP_SPANS(sse41)
KLEM_WARP_SPANS(avx2)
KLEM_WARP_SPANS(avx512)
#undef KLEM_WARP_SPANS

extern const KernelDispatchTable<WarpSpanFn> kWarpNearest8uC1;
extern const KernelDispatchTable<WarpSpanFn> kWarpNearest8uC3;
extern const KernelDispatchTable<WarpSpanFn> kWarpLinear8uC1;
extern const KernelDispatchTable<WarpSpanFn> kWarpLinear8uC3;
extern const KernelDispatchTable<WarpSpanFn> kWarpCubic8uC1;
extern const KernelDispatchTable<WarpSpanFn> kWarpCubic8uC3;

}  // namespace klem::kernels
