// The rules of the convolution that every code path shares: the divisor
// rules, the taps of a kernel, the argument checks and the entry shape, so
// that statuses and results cannot drift between paths. A path supplies only
// the function that does one row.
#pragma once

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <new>

#include "kernels/filter_types.h"
#include "kernels/kernel_support.h"
#include "kernels/round_to_nearest.h"

namespace klem::kernels {
namespace {

// --- the divisor ---------------------------------------------------------------
//   1                     the sum itself
//   2^s, s >= 1           0 for sum <= 0, else sum / 2^s rounded half to even
//   any other nonzero d   v = sum * (1 / d) in doubles (the reciprocal first);
//                         255 for v >= 255, 0 for v <= 0.5, else v rounded
//                         half to even
// and the result clamped to 0..255. INT32_MIN is not positive, so it takes
// the reciprocal like any divisor that is not a power of two.
struct ConvolveDivisor {
  enum class Rule { kOne, kShift, kReciprocal } rule;
  int32_t shift;      // s of 2^s
  double reciprocal;  // 1 / d
};

inline ConvolveDivisor DivisorRule(int32_t divisor) {
  if (divisor == 1) return {ConvolveDivisor::Rule::kOne, 0, 1.0};
  if (divisor > 0 && std::has_single_bit(static_cast<uint32_t>(divisor))) {
    return {ConvolveDivisor::Rule::kShift, std::countr_zero(static_cast<uint32_t>(divisor)), 0.0};
  }
  return {ConvolveDivisor::Rule::kReciprocal, 0, 1.0 / divisor};
}

inline uint8_t ClampSum(int32_t v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }

inline uint8_t DivideSum(int32_t sum, const ConvolveDivisor& d) {
  switch (d.rule) {
    case ConvolveDivisor::Rule::kOne:
      return ClampSum(sum);
    case ConvolveDivisor::Rule::kShift: {
      if (sum <= 0) return 0;
      const int32_t s = d.shift;
      const int32_t q = sum >> s;
      const int32_t low = sum & ((int32_t{1} << s) - 1);
      return ClampSum(q + ((low + (int32_t{1} << (s - 1)) - 1 + (q & 1)) >> s));
    }
    case ConvolveDivisor::Rule::kReciprocal:
      break;
  }
  const double v = sum * d.reciprocal;
  if (v >= 255.0) return 255;
  if (v <= 0.5) return 0;
  double n = static_cast<double>(static_cast<int32_t>(v + 0.5));
  if (n - v == 0.5 && static_cast<int32_t>(n) % 2 != 0) n -= 1.0;
  return ClampSum(static_cast<int32_t>(n));
}

// The reciprocal rule in single precision, as the vector paths may run it
// on 16-bit sums: the sum (exact as a float below 2^24) times the float
// nearest 1 / d, clamped to 0..255, rounded half to even.
//
// Why it gives the double rule's results where the plan allows it (sums of
// at most 65535 in magnitude, |d| <= 8192, and equal results on every sum
// whose quotient is an exact half, which the plan checks): both products
// lie within a relative 2^-23 (float) or 2^-51 (double) of the exact
// quotient x = sum / d, so for |x| <= 256 within 3.1e-5 of it. When x is not
// a half-integer it lies at least 1 / (2 |d|) >= 6.1e-5 from every one, so
// both products round to the integer nearest x, and they meet the clamps
// (255 above, 0 at 0.5 and below) on the same side; beyond 256 both clamp.
// That leaves the exact halves, at most 256 sums, which are compared.
inline constexpr int32_t kFloatDivisorLimit = 8192;
inline constexpr int32_t kShortSumLimit = 128 * 255;  // signed 16-bit sums
inline constexpr int32_t kUnsignedSumLimit = 65535;    // unsigned 16-bit sums

inline float FloatReciprocal(int32_t divisor) { return static_cast<float>(1.0 / divisor); }

inline uint8_t DivideSumFloat(int32_t sum, float reciprocal) {
  const float v = std::min(std::max(static_cast<float>(sum) * reciprocal, 0.0f), 255.0f);
  return static_cast<uint8_t>(std::nearbyint(v));
}

// Whether the float rule gives the double rule's result on every sum whose
// magnitude is at most kUnsignedSumLimit.
inline bool FloatRuleHolds(int32_t divisor) {
  if (divisor < -kFloatDivisorLimit || divisor > kFloatDivisorLimit) return false;
  if (divisor % 2 != 0) return true;  // an odd divisor has no exact halves
  const ConvolveDivisor d = DivisorRule(divisor);
  const float reciprocal = FloatReciprocal(divisor);
  for (int32_t k = 0; k <= 256; ++k) {
    const int32_t sum = (2 * k + 1) * (divisor / 2);  // x = k + 1/2 (or its negative)
    if (sum > kUnsignedSumLimit || sum < -kUnsignedSumLimit) break;
    if (DivideSum(sum, d) != DivideSumFloat(sum, reciprocal)) return false;
  }
  return true;
}

// --- the taps of a kernel ----------------------------------------------------------
// A tap is one nonzero coefficient and the byte offset, from the destination
// sample's position in the source, of the sample it weighs: the kernel
// rotated by 180 degrees about its anchor. Zero coefficients add nothing to
// the wrapping 32-bit sum, so they are left out.
struct ConvolveTap {
  std::ptrdiff_t offset;
  int32_t coefficient;
};

// Two taps for the vector paths, whose multiply-adds take sample pairs; an
// odd last tap is paired with a zero coefficient on its own sample.
struct ConvolveTapPair {
  std::ptrdiff_t first, second;
  int32_t words;   // both coefficients as 16-bit halves, the first one low
  int16_t bytes;   // both as signed bytes, the first one low
};

// How far the sums of a kernel reach, which decides the lanes they fit.
enum class ConvolveLanes {
  kBytes,   // every coefficient a signed byte, sum of |k| <= 128: 16-bit sums
            // never exceed 128 * 255, products of pairs neither
  kUnsignedBytes,  // coefficients 1..127, each pair's two at most 128 (its
                   // products stay below 2^15), all at most 257: unsigned
                   // 16-bit sums never exceed 65535
  kWords,   // every coefficient 16-bit: pairs of products fit 32 bits exactly
  kScalar,  // wider coefficients: the scalar rule only
};

class ConvolvePlan {
 public:
  ConvolvePlan() = default;
  ~ConvolvePlan() {
    delete[] taps_;
    delete[] pairs_;
  }
  ConvolvePlan(const ConvolvePlan&) = delete;
  ConvolvePlan& operator=(const ConvolvePlan&) = delete;

  // False when the taps' memory cannot be had (or its size overflows).
  bool Build(const int32_t* kernel, ROI size, Anchor anchor, int32_t channels, int32_t srcStep,
             int32_t divisor) {
    divisor_ = DivisorRule(divisor);
    const uint64_t cells = uint64_t(uint32_t(size.width)) * uint32_t(size.height);
    if (cells > PTRDIFF_MAX / sizeof(ConvolveTap)) return false;
    std::ptrdiff_t count = 0;
    for (uint64_t c = 0; c < cells; ++c) count += kernel[c] != 0;
    taps_ = new (std::nothrow) ConvolveTap[static_cast<size_t>(count) + 1];
    pairs_ = new (std::nothrow) ConvolveTapPair[static_cast<size_t>(count + 1) / 2 + 1];
    if (taps_ == nullptr || pairs_ == nullptr) return false;
    int64_t magnitude = 0;
    bool bytes = true, words = true, positive = true;
    for (int32_t j = 0; j < size.height; ++j) {
      for (int32_t i = 0; i < size.width; ++i) {
        const int32_t k = kernel[int64_t{j} * size.width + i];
        if (k == 0) continue;
        const std::ptrdiff_t offset = std::ptrdiff_t{anchor.row - j} * srcStep +
                                      std::ptrdiff_t{anchor.column - i} * channels;
        taps_[count_++] = {offset, k};
        magnitude += k < 0 ? -int64_t{k} : k;
        bytes = bytes && k >= INT8_MIN && k <= INT8_MAX;
        words = words && k >= INT16_MIN && k <= INT16_MAX;
        positive = positive && k > 0;
      }
    }
    lanes_ = bytes && magnitude * 255 <= kShortSumLimit ? ConvolveLanes::kBytes
             : words                   ? ConvolveLanes::kWords
                                       : ConvolveLanes::kScalar;
    if (lanes_ != ConvolveLanes::kBytes && bytes && positive && PairsFit() &&
        magnitude * 255 <= kUnsignedSumLimit) {
      lanes_ = ConvolveLanes::kUnsignedBytes;
    }
    const bool shortSums = lanes_ == ConvolveLanes::kBytes || lanes_ == ConvolveLanes::kUnsignedBytes;
    floatReciprocal_ =
        shortSums && divisor_.rule == ConvolveDivisor::Rule::kReciprocal && FloatRuleHolds(divisor);
    reciprocalFloat_ = FloatReciprocal(divisor);
    for (std::ptrdiff_t t = 0; t < count_; t += 2) {
      const ConvolveTap a = taps_[t];
      const ConvolveTap b = t + 1 < count_ ? taps_[t + 1] : ConvolveTap{a.offset, 0};
      pairs_[pairCount_++] = {
          a.offset, b.offset,
          static_cast<int32_t>((uint32_t(a.coefficient) & 0xFFFF) | (uint32_t(b.coefficient) << 16)),
          static_cast<int16_t>((uint32_t(a.coefficient) & 0xFF) | ((uint32_t(b.coefficient) & 0xFF) << 8))};
    }
    return true;
  }

  // Whether every pair of taps, in the order they are paired, sums to at most 128.
  bool PairsFit() const {
    for (std::ptrdiff_t t = 0; t + 1 < count_; t += 2) {
      if (int64_t{taps_[t].coefficient} + taps_[t + 1].coefficient > 128) return false;
    }
    return true;
  }

  const ConvolveTap* taps() const { return taps_; }
  std::ptrdiff_t tapCount() const { return count_; }
  const ConvolveTapPair* pairs() const { return pairs_; }
  std::ptrdiff_t pairCount() const { return pairCount_; }
  ConvolveLanes lanes() const { return lanes_; }
  const ConvolveDivisor& divisor() const { return divisor_; }
  // Whether 16-bit sums may take the float rule, and its factor.
  bool floatReciprocal() const { return floatReciprocal_; }
  float reciprocalFloat() const { return reciprocalFloat_; }

 private:
  ConvolveTap* taps_ = nullptr;
  ConvolveTapPair* pairs_ = nullptr;
  std::ptrdiff_t count_ = 0, pairCount_ = 0;
  ConvolveLanes lanes_ = ConvolveLanes::kScalar;
  ConvolveDivisor divisor_{};
  bool floatReciprocal_ = false;
  float reciprocalFloat_ = 0.0f;
};

// Samples from .. to - 1 of one row: the scalar rule, the generic rows and
// the tails of the vector rows. The sum wraps in 32 bits, as the vector
// lanes do, so any order of the taps gives the same sum.
inline void ConvolveSamples(const uint8_t* src, uint8_t* dst, std::ptrdiff_t from, std::ptrdiff_t to,
                            const ConvolvePlan& plan) {
  const ConvolveTap* taps = plan.taps();
  const std::ptrdiff_t count = plan.tapCount();
  for (std::ptrdiff_t x = from; x < to; ++x) {
    uint32_t sum = 0;
    for (std::ptrdiff_t t = 0; t < count; ++t) {
      sum += static_cast<uint32_t>(taps[t].coefficient) * src[x + taps[t].offset];
    }
    dst[x] = DivideSum(static_cast<int32_t>(sum), plan.divisor());
  }
}

// The checks in their order, shared by every entry.
inline KernelStatus CheckConvolve(const uint8_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep,
                                  ROI roi, const int32_t* kernel, ROI size, Anchor anchor,
                                  int32_t divisor) {
  if (KernelStatus status = CheckArguments({src, dst, kernel}, roi, {srcStep, dstStep})) return status;
  if (size.width < 1 || size.height < 1) return kStsMaskSizeErr;
  if (anchor.column < 0 || anchor.column >= size.width || anchor.row < 0 || anchor.row >= size.height) {
    return kStsAnchorErr;
  }
  if (divisor == 0) return kStsDivisorErr;
  return kStsNoErr;
}

// The entry shape: row(srcRow, dstRow, bytes, plan) does one row's samples.
template <typename Row>
KernelStatus ConvolveRows(const uint8_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep, ROI roi,
                          const int32_t* kernel, ROI size, Anchor anchor, int32_t divisor,
                          int32_t channels, Row row) {
  if (KernelStatus status = CheckConvolve(src, srcStep, dst, dstStep, roi, kernel, size, anchor, divisor)) {
    return status;
  }
  // The reciprocal, its products and the vectors' conversions round to nearest.
  const RoundToNearest rounding;
  ConvolvePlan plan;
  if (!plan.Build(kernel, size, anchor, channels, srcStep, divisor)) return kStsMemAllocErr;
  const std::ptrdiff_t bytes = std::ptrdiff_t{roi.width} * channels;
  for (int32_t y = 0; y < roi.height; ++y) row(RowAt(src, srcStep, y), RowAt(dst, dstStep, y), bytes, plan);
  return kStsNoErr;
}

}  // namespace
}  // namespace klem::kernels
