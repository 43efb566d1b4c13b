// The user-defined filter, antialias and scale-to-gray through the C
// interface: the checks in their order, the margins, the quoted results and
// random kernels against the plain window-by-window reference.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include <xmmintrin.h>

#include "filter_reference.h"
#include "frame/library_texts.h"
#include "handle_test_support.h"
#include "kernel_test_support.h"
#include "kernels/convolve.h"

namespace klem::test {
namespace {

constexpr const char* kOrigin = "Invalid filter kernel origin!";
constexpr const char* kCannotApply = "Can't apply user defined filter!";

// Pixels outside the region of a kernel with this anchor are the source's.
Margins KernelMargins(int32_t kw, int32_t kh, int32_t ax, int32_t ay) {
  return {kw - 1 - ax, kh - 1 - ay, ax, ay};
}

TEST(ConvolveOps, ChecksComeInTheirOrder) {
  const int32_t ones[49] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
  const struct {
    const char* what;
    uint32_t destFormat, sourceFormat;
    int32_t sourceWidth, kw, kh, ax, ay, divisor;
    bool nullKernel, marginsCopied;
    std::string text;
  } rows[] = {
      {"anchor column = width, before sizes", 8, 24, 4, 3, 3, 3, 1, 9, false, false, kOrigin},
      {"anchor row -1", 8, 8, 6, 3, 3, 1, -1, 9, false, false, kOrigin},
      {"empty kernel", 8, 8, 6, 0, 3, 0, 1, 9, false, false, kOrigin},
      {"size", 8, 24, 4, 3, 3, 1, 1, 9, false, false, kDifferentSize},
      {"format", 8, 24, 6, 3, 3, 1, 1, 9, false, false, kDifferentFormat},
      {"too small", 24, 24, 6, 1, 7, 0, 3, 9, false, false, "Imagesize 6x5 too small!"},
      {"divisor 0", 8, 8, 6, 3, 2, 0, 1, 0, false, true, ComposeKernelErrorText(kCannotApply, -51)},
      {"null kernel", 24, 24, 6, 2, 3, 1, 2, 9, true, true, ComposeKernelErrorText(kCannotApply, -8)},
  };
  for (const auto& row : rows) {
    HostImage dest(6, 5, row.destFormat), source;
    dest.SetBytes(Pattern(dest.Shape().size, 7));
    KLEM_Create(source.h(), row.sourceWidth, 5, row.sourceFormat);
    source.SetBytes(Pattern(source.Shape().size, 8));
    std::vector<uint8_t> expected = dest.Bytes();
    if (row.marginsCopied) {  // the source's margins around the region as it was
      const std::vector<uint8_t> before = expected, from = source.Bytes();
      expected = ReferenceFilter(from, 6, 5, dest.Shape().widthBytes, row.destFormat / 8,
                                 KernelMargins(row.kw, row.kh, row.ax, row.ay),
                                 [&](const Window& w) { return before[w.centre - from.data()]; });
    }
    const int32_t* kernel = row.nullKernel ? nullptr : ones;
    EXPECT_EQ(KLEM_FilterUserDefined(dest.h(), source.h(), kernel, row.kw, row.kh,
                                     row.ax, row.ay, row.divisor),
              KLEM_FAILED)
        << row.what;
    EXPECT_EQ(dest.Error(), row.text) << row.what;
    EXPECT_EQ(dest.Bytes(), expected) << row.what;
  }
}

TEST(ConvolveOps, QuotedResults) {
  const struct {
    std::vector<int32_t> kernel;
    int32_t divisor;
    uint8_t value, expected;
  } rows[] = {
      {{1, 1, 1, 1, 1, 1, 1, 1, 1}, 9, 10, 10}, {{5}, 2, 1, 2},  {{7}, 2, 1, 4}, {{-1}, 1, 9, 0},
      {{-1}, INT32_MIN, 255, 0},                {{3}, -3, 5, 0}, {{-3}, -3, 5, 5}, {{1}, 20, 10, 0},
  };
  for (const auto& row : rows) {
    const int32_t side = row.kernel.size() == 9 ? 3 : 1;
    HostImage dest(4, 3, 8), source(4, 3, 8, std::vector<uint8_t>(12, row.value));
    ASSERT_EQ(KLEM_FilterUserDefined(dest.h(), source.h(), row.kernel.data(), side, side, side / 2, side / 2,
                                     row.divisor),
              KLEM_OK)
        << dest.Error();
    EXPECT_EQ(dest.Bytes()[4 + 1], row.expected) << row.divisor;
  }
}

// The kernel's checks in their order on every entry; a kernel whose taps
// cannot be counted in memory is refused with -9 before any is read.
TEST(ConvolveOps, KernelStatuses) {
  using kernels::Anchor;
  using kernels::ROI;
  static uint8_t p[64];
  static const int32_t k[9] = {1};
  const auto& c1 = kernels::kConvolve8uC1;
  const auto& c3 = kernels::kConvolve8uC3;
  ExpectStatusesOnEveryEntry({
      Refusal("null kernel before size", -8, c1, p, 8, p, 8, ROI{0, 1}, static_cast<const int32_t*>(nullptr),
              ROI{1, 1}, Anchor{0, 0}, 0),
      Refusal("size before step", -6, c3, p, 0, p, 8, ROI{1, 0}, k, ROI{1, 1}, Anchor{0, 0}, 0),
      Refusal("step before kernel size", -14, c1, p, 8, p, 0, ROI{1, 1}, k, ROI{0, 1}, Anchor{0, 0}, 0),
      Refusal("kernel size before anchor", -33, c3, p, 8, p, 8, ROI{1, 1}, k, ROI{3, 0}, Anchor{5, 0}, 0),
      Refusal("anchor before divisor", -34, c1, p, 8, p, 8, ROI{1, 1}, k, ROI{3, 3}, Anchor{1, 3}, 0),
      Refusal("divisor", -51, c3, p, 8, p, 8, ROI{1, 1}, k, ROI{3, 3}, Anchor{1, 1}, 0),
      Refusal("taps beyond memory", -9, c1, p, 8, p, 8, ROI{1, 1}, k, ROI{INT32_MAX, INT32_MAX},
              Anchor{0, 0}, 1),
  });
}

// The divisor rules written from their definitions: exact integer rounding
// for powers of two, the double product for the rest.
int32_t Divided(int32_t sum, int32_t d) {
  if (d == 1) return sum;
  if (d > 0 && (d & (d - 1)) == 0) {
    if (sum <= 0) return 0;
    const int32_t q = sum / d, r = sum % d;
    return q + (2 * r > d || (2 * r == d && q % 2 == 1));
  }
  const double v = sum * (1.0 / d);
  return v >= 255 ? 255 : v <= 0.5 ? 0 : static_cast<int32_t>(std::nearbyint(v));
}

TEST(ConvolveOps, RandomKernelsMatchTheReference) {
  std::mt19937 rng(5);
  const int32_t divisors[] = {1, 2, 16, 20, -3, 7};
  for (int32_t trial = 0; trial < 60; ++trial) {
    const int32_t kw = 1 + rng() % 7, kh = 1 + rng() % 7, ax = rng() % kw, ay = rng() % kh;
    const int32_t divisor = divisors[trial % 6], channels = trial % 3 == 0 ? 3 : 1;
    const int32_t width = 7 + rng() % 30, height = 7 + rng() % 9, span = trial % 2 ? 4 : 300;
    std::vector<int32_t> kernel(kw * kh);
    for (int32_t& k : kernel) k = static_cast<int32_t>(rng() % (2 * span + 1)) - span;
    HostImage source(width, height, 8 * channels), dest(width, height, 8 * channels);
    std::vector<uint8_t> bytes = Pattern(source.Shape().size, trial);
    if (trial % 5 == 4) bytes.assign(bytes.size(), static_cast<uint8_t>(rng()));  // uniform
    source.SetBytes(bytes);
    dest.SetBytes(bytes);
    const bool inPlace = trial % 7 == 0;
    ASSERT_EQ(KLEM_FilterUserDefined(dest.h(), inPlace ? dest.h() : source.h(), kernel.data(), kw, kh, ax, ay,
                                     divisor),
              KLEM_OK)
        << dest.Error();
    const auto rule = [&](const Window& w) {
      uint32_t sum = 0;
      for (int32_t j = 0; j < kh; ++j) {
        for (int32_t i = 0; i < kw; ++i) sum += uint32_t(kernel[j * kw + i]) * uint32_t(w(ax - i, ay - j));
      }
      return Divided(static_cast<int32_t>(sum), divisor);
    };
    EXPECT_EQ(dest.Bytes(), ReferenceFilter(bytes, width, height, source.Shape().widthBytes, channels,
                                            KernelMargins(kw, kh, ax, ay), rule))
        << "trial " << trial << " kernel " << kw << "x" << kh << " anchor " << ax << "," << ay;
  }
}

// A 7x7 black-and-white image, white but for pixels (3, 3) and (0, 0).
HostImage OnePixelBlack() {
  std::vector<uint8_t> rows(7, 0xFE);  // one byte a row, pixel 0 in bit 7
  rows[3] = 0xEE;
  rows[0] = 0x7E;
  return HostImage(7, 7, 1, rows);
}

// A host's rounding mode changes neither the quotients of any entry nor,
// after the call, the mode itself.
TEST(ConvolveOps, KernelsKeepTheHostsRoundingMode) {
  const std::vector<uint8_t> src = Pattern(40 * 6, 5);
  const int32_t kernel[9] = {1, 2, 1, 2, 8, 2, 1, 2, 1};
  const auto run = [&](kernels::Convolve8uFn* convolve, int32_t divisor) {
    std::vector<uint8_t> dst(38 * 4, 0);
    convolve(src.data() + 41, 40, dst.data(), 38, {38, 4}, kernel, {3, 3}, {1, 1}, divisor);
    return dst;
  };
  const unsigned saved = _mm_getcsr();
  for (int32_t divisor : {20, 7, -3}) {
    const std::vector<uint8_t> expected = run(kernels::kConvolve8uC1.Entry(kernels::kEntryGeneric), divisor);
    for (unsigned mode : {0x2000u, 0x4000u, 0x6000u}) {  // down, up, toward zero
      ForEachImplementation(kernels::kConvolve8uC1, [&](int32_t entry, kernels::Convolve8uFn* convolve) {
        _mm_setcsr((saved & ~0x6000u) | mode);
        const std::vector<uint8_t> result = run(convolve, divisor);
        const unsigned after = _mm_getcsr();
        _mm_setcsr(saved);
        EXPECT_EQ(after & 0x6000u, mode) << EntryName(entry);
        EXPECT_EQ(result, expected) << EntryName(entry) << " divisor " << divisor << " mode " << mode;
      });
    }
  }
}

TEST(ConvolveOps, ScaleToGray) {
  for (int32_t mode : {0, 1}) {
    HostImage source = OnePixelBlack(), dest(7, 7, 8);
    ASSERT_EQ(KLEM_ScaleToGray(dest.h(), source.h(), mode), KLEM_OK) << dest.Error();
    const int32_t step = dest.Shape().widthBytes;
    std::vector<uint8_t> expected = dest.Bytes();
    for (int32_t y = 0; y < 7; ++y) std::fill_n(expected.begin() + y * step, 7, 255);
    const auto at = [&](int32_t x, int32_t y) -> uint8_t& { return expected[y * step + x]; };
    at(0, 0) = 0;
    at(1, 1) = 242;  // diagonal of (0, 0)
    for (int32_t d : {-1, 1}) {
      at(3 + d, 3) = at(3, 3 + d) = 230;
      at(2, 3 + d) = at(4, 3 + d) = 242;
    }
    at(3, 3) = mode == 0 ? 0 : 153;
    EXPECT_EQ(dest.Bytes(), expected) << "mode " << mode;
  }
  HostImage eight(7, 7, 8), dest(7, 7, 8);
  dest.Object().SetErrorText("earlier");
  EXPECT_EQ(KLEM_ScaleToGray(dest.h(), eight.h(), 0), KLEM_FAILED);
  EXPECT_EQ(dest.Error(), "earlier");
  EXPECT_EQ(eight.Error(), "Require 1bit black&white Destination bit depth!");
  HostImage source = OnePixelBlack(), wide(8, 7, 8), colour(7, 7, 24), small(2, 2, 1), smallDest(2, 2, 8);
  EXPECT_EQ(KLEM_ScaleToGray(wide.h(), source.h(), 0), KLEM_FAILED);
  EXPECT_EQ(wide.Error(), kDifferentSize);
  EXPECT_EQ(KLEM_ScaleToGray(colour.h(), source.h(), 0), KLEM_FAILED);
  EXPECT_EQ(colour.Error(), "Require 8bit Destination bit depth!");
  EXPECT_EQ(KLEM_ScaleToGray(smallDest.h(), small.h(), 0), KLEM_FAILED);
  EXPECT_EQ(smallDest.Error(), "Imagesize 2x2 too small!");
}

}  // namespace
}  // namespace klem::test
