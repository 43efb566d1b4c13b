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

// 256 rows of 256 samples: row v holds every dividend over divisor v.
struct AllPairs {
  AllPairs() : divisors(256 * 256), dividends(256 * 256) {
    for (int32_t i = 0; i < 256 * 256; ++i) {
      divisors[i] = static_cast<uint8_t>(i >> 8);
      dividends[i] = static_cast<uint8_t>(i);
    }
  }
  std::vector<uint8_t> divisors, dividends;
};

TEST(ArithKernels, ImageDivisionIsExactForEveryPairOfBytesAndScale) {
  const AllPairs pairs;
  test::ForEachImplementation(kDivideImages8u, [&](int32_t entry, ImageInPlace8uFn* divide) {
    for (int32_t scale = -16; scale <= 9; ++scale) {
      std::vector<uint8_t> result = pairs.dividends;
      ASSERT_EQ(divide(pairs.divisors.data(), 256, result.data(), 256, ROI{256, 256}, scale),
                kStsDivByZero);  // row 0 divides by zero
      for (int32_t i = 0; i < 256 * 256; ++i) {
        ASSERT_EQ(result[i], ReferenceDivide(i & 255, i >> 8, scale))
            << EntryName(entry) << " " << (i & 255) << " / " << (i >> 8) << " scale " << scale;
      }
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
  const AllPairs pairs;
  const unsigned saved = _mm_getcsr();
  const unsigned unmasked = saved & ~0x0280u & ~0x6000u;  // zero-divide and invalid unmasked
  for (unsigned mode : {0x2000u, 0x4000u, 0x6000u}) {      // down, up, toward zero
    test::ForEachImplementation(kDivideImages8u, [&](int32_t entry, ImageInPlace8uFn* divide) {
      std::vector<uint8_t> result = pairs.dividends;
      uint8_t constant[3] = {6, 6, 6};
      _mm_setcsr(unmasked | mode);
      divide(pairs.divisors.data(), 256, result.data(), 256, ROI{256, 256}, 1);
      kDivideConstant8u.Entry(entry)(constant, 3, ROI{3, 1}, 4, 0);
      const unsigned after = _mm_getcsr();
      _mm_setcsr(saved);
      EXPECT_EQ(after & ~0x3Fu, (unmasked & ~0x3Fu) | mode) << EntryName(entry);
      EXPECT_EQ(constant[0] + constant[1] + constant[2], 6) << EntryName(entry);
      for (int32_t i = 0; i < 256 * 256; ++i) {
        ASSERT_EQ(result[i], ReferenceDivide(i & 255, i >> 8, 1)) << EntryName(entry) << " " << i;
      }
    });
  }
}

TEST(ArithKernels, WorkedExamples) {
  struct Case {
    const KernelDispatchTable<ImageInPlace8uFn>& table;
    uint8_t d, s;
    int32_t scale;
    uint8_t expected;
  };
  const Case cases[] = {
      {kAddImages8u, 200, 100, 0, 255},     {kAddImages8u, 1, 2, 1, 2},   {kAddImages8u, 2, 3, 1, 2},
      {kAddImages8u, 100, 50, -1, 255},     {kAddImages8u, 0, 1, -8, 255}, {kAddImages8u, 0, 0, -8, 0},
      {kAddImages8u, 255, 255, 10, 0},      {kSubtractImages8u, 10, 20, -3, 0},
      {kMultiplyImages8u, 255, 255, 8, 254}, {kMultiplyImages8u, 128, 2, 8, 1},
      {kDivideImages8u, 5, 2, 0, 2},        {kDivideImages8u, 7, 2, 0, 4}, {kDivideImages8u, 3, 2, 0, 2},
      {kDivideImages8u, 1, 2, 0, 0},        {kDivideImages8u, 0, 0, 0, 0},
  };
  test::ForEachEntry([&](int32_t entry) {
    for (const Case& c : cases) {
      // 70 equal samples: the vector body of every width and the scalar tail.
      std::vector<uint8_t> d(70, c.d), s(70, c.s);
      c.table.Entry(entry)(s.data(), 70, d.data(), 70, ROI{70, 1}, c.scale);
      EXPECT_EQ(d.front(), c.expected) << EntryName(entry) << " " << int{c.d} << ", " << int{c.s};
      EXPECT_EQ(d.back(), c.expected) << EntryName(entry) << " " << int{c.d} << ", " << int{c.s};
    }
  });
}

TEST(ArithKernels, StatusesComeInTheirOrderAndLeaveTheImageAlone) {
  static uint8_t src[4] = {1, 2, 3, 4};
  static uint8_t dst[4] = {9, 9, 9, 9};
  static const uint8_t three[3] = {1, 2, 3};
  static const uint8_t zeroInThree[3] = {1, 0, 3};
  const auto add = [](int32_t e) { return kAddImages8u.Entry(e); };
  test::ExpectStatusesOnEveryEntry({
      {"null before size", [=](int32_t e) { return add(e)(nullptr, 4, dst, 4, ROI{0, 1}, 0); }, kStsNullPtrErr},
      {"width 0", [=](int32_t e) { return add(e)(src, 4, dst, 4, ROI{0, 1}, 0); }, kStsSizeErr},
      {"size before step", [=](int32_t e) { return add(e)(src, 0, dst, 4, ROI{4, -1}, 0); }, kStsSizeErr},
      {"step 0", [=](int32_t e) { return add(e)(src, 0, dst, 4, ROI{4, 1}, 0); }, kStsStepErr},
      {"null constants", [](int32_t e) { return kAddConstant8uC3.Entry(e)(dst, 4, ROI{1, 1}, nullptr, 0); },
       kStsNullPtrErr},
      {"divide by 0", [](int32_t e) { return kDivideConstant8u.Entry(e)(dst, 4, ROI{4, 1}, 0, 0); },
       kStsDivByZeroErr},
      {"divide by a 0 byte", [](int32_t e) { return kDivideConstant8uC3.Entry(e)(dst, 3, ROI{1, 1}, zeroInThree, 0); },
       kStsDivByZeroErr},
      {"size before divisor", [](int32_t e) { return kDivideConstant8uC3.Entry(e)(dst, 3, ROI{0, 1}, zeroInThree, 0); },
       kStsSizeErr},
      {"height 0", [](int32_t e) { return kMultiplyConstant8uC3.Entry(e)(dst, 3, ROI{1, 0}, three, 0); },
       kStsSizeErr},
      // The absolute difference wants rows at least as long as the region.
      {"short source rows", [](int32_t e) { return kAbsDiffImages8u.Entry(e)(src, 3, src, 4, dst, 4, ROI{4, 1}); },
       kStsStepErr},
      {"short destination rows", [](int32_t e) { return kAbsDiffConstant8u.Entry(e)(src, 4, dst, 3, ROI{4, 1}, 0); },
       kStsStepErr},
      {"null destination", [](int32_t e) { return kAbsDiffConstant8u.Entry(e)(src, 4, nullptr, 3, ROI{4, 1}, 0); },
       kStsNullPtrErr},
  });
  for (uint8_t b : dst) EXPECT_EQ(b, 9);
}

TEST(ArithKernels, DivisionByAZeroSampleWarnsAfterTheWholeResult) {
  test::ForEachImplementation(kDivideImages8u, [](int32_t entry, ImageInPlace8uFn* divide) {
    for (int32_t scale : {0, 12, -20}) {
      // 200 samples: the only zero divisor sits in the scalar tail of every width.
      std::vector<uint8_t> divisor(200, 3), dividend(200);
      for (int32_t i = 0; i < 200; ++i) dividend[i] = static_cast<uint8_t>(i * 12);
      divisor[199] = 0;
      EXPECT_EQ(divide(divisor.data(), 200, dividend.data(), 200, ROI{200, 1}, scale), kStsDivByZero);
      EXPECT_EQ(dividend[199], 255) << EntryName(entry);
      EXPECT_EQ(dividend[1], scale == 0 ? 4 : scale > 0 ? 0 : 255) << EntryName(entry);
    }
  });
}

}  // namespace
}  // namespace klem::kernels
