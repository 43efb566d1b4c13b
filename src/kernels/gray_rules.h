// The per-pixel rules of the gray and bit kernels and the entry shapes that
// every code path shares, so that statuses and results cannot drift between
// paths: a path supplies only the functions that do one row.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "kernels/kernel_support.h"

namespace klem::kernels {
namespace {

// --- pixel rules: the generic rows and the tails of the vector rows ----------
// Pixels from .. to - 1 of one row; positions in ptrdiff_t.

// Weights 0.299, 0.587 and 0.114 in 12-bit fixed point; they sum to 4096, so
// white stays 255. Truncated, no rounding term.
inline constexpr int32_t kGrayWeight0 = 1225;
inline constexpr int32_t kGrayWeight1 = 2404;
inline constexpr int32_t kGrayWeight2 = 467;
inline constexpr int32_t kGrayShift = 12;

inline uint8_t GrayOf(const uint8_t* pixel) {
  return static_cast<uint8_t>(
      (kGrayWeight0 * pixel[0] + kGrayWeight1 * pixel[1] + kGrayWeight2 * pixel[2]) >> kGrayShift);
}

inline void GrayPixels(const uint8_t* src, uint8_t* dst, std::ptrdiff_t from, std::ptrdiff_t to) {
  for (std::ptrdiff_t x = from; x < to; ++x) dst[x] = GrayOf(src + 3 * x);
}

// Pixel x of a 1-bit row whose first pixel is bit 7 - shift of row[0]: 255
// when set, 0 when clear.
inline void ExpandPixels(const uint8_t* row, int32_t shift, uint8_t* dst, std::ptrdiff_t from,
                         std::ptrdiff_t to) {
  for (std::ptrdiff_t x = from; x < to; ++x) {
    const std::ptrdiff_t bit = shift + x;
    dst[x] = (row[bit >> 3] >> (7 - (bit & 7))) & 1 ? 255 : 0;
  }
}

// The 8 pixels of group g (pixels 8g .. 8g + 7) as one byte, pixel 8g in bit
// 7. With a shift they straddle bytes g and g + 1, both inside the row when
// the whole group is.
inline uint8_t BitGroup(const uint8_t* row, int32_t shift, std::ptrdiff_t g) {
  if (shift == 0) return row[g];
  return static_cast<uint8_t>((row[g] << shift) | (row[g + 1] >> (8 - shift)));
}

// Entry b: the 8 bytes that the bits of b expand to, bit 7 in the first
// (memory order on a little-endian processor).
constexpr std::array<uint64_t, 256> ExpandedBytes() {
  std::array<uint64_t, 256> table{};
  for (uint32_t b = 0; b < 256; ++b) {
    for (uint32_t i = 0; i < 8; ++i) {
      if ((b >> (7 - i)) & 1) table[b] |= uint64_t{0xFF} << (8 * i);
    }
  }
  return table;
}
inline constexpr std::array<uint64_t, 256> kExpandedBytes = ExpandedBytes();

// Pixels 8 * fromGroup .. pixels - 1: whole groups by the table, then the
// pixels of the last partial group.
inline void ExpandGroupsAndPixels(const uint8_t* row, int32_t shift, uint8_t* dst,
                                  std::ptrdiff_t fromGroup, std::ptrdiff_t pixels) {
  const std::ptrdiff_t groups = pixels / 8;
  for (std::ptrdiff_t g = fromGroup; g < groups; ++g) {
    std::memcpy(dst + 8 * g, &kExpandedBytes[BitGroup(row, shift, g)], 8);
  }
  ExpandPixels(row, shift, dst, 8 * std::max(groups, fromGroup), pixels);
}

// --- entry shapes --------------------------------------------------------------

// RowFn: void(const uint8_t* srcRow, uint8_t* dstRow, int32_t pixels)
template <typename RowFn>
KernelStatus GrayRows(const uint8_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep, ROI roi,
                      RowFn row) {
  if (KernelStatus status = CheckArguments({src, dst}, roi, {})) return status;
  roi = JoinContiguousRows(roi, {{srcStep, int64_t{3} * roi.width}, {dstStep, roi.width}});
  for (int32_t y = 0; y < roi.height; ++y) row(RowAt(src, srcStep, y), RowAt(dst, dstStep, y), roi.width);
  return kStsNoErr;
}

// Each row starts at byte srcBitOffset / 8 with the remaining shift 0..7.
// RowFn: void(const uint8_t* srcRow, int32_t shift, uint8_t* dstRow, int32_t pixels)
template <typename RowFn>
KernelStatus ExpandRows(const uint8_t* src, int32_t srcStep, int32_t srcBitOffset, uint8_t* dst,
                        int32_t dstStep, ROI roi, RowFn row) {
  if (KernelStatus status = CheckArguments({src, dst}, roi, {srcStep, dstStep})) return status;
  if (srcBitOffset < 0) return kStsSizeErr;
  const uint8_t* first = src + srcBitOffset / 8;
  const int32_t shift = srcBitOffset % 8;
  for (int32_t y = 0; y < roi.height; ++y) {
    row(RowAt(first, srcStep, y), shift, RowAt(dst, dstStep, y), roi.width);
  }
  return kStsNoErr;
}

}  // namespace
}  // namespace klem::kernels
