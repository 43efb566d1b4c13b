// Results and statuses of the arithmetic kernels on every entry; that the
// entries agree with each other on random data is kernel_paths_test's job.
#include <gtest/gtest.h>

#include <xmmintrin.h>

#include <cmath>
#include <vector>

#include "kernel_test_support.h"
#include "kernels/arith.h"

namespace klem::kernels {
namespace {

using test::EntryName;

// The rounding rule stated in double precision: q = d * 2^-s / v + 0.5,
// truncated, one less when odd and exact (ties to even), saturated.
uint8_t RoundHalfEven(double q) {
  int64_t n = static_cast<int64_t>(q > 256.0 ? 256.0 : q);
  if ((n & 1) && static_cast<double>(n) == q) --n;
  return static_cast<uint8_t>(n > 255 ? 255 : n);
}

uint8_t ReferenceDivide(int32_t d, int32_t v, int32_t scale) {
  if (v == 0 || scale < -15) return d ? 255 : 0;
  if (scale > 8) return 0;
  return RoundHalfEven(d * std::ldexp(1.0, -scale) / v + 0.5);
}

// 256 rows of 256 samples: row v holds every dividend over divisor v. Row 0
// divides by zero, so the call warns, and after it every sample is checked.
std::vector<uint8_t> DivideEveryPair(ImageInPlace8uFn* divide, int32_t scale, KernelStatus* status) {
  std::vector<uint8_t> divisors(256 * 256), result(256 * 256);
  for (int32_t i = 0; i < 256 * 256; ++i) {
    divisors[i] = static_cast<uint8_t>(i >> 8);
    result[i] = static_cast<uint8_t>(i);
  }
  *status = divide(divisors.data(), 256, result.data(), 256, ROI{256, 256}, scale);
  return result;
}

void ExpectEveryQuotient(const std::vector<uint8_t>& result, int32_t scale, int32_t entry) {
  for (int32_t i = 0; i < 256 * 256; ++i) {
    ASSERT_EQ(result[i], ReferenceDivide(i & 255, i >> 8, scale))
        << EntryName(entry) << " " << (i & 255) << " / " << (i >> 8) << " scale " << scale;
  }
}

TEST(ArithKernels, ImageDivisionIsExactForEveryPairOfBytesAndScale) {
  test::ForEachImplementation(kDivideImages8u, [&](int32_t entry, ImageInPlace8uFn* divide) {
    for (int32_t scale = -16; scale <= 9; ++scale) {
      KernelStatus status = kStsNoErr;
      const std::vector<uint8_t> result = DivideEveryPair(divide, scale, &status);
      ASSERT_EQ(status, kStsDivByZero);
      ExpectEveryQuotient(result, scale, entry);
    }
  });
}

// One channel by a constant multiplies by the precomputed double factor
// 2^-s / c, whose product can miss an exact half: 147 * (1 / 98) gives 1.
TEST(ArithKernels, ConstantDivisionRoundsLikeThePrecomputedFactor) {
  test::ForEachImplementation(kDivideConstant8u, [&](int32_t entry, ConstantInPlace8uFn* divide) {
    for (int32_t scale = -16; scale <= 9; ++scale) {
      for (int32_t c = 1; c < 256; ++c) {
        std::vector<uint8_t> row(256);
        for (int32_t d = 0; d < 256; ++d) row[d] = static_cast<uint8_t>(d);
        ASSERT_EQ(divide(row.data(), 256, ROI{256, 1}, static_cast<uint8_t>(c), scale), kStsNoErr);
        const double factor = std::ldexp(1.0, -std::max(scale, -16)) / c;
        for (int32_t d = 0; d < 256; ++d) {
          ASSERT_EQ(row[d], scale > 8 ? 0 : RoundHalfEven(d * factor + 0.5))
              << EntryName(entry) << " " << d << " / " << c << " scale " << scale;
        }
      }
    }
    uint8_t sample = 147;
    divide(&sample, 1, ROI{1, 1}, 98, 0);
    EXPECT_EQ(sample, 1) << EntryName(entry);
  });
}

// A host may run with another rounding mode or with floating-point exceptions
// unmasked; results and the host's control word stay as they are, and dividing
// by zero samples traps nothing.
TEST(ArithKernels, DivisionIgnoresAndKeepsTheHostsFloatingPointControl) {
  const unsigned saved = _mm_getcsr();
  const unsigned unmasked = saved & ~0x0280u & ~0x6000u;  // zero-divide and invalid unmasked
  for (unsigned mode : {0x2000u, 0x4000u, 0x6000u}) {      // down, up, toward zero
    test::ForEachImplementation(kDivideImages8u, [&](int32_t entry, ImageInPlace8uFn* divide) {
      KernelStatus status = kStsNoErr;
      uint8_t constant[3] = {6, 6, 6};
      _mm_setcsr(unmasked | mode);
      const std::vector<uint8_t> result = DivideEveryPair(divide, 1, &status);
      kDivideConstant8u.Entry(entry)(constant, 3, ROI{3, 1}, 4, 0);
      const unsigned after = _mm_getcsr();
      _mm_setcsr(saved);
      EXPECT_EQ(after & ~0x3Fu, (unmasked & ~0x3Fu) | mode) << EntryName(entry);
      EXPECT_EQ(constant[0] + constant[1] + constant[2], 6) << EntryName(entry);
      ExpectEveryQuotient(result, 1, entry);
    });
  }
}

// One set of rows per entry shape: null pointers, then the region, then the
// row steps; the divisors after those; the absolute difference wants rows at
// least as long as the region.
TEST(ArithKernels, StatusesComeInTheirOrderAndLeaveTheImageAlone) {
  using test::Refusal;
  static uint8_t src[4] = {1, 2, 3, 4};
  static uint8_t dst[4] = {9, 9, 9, 9};
  static const uint8_t three[3] = {1, 2, 3}, zeroInThree[3] = {1, 0, 3};
  test::ExpectStatusesOnEveryEntry({
      Refusal("null before size", kStsNullPtrErr, kAddImages8u, nullptr, 4, dst, 4, ROI{0, 1}, 0),
      Refusal("width 0", kStsSizeErr, kSubtractImages8u, src, 4, dst, 4, ROI{0, 1}, 0),
      Refusal("size before step", kStsSizeErr, kMultiplyImages8u, src, 0, dst, 4, ROI{4, -1}, 0),
      Refusal("step 0", kStsStepErr, kDivideImages8u, src, 0, dst, 4, ROI{4, 1}, 0),
      Refusal("null constants", kStsNullPtrErr, kAddConstant8uC3, dst, 4, ROI{1, 1}, nullptr, 0),
      Refusal("divide by 0", kStsDivByZeroErr, kDivideConstant8u, dst, 4, ROI{4, 1}, 0, 0),
      Refusal("divide by a 0 byte", kStsDivByZeroErr, kDivideConstant8uC3, dst, 3, ROI{1, 1}, zeroInThree, 0),
      Refusal("size before divisor", kStsSizeErr, kDivideConstant8uC3, dst, 3, ROI{0, 1}, zeroInThree, 0),
      Refusal("height 0", kStsSizeErr, kMultiplyConstant8uC3, dst, 3, ROI{1, 0}, three, 0),
      Refusal("short source rows", kStsStepErr, kAbsDiffImages8u, src, 3, src, 4, dst, 4, ROI{4, 1}),
      Refusal("short destination rows", kStsStepErr, kAbsDiffConstant8u, src, 4, dst, 3, ROI{4, 1}, 0),
      Refusal("null destination", kStsNullPtrErr, kAbsDiffConstant8u, src, 4, nullptr, 3, ROI{4, 1}, 0),
  });
  for (uint8_t b : dst) EXPECT_EQ(b, 9);
}

}  // namespace
}  // namespace klem::kernels
