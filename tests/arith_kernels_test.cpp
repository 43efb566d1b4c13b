#include <gtest/gtest.h>

#include <xmmintrin.h>

#include <array>
#include <cmath>
#include <random>

#include "kernel_test_support.h"
#include "kernels/arith.h"

namespace klem::kernels {
namespace {

using test::Layout;
using test::Plane;

constexpr int32_t kFirstScale = -10;
constexpr int32_t kLastScale = 20;

struct ImageKernel {
  const char* name;
  const KernelDispatchTable<ImageInPlace8uFn>* table;
  int32_t maxSourceValue;  // small divisors make exact halves common
};

TEST(ArithKernelPaths, InPlaceImageKernelsMatchGeneric) {
  const ImageKernel kernels[] = {{"add", &kAddImages8u, 255},
                                 {"subtract", &kSubtractImages8u, 255},
                                 {"multiply", &kMultiplyImages8u, 255},
                                 {"divide", &kDivideImages8u, 255},
                                 {"divide small", &kDivideImages8u, 6}};
  std::mt19937 rng(1);
  for (const ImageKernel& k : kernels) {
    for (int32_t channels : {1, 3}) {
      for (const Layout& l : test::TestLayouts()) {
        const int32_t samples = l.width * channels;
        std::vector<Plane> planes{Plane(samples, l.height, l.padding, l.offset),
                                  Plane(samples, l.height, test::PaddingOf(l, 1), l.offset + 1)};
        planes[0].FillRandom(rng, k.maxSourceValue);
        planes[1].FillRandom(rng);
        for (int32_t scale = kFirstScale; scale <= kLastScale; ++scale) {
          test::ExpectPathsMatchGeneric(
              *k.table, planes,
              [&](ImageInPlace8uFn* fn, std::vector<Plane>& p) {
                return fn(p[0].data(), p[0].step(), p[1].data(), p[1].step(),
                          ROI{samples, l.height}, scale);
              },
              test::Describe(l, channels, std::string(k.name) + " scale " + std::to_string(scale)));
        }
      }
    }
  }
}

TEST(ArithKernelPaths, ConstantKernelsMatchGeneric) {
  struct Kernel {
    const char* name;
    const KernelDispatchTable<ConstantInPlace8uFn>* one;
    const KernelDispatchTable<ConstantInPlace8uC3Fn>* three;
  };
  const Kernel kernels[] = {{"add", &kAddConstant8u, &kAddConstant8uC3},
                            {"subtract", &kSubtractConstant8u, &kSubtractConstant8uC3},
                            {"multiply", &kMultiplyConstant8u, &kMultiplyConstant8uC3},
                            {"divide", &kDivideConstant8u, &kDivideConstant8uC3}};
  const uint8_t constants[][3] = {{0, 0, 0}, {1, 1, 1}, {2, 3, 4}, {7, 200, 98}, {255, 1, 128}};
  std::mt19937 rng(2);
  for (const Kernel& k : kernels) {
    for (const auto& c : constants) {
      for (const Layout& l : test::TestLayouts()) {
        std::vector<Plane> one{Plane(l.width, l.height, l.padding, l.offset)};
        std::vector<Plane> three{Plane(3 * l.width, l.height, l.padding, l.offset)};
        one[0].FillRandom(rng);
        three[0].FillRandom(rng);
        for (int32_t scale = kFirstScale; scale <= kLastScale; ++scale) {
          const std::string what = std::string(k.name) + " c " + std::to_string(c[0]) + "," +
                                   std::to_string(c[1]) + "," + std::to_string(c[2]) +
                                   " scale " + std::to_string(scale);
          test::ExpectPathsMatchGeneric(
              *k.one, one,
              [&](ConstantInPlace8uFn* fn, std::vector<Plane>& p) {
                return fn(p[0].data(), p[0].step(), ROI{l.width, l.height}, c[1], scale);
              },
              test::Describe(l, 1, what));
          test::ExpectPathsMatchGeneric(
              *k.three, three,
              [&](ConstantInPlace8uC3Fn* fn, std::vector<Plane>& p) {
                return fn(p[0].data(), p[0].step(), ROI{l.width, l.height}, c, scale);
              },
              test::Describe(l, 3, what));
        }
      }
    }
  }
}

TEST(ArithKernelPaths, AbsoluteDifferenceMatchesGeneric) {
  std::mt19937 rng(3);
  for (int32_t channels : {1, 3}) {
    for (const Layout& l : test::TestLayouts()) {
      const int32_t samples = l.width * channels;
      std::vector<Plane> planes{Plane(samples, l.height, l.padding, l.offset),
                                Plane(samples, l.height, test::PaddingOf(l, 1), l.offset + 2),
                                Plane(samples, l.height, test::PaddingOf(l, 2), l.offset + 7)};
      for (Plane& p : planes) p.FillRandom(rng);
      test::ExpectPathsMatchGeneric(
          kAbsDiffImages8u, planes,
          [&](AbsDiffImages8uFn* fn, std::vector<Plane>& p) {
            return fn(p[0].data(), p[0].step(), p[1].data(), p[1].step(), p[2].data(), p[2].step(),
                      ROI{samples, l.height});
          },
          test::Describe(l, channels, "images"));
      for (int32_t value : {-5, 0, 77, 255, 300}) {
        test::ExpectPathsMatchGeneric(
            kAbsDiffConstant8u, planes,
            [&](AbsDiffConstant8uFn* fn, std::vector<Plane>& p) {
              return fn(p[0].data(), p[0].step(), p[2].data(), p[2].step(), ROI{samples, l.height},
                        value);
            },
            test::Describe(l, channels, "constant " + std::to_string(value)));
      }
    }
  }
}

// The rounding rule stated in double precision, as a reference for division.
uint8_t ReferenceDivide(int32_t d, int32_t v, int32_t scale) {
  if (v == 0) return d ? 255 : 0;
  if (scale > 8) return 0;
  if (scale < -15) return d ? 255 : 0;
  const double q = d * std::ldexp(1.0, -scale) / v + 0.5;
  int64_t n = static_cast<int64_t>(q);
  if ((n & 1) && static_cast<double>(n) == q) --n;
  return static_cast<uint8_t>(n > 255 ? 255 : n);
}

// Every dividend against every divisor, for every scale factor, on every path.
TEST(ArithKernelPaths, ImageDivisionIsExactForEveryPairOfBytes) {
  std::vector<uint8_t> divisors(256 * 256), dividends(256 * 256);
  for (int32_t v = 0; v < 256; ++v) {
    for (int32_t d = 0; d < 256; ++d) {
      divisors[v * 256 + d] = static_cast<uint8_t>(v);
      dividends[v * 256 + d] = static_cast<uint8_t>(d);
    }
  }
  for (int32_t path = 0; path <= HighestRunnableCodePath(); ++path) {
    for (int32_t scale = -16; scale <= 9; ++scale) {
      std::vector<uint8_t> result = dividends;
      // One row holds all dividends for one divisor; the first row divides by zero.
      ASSERT_EQ(kDivideImages8u.Entry(path)(divisors.data(), 256, result.data(), 256,
                                             ROI{256, 256}, scale),
                kStsDivByZero);
      for (int32_t v = 0; v < 256; ++v) {
        for (int32_t d = 0; d < 256; ++d) {
          ASSERT_EQ(result[v * 256 + d], ReferenceDivide(d, v, scale))
              << test::PathName(path) << " " << d << " / " << v << " scale " << scale;
        }
      }
    }
  }
}

// One channel by a constant: the product with the precomputed factor in
// double precision, ties included, for every byte, constant and scale factor.
TEST(ArithKernelPaths, ConstantDivisionRoundsLikeThePrecomputedFactor) {
  std::vector<uint8_t> all(256);
  for (int32_t d = 0; d < 256; ++d) all[d] = static_cast<uint8_t>(d);
  for (int32_t path = 0; path <= HighestRunnableCodePath(); ++path) {
    for (int32_t scale = -16; scale <= 9; ++scale) {
      for (int32_t c = 1; c < 256; ++c) {
        std::vector<uint8_t> row = all;
        ASSERT_EQ(kDivideConstant8u.Entry(path)(row.data(), 256, ROI{256, 1},
                                                 static_cast<uint8_t>(c), scale),
                  kStsNoErr);
        const double factor = std::ldexp(1.0, -std::max(scale, -16)) / c;
        for (int32_t d = 0; d < 256; ++d) {
          uint8_t expected;
          if (scale > 8) {
            expected = 0;
          } else {
            const double sum = d * factor + 0.5;
            int64_t n = static_cast<int64_t>(sum);
            if ((n & 1) && static_cast<double>(n) == sum) --n;
            expected = static_cast<uint8_t>(n > 255 ? 255 : n);
          }
          ASSERT_EQ(row[d], expected) << test::PathName(path) << " " << d << " / " << c
                                      << " scale " << scale;
        }
      }
    }
  }
  // The one place where that product misses an exact half: 147 / 98 = 1.5.
  uint8_t sample = 147;
  kDivideConstant8u.Entry(kPathGeneric)(&sample, 1, ROI{1, 1}, 98, 0);
  EXPECT_EQ(sample, 1);
}

// A host may run with another rounding mode or with floating-point exceptions
// unmasked; results and the host's control word stay as they are, and dividing
// by zero samples traps nothing.
TEST(ArithKernelPaths, DivisionIgnoresAndKeepsTheHostsFloatingPointControl) {
  std::vector<uint8_t> divisors(256 * 256), dividends(256 * 256);
  for (int32_t i = 0; i < 256 * 256; ++i) {
    divisors[i] = static_cast<uint8_t>(i >> 8);
    dividends[i] = static_cast<uint8_t>(i);
  }
  const unsigned saved = _mm_getcsr();
  const unsigned unmaskedZeroDivideAndInvalid = saved & ~0x0280u;
  for (unsigned mode : {0x2000u, 0x4000u, 0x6000u}) {  // down, up, toward zero
    for (int32_t path = 0; path <= HighestRunnableCodePath(); ++path) {
      std::vector<uint8_t> result = dividends;
      _mm_setcsr((unmaskedZeroDivideAndInvalid & ~0x6000u) | mode);
      kDivideImages8u.Entry(path)(divisors.data(), 256, result.data(), 256, ROI{256, 256}, 1);
      uint8_t constant[3] = {6, 6, 6};
      kDivideConstant8u.Entry(path)(constant, 3, ROI{3, 1}, 4, 0);
      const unsigned after = _mm_getcsr();
      _mm_setcsr(saved);
      EXPECT_EQ(after & ~0x3Fu, (unmaskedZeroDivideAndInvalid & ~0x6000u & ~0x3Fu) | mode)
          << test::PathName(path);
      EXPECT_EQ((std::array{constant[0], constant[1], constant[2]}), (std::array<uint8_t, 3>{2, 2, 2}));
      for (int32_t i = 0; i < 256 * 256; ++i) {
        ASSERT_EQ(result[i], ReferenceDivide(i & 255, i >> 8, 1)) << test::PathName(path) << " " << i;
      }
    }
  }
}

TEST(ArithKernelPaths, WorkedExamples) {
  for (int32_t path = 0; path <= HighestRunnableCodePath(); ++path) {
    const auto run = [&](const KernelDispatchTable<ImageInPlace8uFn>& table, uint8_t d, uint8_t s,
                         int32_t scale) {
      table.Entry(path)(&s, 1, &d, 1, ROI{1, 1}, scale);
      return int{d};
    };
    EXPECT_EQ(run(kAddImages8u, 200, 100, 0), 255);
    EXPECT_EQ(run(kAddImages8u, 1, 2, 1), 2);
    EXPECT_EQ(run(kAddImages8u, 2, 3, 1), 2);
    EXPECT_EQ(run(kSubtractImages8u, 10, 20, -3), 0);
    EXPECT_EQ(run(kMultiplyImages8u, 255, 255, 8), 254);
    EXPECT_EQ(run(kMultiplyImages8u, 128, 2, 8), 1);
    EXPECT_EQ(run(kDivideImages8u, 5, 2, 0), 2);
    EXPECT_EQ(run(kDivideImages8u, 7, 2, 0), 4);
    EXPECT_EQ(run(kDivideImages8u, 3, 2, 0), 2);
    EXPECT_EQ(run(kDivideImages8u, 1, 2, 0), 0);
  }
}

TEST(ArithKernelChecks, StatusesComeInTheirOrderAndLeaveTheImageAlone) {
  uint8_t src[4] = {1, 2, 3, 4};
  uint8_t dst[4] = {9, 9, 9, 9};
  const uint8_t three[3] = {1, 2, 3};
  const uint8_t zeroInThree[3] = {1, 0, 3};
  for (int32_t path = 0; path <= HighestRunnableCodePath(); ++path) {
    const auto add = kAddImages8u.Entry(path);
    EXPECT_EQ(add(nullptr, 4, dst, 4, ROI{0, 1}, 0), kStsNullPtrErr);
    EXPECT_EQ(add(src, 4, dst, 4, ROI{0, 1}, 0), kStsSizeErr);
    EXPECT_EQ(add(src, 4, dst, 4, ROI{4, -1}, 0), kStsSizeErr);
    EXPECT_EQ(add(src, 0, dst, 4, ROI{4, 1}, 0), kStsStepErr);
    EXPECT_EQ(kAddConstant8uC3.Entry(path)(dst, 4, ROI{1, 1}, nullptr, 0), kStsNullPtrErr);
    EXPECT_EQ(kDivideConstant8u.Entry(path)(dst, 4, ROI{4, 1}, 0, 0), kStsDivByZeroErr);
    EXPECT_EQ(kDivideConstant8uC3.Entry(path)(dst, 3, ROI{1, 1}, zeroInThree, 0), kStsDivByZeroErr);
    EXPECT_EQ(kDivideConstant8uC3.Entry(path)(dst, 3, ROI{0, 1}, zeroInThree, 0), kStsSizeErr);
    EXPECT_EQ(kMultiplyConstant8uC3.Entry(path)(dst, 3, ROI{1, 0}, three, 0), kStsSizeErr);
    // The absolute difference wants rows at least as long as the region.
    EXPECT_EQ(kAbsDiffImages8u.Entry(path)(src, 3, src, 4, dst, 4, ROI{4, 1}), kStsStepErr);
    EXPECT_EQ(kAbsDiffConstant8u.Entry(path)(src, 4, dst, 3, ROI{4, 1}, 0), kStsStepErr);
    EXPECT_EQ(kAbsDiffConstant8u.Entry(path)(src, 4, nullptr, 3, ROI{4, 1}, 0), kStsNullPtrErr);
    for (uint8_t b : dst) EXPECT_EQ(b, 9);
  }
}

TEST(ArithKernelChecks, DivisionByAZeroSampleWarnsAfterTheWholeResult) {
  for (int32_t path = 0; path <= HighestRunnableCodePath(); ++path) {
    for (int32_t scale : {0, 12, -20}) {
      uint8_t divisor[21] = {};
      uint8_t dividend[21];
      for (int32_t i = 0; i < 21; ++i) {
        dividend[i] = static_cast<uint8_t>(i * 12);
        divisor[i] = i == 20 ? 0 : 3;  // the only zero sits in the scalar tail
      }
      EXPECT_EQ(kDivideImages8u.Entry(path)(divisor, 21, dividend, 21, ROI{21, 1}, scale),
                kStsDivByZero);
      EXPECT_EQ(dividend[20], 255);
      EXPECT_EQ(dividend[1], scale == 0 ? 4 : scale > 0 ? 0 : 255);
    }
  }
}

}  // namespace
}  // namespace klem::kernels
