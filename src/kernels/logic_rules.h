// The sample rules of the bitwise, shift and scale-down kernels and the entry
// shapes every code path shares, so that statuses, shortcuts and results
// cannot drift between paths: a path supplies only the function that does one row.
#pragma once

#include <climits>
#include <cstdint>

#include "kernels/kernel_support.h"

namespace klem::kernels {
namespace {

struct AndRule {
  static uint8_t Sample(uint8_t d, uint8_t s) { return static_cast<uint8_t>(d & s); }
};
struct OrRule {
  static uint8_t Sample(uint8_t d, uint8_t s) { return static_cast<uint8_t>(d | s); }
};
struct XorRule {
  static uint8_t Sample(uint8_t d, uint8_t s) { return static_cast<uint8_t>(d ^ s); }
};

template <typename T>
inline constexpr uint32_t kSampleBits = 8 * sizeof(T);

// Left shifts keep the low bits of the sample; counts of the sample width and
// above shift everything out.
template <typename T, bool kLeft>
inline T ShiftSample(T v, uint32_t count) {
  if (count >= kSampleBits<T>) return 0;
  return static_cast<T>(kLeft ? uint32_t{v} << count : uint32_t{v} >> count);
}

// v * 255 / 65535 rounded, in integers: v - (v >> 8) is at most 65280, so the
// sum never leaves 16 bits (the vector paths rely on that).
inline uint8_t ScaleDownSample(uint16_t v) {
  return static_cast<uint8_t>((v - (v >> 8) + 128u) >> 8);
}

// --- entry shapes ----------------------------------------------------------

// RowFn: void(const uint8_t* srcRow, uint8_t* dstRow, int32_t samples)
template <typename RowFn>
KernelStatus BitwiseImagesInPlace(const uint8_t* src, int32_t srcStep, uint8_t* srcDst,
                                  int32_t srcDstStep, ROI roi, RowFn row) {
  if (KernelStatus status = CheckStepsFirst({src, srcDst}, roi, {srcStep, srcDstStep})) {
    return status;
  }
  roi = JoinContiguousRows(roi, {{srcStep, roi.width}, {srcDstStep, roi.width}});
  for (int32_t y = 0; y < roi.height; ++y) {
    row(RowAt(src, srcStep, y), RowAt(srcDst, srcDstStep, y), roi.width);
  }
  return kStsNoErr;
}

// One-channel in-place kernels over samples of type T.
// RowFn: void(T* row, int32_t samples)
template <typename T, typename RowFn>
KernelStatus SamplesInPlace(T* srcDst, int32_t srcDstStep, ROI roi, RowFn row) {
  if (KernelStatus status = CheckStepsFirst({srcDst}, roi, {srcDstStep})) return status;
  roi = JoinContiguousRows(roi, {{srcDstStep, int64_t{roi.width} * int64_t{sizeof(T)}}});
  for (int32_t y = 0; y < roi.height; ++y) row(RowAt(srcDst, srcDstStep, y), roi.width);
  return kStsNoErr;
}

// A count of 0 leaves the samples alone and one that shifts every bit out
// fills zeros; only the counts in between reach the row.
template <typename T, typename RowFn>
KernelStatus ShiftInPlace(T* srcDst, int32_t srcDstStep, ROI roi, uint32_t count, RowFn row) {
  if (KernelStatus status = CheckStepsFirst({srcDst}, roi, {srcDstStep})) return status;
  if (count == 0) return kStsNoErr;
  if (count >= kSampleBits<T>) {
    FillRegion<T>(srcDst, srcDstStep, roi, 0);
    return kStsNoErr;
  }
  roi = JoinContiguousRows(roi, {{srcDstStep, int64_t{roi.width} * int64_t{sizeof(T)}}});
  for (int32_t y = 0; y < roi.height; ++y) row(RowAt(srcDst, srcDstStep, y), roi.width);
  return kStsNoErr;
}

// Three-channel in-place kernels with one value per channel; the region is in
// pixels. Three equal values run the one-channel kernel `one` over 3 * width
// samples after checking the region; otherwise RowFn: void(T* row, int32_t samples)
// gets whole rows of interleaved samples.
template <typename T, typename V, typename OneFn, typename RowFn>
KernelStatus PerChannelInPlace(T* srcDst, int32_t srcDstStep, ROI roi, const V* values, OneFn* one,
                               RowFn row) {
  if (values == nullptr) return kStsNullPtrErr;
  if (values[0] == values[1] && values[1] == values[2]) {
    if (roi.width < 1 || roi.height < 1 || roi.width > INT32_MAX / 3) return kStsSizeErr;
    return one(srcDst, srcDstStep, ROI{3 * roi.width, roi.height}, values[0]);
  }
  if (KernelStatus status = CheckStepsFirst({srcDst}, roi, {srcDstStep})) return status;
  if (roi.width > INT32_MAX / 3) return kStsSizeErr;
  const ROI samples = JoinContiguousRows(
      {3 * roi.width, roi.height}, {{srcDstStep, int64_t{roi.width} * 3 * int64_t{sizeof(T)}}});
  for (int32_t y = 0; y < samples.height; ++y) row(RowAt(srcDst, srcDstStep, y), samples.width);
  return kStsNoErr;
}

// 16-bit samples to 8 bits over `channels` (1 or 3) samples per pixel.
// RowFn: void(const uint16_t* srcRow, uint8_t* dstRow, int32_t samples)
template <typename RowFn>
KernelStatus ScaleDownRows(const uint16_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep,
                           ROI roi, int32_t channels, RowFn row) {
  if (KernelStatus status = CheckArguments({src, dst}, roi, {srcStep, dstStep})) return status;
  if (roi.width > INT32_MAX / channels) return kStsSizeErr;
  const int64_t samplesPerRow = int64_t{roi.width} * channels;
  const ROI samples = JoinContiguousRows({roi.width * channels, roi.height},
                                         {{srcStep, 2 * samplesPerRow}, {dstStep, samplesPerRow}});
  for (int32_t y = 0; y < samples.height; ++y) {
    row(RowAt(src, srcStep, y), RowAt(dst, dstStep, y), samples.width);
  }
  return kStsNoErr;
}

}  // namespace
}  // namespace klem::kernels
