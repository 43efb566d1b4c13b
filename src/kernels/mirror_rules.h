// What every path of the mirror kernels shares, so that statuses and results
// cannot drift between paths: the argument checks in their order, the scalar
// exchanges that make the generic kernels and end every vector row, and the
// walk over the rows. A path supplies, before including mirror_entries.inc, a
// type MirrorRows with
//   SwapRows(uint8_t* a, uint8_t* b, ptrdiff_t bytes): rows a and b exchanged;
//   ReverseRow<kChannels>(uint8_t* row, ptrdiff_t width): pixels reversed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

#include "kernels/kernel_support.h"
#include "kernels/mirror.h"

namespace klem::kernels {
namespace {

inline KernelStatus CheckMirror(const uint8_t* srcDst, ROI roi, int32_t axis) {
  if (KernelStatus status = CheckArguments({srcDst}, roi, {})) return status;
  if (axis != kMirrorRows && axis != kMirrorColumns) return kStsMirrorFlipErr;
  const int32_t extent = axis == kMirrorColumns ? roi.width : roi.height;
  return extent < 2 ? kStsSizeErr : kStsNoErr;
}

// Pixels left .. right - 1 of a row in reverse order: the outermost pair is
// exchanged first, an odd middle pixel stays.
template <int32_t kChannels>
inline void ReversePixels(uint8_t* row, std::ptrdiff_t left, std::ptrdiff_t right) {
  for (; right - left >= 2; ++left, --right) {
    uint8_t* a = row + left * kChannels;
    uint8_t* b = row + (right - 1) * kChannels;
    for (int32_t c = 0; c < kChannels; ++c) std::swap(a[c], b[c]);
  }
}

// Bytes from .. bytes - 1 of two rows exchanged.
inline void SwapBytes(uint8_t* a, uint8_t* b, std::ptrdiff_t from, std::ptrdiff_t bytes) {
  for (std::ptrdiff_t x = from; x < bytes; ++x) std::swap(a[x], b[x]);
}

template <int32_t kChannels, typename SwapRowsFn, typename ReverseRowFn>
KernelStatus MirrorImage(uint8_t* srcDst, int32_t step, ROI roi, int32_t axis, SwapRowsFn swapRows,
                         ReverseRowFn reverseRow) {
  if (KernelStatus status = CheckMirror(srcDst, roi, axis)) return status;
  if (axis == kMirrorRows) {
    const std::ptrdiff_t bytes = std::ptrdiff_t{roi.width} * kChannels;
    for (int32_t r = 0; r < roi.height / 2; ++r) {
      swapRows(RowAt(srcDst, step, r), RowAt(srcDst, step, roi.height - 1 - r), bytes);
    }
  } else {
    for (int32_t r = 0; r < roi.height; ++r) reverseRow(RowAt(srcDst, step, r), roi.width);
  }
  return kStsNoErr;
}

}  // namespace
}  // namespace klem::kernels
