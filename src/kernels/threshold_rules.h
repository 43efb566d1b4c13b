// The sample rule of the threshold kernels and the entry shape every code
// path shares, so that statuses and results cannot drift between paths: a
// path supplies only
//   MakeThresholdRow(const ThresholdBounds&): a row function
//   void(const uint8_t* src, uint8_t* dst, int32_t samples), made once a call.
// Every form is the two-sided rule with bounds per byte position: "greater"
// has a lower threshold of 0 (nothing is below it), "less" an upper one of
// 255; a one-channel call repeats its bounds in all three positions, so one
// row serves both channel counts.
#pragma once

#include <climits>
#include <cstdint>

#include "kernels/kernel_support.h"
#include "kernels/threshold.h"

namespace klem::kernels {
namespace {

struct ThresholdBounds {
  uint8_t lower[3], lowerValue[3], upper[3], upperValue[3];
};

inline uint8_t ThresholdSample(uint8_t p, const ThresholdBounds& b, int32_t c) {
  if (p > b.upper[c]) return b.upperValue[c];
  if (p < b.lower[c]) return b.lowerValue[c];
  return p;
}

inline ThresholdBounds ComparisonBounds(const uint8_t* threshold, const uint8_t* value,
                                        int32_t stride, ThresholdComparison comparison) {
  ThresholdBounds b{};
  for (int32_t c = 0; c < 3; ++c) {
    const uint8_t t = threshold[c * stride], v = value[c * stride];
    const bool greater = comparison == kThresholdGreater;
    b.lower[c] = greater ? 0 : t;
    b.lowerValue[c] = greater ? 0 : v;
    b.upper[c] = greater ? t : 255;
    b.upperValue[c] = greater ? v : 255;
  }
  return b;
}

// -18 for an upper threshold below the lower one, else the bounds.
inline KernelStatus TwoSidedBounds(const uint8_t* lower, const uint8_t* lowerValue,
                                   const uint8_t* upper, const uint8_t* upperValue, int32_t stride,
                                   ThresholdBounds* b) {
  for (int32_t c = 0; c < 3; ++c) {
    const int32_t i = c * stride;
    if (upper[i] < lower[i]) return kStsThresholdErr;
    b->lower[c] = lower[i];
    b->lowerValue[c] = lowerValue[i];
    b->upper[c] = upper[i];
    b->upperValue[c] = upperValue[i];
  }
  return kStsNoErr;
}

template <typename RowFn>
void ThresholdRows(const uint8_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep, ROI samples,
                   RowFn row) {
  // Joined rows keep the byte positions: every row holds whole pixels.
  samples = JoinContiguousRows(samples, {{srcStep, samples.width}, {dstStep, samples.width}});
  for (int32_t y = 0; y < samples.height; ++y) {
    row(RowAt(src, srcStep, y), RowAt(dst, dstStep, y), samples.width);
  }
}

inline KernelStatus CheckThresholdImages(const uint8_t* src, int32_t srcStep, const uint8_t* dst,
                                         int32_t dstStep, ROI roi, int32_t channels) {
  if (KernelStatus status = CheckArguments({src, dst}, roi, {srcStep, dstStep})) return status;
  if (roi.width > INT32_MAX / channels) return kStsSizeErr;
  return kStsNoErr;
}

}  // namespace
}  // namespace klem::kernels
