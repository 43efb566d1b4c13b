// Resizing of 8-bit images with one or three interleaved channels by nearest
// neighbour, linear, cubic and area (supersampling) interpolation.
//
// The two kernels check their arguments, build the column and row tables once
// and walk the destination rows in order; the horizontal and vertical passes
// of linear and cubic interpolation are dispatched per code path, everything
// else runs the same code on every path. Positions are 64-bit: rows may
// exceed 2^31 bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "kernels/dispatch.h"
#include "kernels/geometry_types.h"
#include "kernels/kernel_types.h"

namespace klem::kernels {

// dst (roi) := the source rectangle `rect` of src (srcSize, srcStep) scaled by
// xFactor and yFactor with the interpolation `code` (see geometry_types.h).
// Statuses in their order: -8 null pointer; -6 empty source, negative
// rectangle origin or empty rectangle; 29 a rectangle outside the source
// (nothing written); -6 empty roi; -23 a factor <= 0; -22 an unknown code or
// supersampling with a factor above 1; -201 an output extent below half a
// pixel; -9 no work memory. Sources narrower or lower than 4 pixels are
// resized linearly instead of cubically, below 2 by nearest neighbour.
using Resize8uFn = KernelStatus(const uint8_t* src, ROI srcSize, int32_t srcStep, Rect rect,
                                uint8_t* dst, int32_t dstStep, ROI roi, double xFactor,
                                double yFactor, uint32_t code);

Resize8uFn Resize8uC1;
Resize8uFn Resize8uC3;

// --- the dispatched passes ------------------------------------------------------
// A horizontal pass fills one row of intermediate samples (destination columns
// times channels) from one source row; a vertical pass combines such rows into
// one destination row. Tables hold one entry per intermediate sample.

// Nearest: out[k] = src[offsets[k]] for k < samples.
using ResizeNearestRowFn = void(const uint8_t* src, const int32_t* offsets, std::ptrdiff_t samples,
                                int32_t channels, uint8_t* out);

// Linear: a = src[offsets[k]], b = src[offsets[k] + channels],
// out[k] = (a * (16384 - w) + b * w + 128) >> 8, with weights[k] holding
// 16384 - w in its low and w in its high 16 bits. The first `gatherable`
// samples may read the four bytes from offsets[k] on; a pass may read any of
// the first rowBytes bytes of a row. `windows` is the path's own table of
// where the samples lie in the row (see ResizeLinearWindowsFn), or null.
struct LinearColumns {
  const int32_t* offsets;
  const uint32_t* weights;
  std::ptrdiff_t samples;
  std::ptrdiff_t gatherable;
  std::ptrdiff_t rowBytes;
  const void* windows;
};
using ResizeLinearRowFn = void(const uint8_t* src, const LinearColumns& columns, int32_t channels,
                               int16_t* out);
// dst[k] = (h0[k] * (16384 - v) + h1[k] * v + 524288) >> 20.
using ResizeLinearColumnFn = void(const int16_t* h0, const int16_t* h1, int32_t v, uint8_t* dst,
                                  std::ptrdiff_t samples);
// Both passes for one destination row at once, from its two source rows:
// dst[k] as the column pass gives it over the row pass's results of row0 and
// row1, without a row of intermediate samples in memory.
using ResizeLinearPairFn = void(const uint8_t* row0, const uint8_t* row1, const LinearColumns& columns,
                                int32_t channels, int32_t v, uint8_t* dst);
// A table the path's linear passes read instead of working out again on every
// row where each block of samples lies in the row: its size in bytes when
// `windows` is null, otherwise it is written there (the size asked for
// before). 0 when the path has none for these columns; the passes then take
// columns.windows = null.
using ResizeLinearWindowsFn = std::ptrdiff_t(const LinearColumns& columns, int32_t channels, void* windows);

// Cubic: the four taps at offsets[k] + (-1, 0, 1, 2) * channels, the
// polynomial at t[k] (see resize_rules.h).
struct CubicColumns {
  const int32_t* offsets;
  const float* t;
  std::ptrdiff_t samples;
};
using ResizeCubicRowFn = void(const uint8_t* src, const CubicColumns& columns, int32_t channels,
                              float* out);
// dst[k] = the polynomial over rows[0..3][k] at t, rounded and clamped to 0..255.
using ResizeCubicColumnFn = void(const float* const* rows, float t, uint8_t* dst,
                                 std::ptrdiff_t samples);

// Area over whole blocks of nx x ny source pixels whose sums fit 16 bits:
// one destination row (`pixels` blocks) from the `rows` source rows at src,
// dst = trunc(block sum * scale + 0.5) in double precision; sums holds
// 2 * pixels * nx * channels samples of work memory. When scale is 2^-shift
// (shift > 0) that is (sum + 2^(shift - 1)) >> shift exactly.
struct AreaBlocks {
  int32_t nx;
  int32_t channels;
  std::ptrdiff_t pixels;
  double scale;
  int32_t shift;  // 0 when scale is no power of two
};
using ResizeAreaBlockRowFn = void(const uint8_t* src, int32_t srcStep, int32_t rows, const AreaBlocks& blocks,
                                  uint16_t* sums, uint8_t* dst);

// Area with fractional parts, the rows of one destination row: sums[i] =
// sum over r < rows, in that order, of weights[r] * src row r [i], in single
// precision, for i < samples.
using ResizeAreaWeightedRowFn = void(const uint8_t* src, int32_t srcStep, const float* weights, int32_t rows,
                                     float* sums, std::ptrdiff_t samples);

#define KLEM_RESIZE_KERNELS(path)             \
  namespace path {                            \
  ResizeAreaBlockRowFn ResizeAreaBlockRow;    \
  ResizeNearestRowFn ResizeNearestRow;        \
  ResizeAreaWeightedRowFn ResizeAreaWeightedRow; \
  ResizeLinearRowFn ResizeLinearRow;          \
  ResizeLinearColumnFn ResizeLinearColumn;    \
  ResizeLinearPairFn ResizeLinearPair;        \
  ResizeLinearWindowsFn ResizeLinearWindows;  \
  ResizeCubicRowFn ResizeCubicRow;            \
  ResizeCubicColumnFn ResizeCubicColumn;      \
  }
KLEM_RESIZE_KERNELS(generic)
KLEM_RESIZE_KERNELS(sse2)
KLEM_RESIZE_KERNELS(avx2)
KLEM_RESIZE_KERNELS(avx512)
#undef KLEM_RESIZE_KERNELS

extern const KernelDispatchTable<ResizeAreaBlockRowFn> kResizeAreaBlockRow;
extern const KernelDispatchTable<ResizeNearestRowFn> kResizeNearestRow;
extern const KernelDispatchTable<ResizeAreaWeightedRowFn> kResizeAreaWeightedRow;
extern const KernelDispatchTable<ResizeLinearRowFn> kResizeLinearRow;
extern const KernelDispatchTable<ResizeLinearColumnFn> kResizeLinearColumn;
extern const KernelDispatchTable<ResizeLinearPairFn> kResizeLinearPair;
extern const KernelDispatchTable<ResizeLinearWindowsFn> kResizeLinearWindows;
extern const KernelDispatchTable<ResizeCubicRowFn> kResizeCubicRow;
extern const KernelDispatchTable<ResizeCubicColumnFn> kResizeCubicColumn;

}  // namespace klem::kernels
