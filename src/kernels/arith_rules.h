// The sample rules of the arithmetic kernels and the entry shape every code
// path shares, so that statuses, shortcuts and results cannot drift between
// paths: a path supplies only the function that does one row.
#pragma once

#include <climits>
#include <cmath>
#include <cstdint>

#include "kernels/kernel_support.h"
#include "kernels/scaling.h"

namespace klem::kernels {
namespace {

// One rule per scaled operation: the exact result of a sample, scaled and
// saturated; the scale factor above which every result rounds to 0; and the
// constant that leaves every sample unchanged at scale 0.
struct AddRule {
  static constexpr int32_t kZeroAbove = 9;  // a sum is at most 510
  static constexpr int32_t kIdentity = 0;
  static uint8_t Sample(uint8_t d, uint8_t s, int32_t scale) {
    return static_cast<uint8_t>(ScaleAndSaturate8u(d + s, scale));
  }
};

struct SubtractRule {
  static constexpr int32_t kZeroAbove = 8;  // a difference is at most 255
  static constexpr int32_t kIdentity = 0;
  static uint8_t Sample(uint8_t d, uint8_t s, int32_t scale) {
    return static_cast<uint8_t>(ScaleAndSaturate8u(d > s ? d - s : 0, scale));
  }
};

struct MultiplyRule {
  static constexpr int32_t kZeroAbove = 16;  // a product is at most 65025
  static constexpr int32_t kIdentity = 1;
  static uint8_t Sample(uint8_t d, uint8_t s, int32_t scale) {
    return static_cast<uint8_t>(ScaleAndSaturate8u(d * s, scale));
  }
};

// Division: above 8 every quotient of bytes is below one half; below -15
// every non-zero dividend saturates.
inline constexpr int32_t kDivideZeroAbove = 8;
inline constexpr int32_t kDivideSaturateBelow = -15;

// d * 2^-scale / v rounded to nearest, ties to even, saturated; v != 0.
// Integer form of the quotient: n / den with the scale moved into whichever
// side keeps it whole.
inline uint8_t DivideSample(uint8_t d, uint8_t v, int32_t scale) {
  if (scale > kDivideZeroAbove) return 0;
  if (scale < kDivideSaturateBelow) return d ? 255 : 0;
  const uint32_t n = uint32_t{d} << (scale < 0 ? -scale : 0);
  const uint32_t den = uint32_t{v} << (scale > 0 ? scale : 0);
  uint32_t q = n / den;
  const uint32_t twiceRemainder = 2 * (n % den);
  if (twiceRemainder > den || (twiceRemainder == den && (q & 1))) ++q;
  return static_cast<uint8_t>(q > 255 ? 255 : q);
}

// A zero divisor gives the largest value for a non-zero dividend (and warns).
inline uint8_t DivideByZeroSample(uint8_t d) { return d ? 255 : 0; }

// Division of one channel by a constant multiplies by the precomputed factor
// 2^-scale / c in double precision, adds one half, truncates, and steps back
// to even when the sum was exactly odd. That product can miss an exact tie
// (147 * (1 / 98) falls just short of 1.5), so its results are kept in a table
// that every path applies or checks itself against.
inline void BuildDivideConstantTable(uint8_t c, int32_t scale, uint8_t table[256]) {
  const int32_t clamped = scale < kDivideSaturateBelow ? kDivideSaturateBelow - 1 : scale;
  const double factor = std::ldexp(1.0, -clamped) / c;
  for (int32_t d = 0; d < 256; ++d) {
    if (scale > kDivideZeroAbove) {
      table[d] = 0;
      continue;
    }
    const double sum = d * factor + 0.5;
    int64_t n = static_cast<int64_t>(sum > 256.0 ? 256.0 : sum);
    if ((n & 1) && static_cast<double>(n) == sum) --n;
    table[d] = static_cast<uint8_t>(n > 255 ? 255 : n);
  }
}

// --- entry shapes ----------------------------------------------------------
// RowFn: KernelStatus(const uint8_t* srcRow, uint8_t* dstRow, int32_t samples)

template <typename RowFn>
KernelStatus ScaledImagesInPlace(const uint8_t* src, int32_t srcStep, uint8_t* srcDst,
                                 int32_t srcDstStep, ROI roi, int32_t scale, int32_t zeroAbove,
                                 RowFn row) {
  if (KernelStatus status = CheckArguments({src, srcDst}, roi, {srcStep, srcDstStep})) {
    return status;
  }
  if (scale > zeroAbove) {
    FillRegion<uint8_t>(srcDst, srcDstStep, roi, 0);
    return kStsNoErr;
  }
  roi = JoinContiguousRows(roi, {{srcStep, roi.width}, {srcDstStep, roi.width}});
  KernelStatus status = kStsNoErr;
  for (int32_t y = 0; y < roi.height; ++y) {
    const KernelStatus rowStatus =
        row(RowAt(src, srcStep, y), RowAt(srcDst, srcDstStep, y), roi.width);
    if (rowStatus != kStsNoErr) status = rowStatus;
  }
  return status;
}

// Constant kernels over `channels` interleaved channels (1 or 3); the region
// is in pixels. RowFn: void(uint8_t* row, int32_t samples).
// `identity` is the constant that leaves every sample unchanged at scale 0
// (0 for add and subtract, 1 for multiply, -1 for none); such a call writes nothing.
template <typename RowFn>
KernelStatus ScaledConstantInPlace(uint8_t* srcDst, int32_t srcDstStep, ROI roi,
                                   const uint8_t* values, int32_t channels, int32_t scale,
                                   int32_t zeroAbove, int32_t identity, RowFn row) {
  if (KernelStatus status = CheckArguments({srcDst, values}, roi, {srcDstStep})) return status;
  if (roi.width > INT32_MAX / channels) return kStsSizeErr;
  bool isIdentity = scale == 0;
  for (int32_t c = 0; c < channels; ++c) isIdentity = isIdentity && values[c] == identity;
  if (isIdentity) return kStsNoErr;
  const ROI samples = JoinContiguousRows({roi.width * channels, roi.height},
                                         {{srcDstStep, int64_t{roi.width} * channels}});
  if (scale > zeroAbove) {
    FillRegion<uint8_t>(srcDst, srcDstStep, samples, 0);
    return kStsNoErr;
  }
  for (int32_t y = 0; y < samples.height; ++y) row(RowAt(srcDst, srcDstStep, y), samples.width);
  return kStsNoErr;
}

// Division by constants refuses a zero constant before touching the image.
template <typename RowFn>
KernelStatus DivideConstantInPlace(uint8_t* srcDst, int32_t srcDstStep, ROI roi,
                                   const uint8_t* values, int32_t channels, int32_t scale,
                                   RowFn row) {
  if (KernelStatus status = CheckArguments({srcDst, values}, roi, {srcDstStep})) return status;
  for (int32_t c = 0; c < channels; ++c) {
    if (values[c] == 0) return kStsDivByZeroErr;
  }
  return ScaledConstantInPlace(srcDst, srcDstStep, roi, values, channels, scale,
                               kDivideZeroAbove, -1, row);
}

}  // namespace
}  // namespace klem::kernels
