// The argument checks, scalar pixel rules and entry shapes of the copy kernels,
// shared by every code path so that statuses and results cannot drift: a path
// supplies only how it fills a run of pixels or copies one masked row.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <utility>

#include "kernels/kernel_support.h"

namespace klem::kernels {
namespace {

// row[p * C + k] = value[k] for `pixels` pixels of C bytes.
template <int32_t kChannels>
inline void FillPixels(uint8_t* row, std::ptrdiff_t pixels, const uint8_t* value) {
  if constexpr (kChannels == 1) {
    std::memset(row, value[0], static_cast<size_t>(pixels));
  } else {
    uint8_t v[kChannels];
    std::memcpy(v, value, kChannels);
    for (std::ptrdiff_t p = 0; p < pixels; ++p) std::memcpy(row + p * kChannels, v, kChannels);
  }
}

// Pixels [from, to) of one masked row: a nonzero mask byte takes the source
// pixel, a zero one keeps the destination's bytes. Selected without a branch:
// a random mask would mispredict every other pixel.
template <int32_t kChannels>
inline void MaskedPixels(const uint8_t* src, uint8_t* dst, const uint8_t* mask, std::ptrdiff_t from,
                         std::ptrdiff_t to) {
  for (std::ptrdiff_t x = from; x < to; ++x) {
    const uint8_t keep = mask[x] == 0 ? 0xFF : 0;
    for (int32_t k = 0; k < kChannels; ++k) {
      uint8_t& d = dst[x * kChannels + k];
      d = static_cast<uint8_t>((d & keep) | (src[x * kChannels + k] & ~keep));
    }
  }
}

// Bytes of the region in one row of C-byte pixels.
inline int64_t RowBytes(ROI roi, int32_t channels) { return int64_t{roi.width} * channels; }

// --- entry shapes -----------------------------------------------------------

// Fill: fill(row, pixels) writes a run of value pixels.
template <int32_t kChannels, typename Fill>
KernelStatus SetValueShape(const uint8_t* value, uint8_t* dst, int32_t dstStep, ROI roi, Fill fill) {
  if (KernelStatus status = CheckArguments({value, dst}, roi, {})) return status;
  roi = JoinContiguousRows(roi, {{dstStep, RowBytes(roi, kChannels)}});
  for (int32_t y = 0; y < roi.height; ++y) fill(RowAt(dst, dstStep, y), roi.width);
  return kStsNoErr;
}

// Whether two regions of rows, bytes a row each, can share a byte: the
// address ranges from their first to their last byte meet.
inline bool RegionsMeet(const uint8_t* a, int32_t aStep, const uint8_t* b, int32_t bStep, int32_t rows,
                        int64_t bytes) {
  const auto range = [&](const uint8_t* p, int32_t step) {
    const int64_t reach = int64_t{step} * (rows - 1);
    const uintptr_t first = reinterpret_cast<uintptr_t>(p);
    return std::pair<uintptr_t, uintptr_t>{first + std::min<int64_t>(reach, 0),
                                           first + std::max<int64_t>(reach, 0) + bytes};
  };
  const auto [aFirst, aEnd] = range(a, aStep);
  const auto [bFirst, bEnd] = range(b, bStep);
  return aFirst < bEnd && bFirst < aEnd;
}

// Rectangles that share no byte go row by row through copy(dstRow, srcRow,
// bytes). Those that may (one image) go whole rows by memmove, which moves
// overlapping bytes as if through a buffer, in the order that reads every
// source row before it is overwritten: from the far end when the destination
// lies further on in the direction the rows advance.
template <int32_t kChannels, typename RowCopy>
KernelStatus CopyRectShape(const uint8_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep,
                           ROI roi, RowCopy copy) {
  if (KernelStatus status = CheckArguments({src, dst}, roi, {})) return status;
  const int64_t bytes = RowBytes(roi, kChannels);
  roi = JoinContiguousRows(roi, {{srcStep, bytes}, {dstStep, bytes}});
  const std::ptrdiff_t rowBytes = std::ptrdiff_t{roi.width} * kChannels;
  if (!RegionsMeet(src, srcStep, dst, dstStep, roi.height, rowBytes)) {
    for (int32_t y = 0; y < roi.height; ++y) copy(RowAt(dst, dstStep, y), RowAt(src, srcStep, y), rowBytes);
    return kStsNoErr;
  }
  const bool backwards = std::less<const uint8_t*>()(src, dst) == (dstStep > 0);
  for (int32_t i = 0; i < roi.height; ++i) {
    const int32_t y = backwards ? roi.height - 1 - i : i;
    std::memmove(RowAt(dst, dstStep, y), RowAt(src, srcStep, y), static_cast<size_t>(rowBytes));
  }
  return kStsNoErr;
}

// Masked copy: row(srcRow, dstRow, maskRow, pixels) does one row.
template <int32_t kChannels, typename Row>
KernelStatus MaskedShape(const uint8_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep, ROI roi,
                         const uint8_t* mask, int32_t maskStep, Row row) {
  if (KernelStatus status = CheckArguments({src, dst, mask}, roi, {})) return status;
  const int64_t bytes = RowBytes(roi, kChannels);
  roi = JoinContiguousRows(roi, {{srcStep, bytes}, {dstStep, bytes}, {maskStep, roi.width}});
  for (int32_t y = 0; y < roi.height; ++y) {
    row(RowAt(src, srcStep, y), RowAt(dst, dstStep, y), RowAt(mask, maskStep, y), roi.width);
  }
  return kStsNoErr;
}

// Null pointers (-8), row steps below 1 (-14), then sizes and borders (-6):
// empty regions, negative borders, a destination smaller than source plus borders.
inline KernelStatus CheckBorderArguments(std::initializer_list<const void*> pointers, int32_t srcStep,
                                         ROI srcRoi, int32_t dstStep, ROI dstRoi, int32_t top,
                                         int32_t left) {
  for (const void* p : pointers) {
    if (p == nullptr) return kStsNullPtrErr;
  }
  if (srcStep < 1 || dstStep < 1) return kStsStepErr;
  if (srcRoi.width < 1 || srcRoi.height < 1 || dstRoi.width < 1 || dstRoi.height < 1 || top < 0 ||
      left < 0 || int64_t{srcRoi.width} + left > dstRoi.width ||
      int64_t{srcRoi.height} + top > dstRoi.height) {
    return kStsSizeErr;
  }
  return kStsNoErr;
}

// The destination rows of a bordered copy; row(y) is destination row y.
struct BorderRows {
  uint8_t* dst;
  int32_t dstStep;
  uint8_t* operator()(int32_t y) const { return RowAt(dst, dstStep, y); }
};

// Value rows above and below; between them value pixels, the source row, value pixels.
template <int32_t kChannels, typename Fill>
KernelStatus ConstBorderShape(const uint8_t* src, int32_t srcStep, ROI srcRoi, uint8_t* dst,
                              int32_t dstStep, ROI dstRoi, int32_t top, int32_t left,
                              const uint8_t* value, Fill fill) {
  if (KernelStatus status =
          CheckBorderArguments({src, dst, value}, srcStep, srcRoi, dstStep, dstRoi, top, left)) {
    return status;
  }
  const BorderRows rows{dst, dstStep};
  const std::ptrdiff_t right = dstRoi.width - left - srcRoi.width;
  const size_t srcBytes = static_cast<size_t>(srcRoi.width) * kChannels;
  for (int32_t y = 0; y < top; ++y) fill(rows(y), dstRoi.width);
  for (int32_t r = 0; r < srcRoi.height; ++r) {
    uint8_t* row = rows(top + r);
    fill(row, left);
    std::memmove(row + std::ptrdiff_t{left} * kChannels, RowAt(src, srcStep, r), srcBytes);
    fill(row + std::ptrdiff_t{left} * kChannels + srcBytes, right);
  }
  for (int32_t y = top + srcRoi.height; y < dstRoi.height; ++y) fill(rows(y), dstRoi.width);
  return kStsNoErr;
}

// Each source row with its first and last pixels repeated out to the sides,
// then the last such row copied down and the first copied up.
template <int32_t kChannels>
KernelStatus ReplicateBorderShape(const uint8_t* src, int32_t srcStep, ROI srcRoi, uint8_t* dst,
                                  int32_t dstStep, ROI dstRoi, int32_t top, int32_t left) {
  if (KernelStatus status =
          CheckBorderArguments({src, dst}, srcStep, srcRoi, dstStep, dstRoi, top, left)) {
    return status;
  }
  const BorderRows rows{dst, dstStep};
  const std::ptrdiff_t right = dstRoi.width - left - srcRoi.width;
  const size_t srcBytes = static_cast<size_t>(srcRoi.width) * kChannels;
  const size_t dstBytes = static_cast<size_t>(dstRoi.width) * kChannels;
  for (int32_t r = 0; r < srcRoi.height; ++r) {
    uint8_t* row = rows(top + r);
    const uint8_t* from = RowAt(src, srcStep, r);
    std::memmove(row + std::ptrdiff_t{left} * kChannels, from, srcBytes);
    FillPixels<kChannels>(row, left, from);
    FillPixels<kChannels>(row + std::ptrdiff_t{left} * kChannels + srcBytes, right,
                          from + srcBytes - kChannels);
  }
  for (int32_t y = top + srcRoi.height; y < dstRoi.height; ++y) {
    std::memcpy(rows(y), rows(top + srcRoi.height - 1), dstBytes);
  }
  for (int32_t y = 0; y < top; ++y) std::memcpy(rows(y), rows(top), dstBytes);
  return kStsNoErr;
}

}  // namespace
}  // namespace klem::kernels
