// The rules every kernel shares, proved on every entry: the status texts, the
// scaled rounding, division for every pair of bytes, the shifts and scale-down
// for every sample value, the vector kernels' results, and the argument checks
// in their order. That the entries agree on random data is kernel_paths_test's
// job; worked results through the exported calls stand in arith_ops_test.
#include <gtest/gtest.h>

#include <xmmintrin.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <cstring>
#include <numeric>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "kernel_test_support.h"
#include "kernels/arith.h"
#include "kernels/logic.h"
#include "kernels/scaling.h"
#include "kernels/vecmath.h"

namespace klem::kernels {
namespace {

using test::EntryName;

// Every row is reachable by its own code, so finding as many codes as rows
// means that no code is repeated and none lies outside the range; unknown
// codes fall back to the text of -216.
TEST(StatusTable, HasExactlyTheDocumentedCodesWithUniqueNamesAndFixedTexts) {
  const std::string unknown = StatusToText(kStsUnknownStatusCodeErr);
  std::set<std::string> names;
  int found = 0;
  for (KernelStatus code = -9999; code <= 42; ++code) {
    const std::string text = StatusToText(code);
    if (text == unknown && code != kStsUnknownStatusCodeErr) continue;
    ++found;
    const std::string name = text.substr(0, text.find(": "));
    const bool loader = code <= -9700 && code >= -9702;  // its texts carry no name
    EXPECT_EQ(name.rfind("krnSts", 0) == 0 && names.insert(name).second, !loader) << text;
    EXPECT_TRUE(loader || code == 0 || name.ends_with("Err") == (code < 0)) << text;
  }
  EXPECT_EQ(StatusTableSize(), 259);
  EXPECT_EQ(found, 259);
  // The texts that this library's kernels return and that no exported call's
  // test quotes already (6, 1, -8, -10 and -216 stand in the operation tests).
  const std::vector<std::pair<KernelStatus, std::string>> fixed = {
      {0, "krnStsNoErr: No error, it's OK"},
      {-6, "krnStsSizeErr: Wrong value of data size"},
      {-14, "krnStsStepErr: Step value is not valid"},
      {-182, "krnStsStrideMatrixErr: Stride value is not positive or not dividend to size of data type"},
      {-203, "krnStsCountMatrixErr: Count value is negative or equal to 0"},
      {-204, "krnStsSizeMatchMatrixErr: Unsuitable sizes of the source matrices"},
  };
  for (const auto& [code, text] : fixed) EXPECT_EQ(StatusToText(code), text) << code;

  // Processor detection relies on these names; the descriptions may change.
  EXPECT_EQ(std::string(StatusToText(kStsCpuNotSupported)).rfind("krnStsCpuNotSupported: ", 0), 0u);
  EXPECT_EQ(std::string(StatusToText(kStsUnknownCacheSize)).rfind("krnStsUnknownCacheSize: ", 0), 0u);

  for (KernelStatus unknown : {12345, 43, -217, -10000, -9703, -9699}) {
    EXPECT_EQ(StatusToText(unknown), StatusToText(kStsUnknownStatusCodeErr)) << unknown;
  }
}

// The rule in floating point: r * 2^-s is exact in a double for these r and s,
// and nearbyint rounds its halves to even.
int32_t ReferenceScale(int32_t r, int32_t s, int32_t max) {
  return static_cast<int32_t>(std::min<double>(max, std::nearbyint(std::ldexp(r, -s))));
}

TEST(ScaleAndSaturate, MatchesExactRoundingForEveryProductAndFactor) {
  for (int32_t s = -16; s <= 20; ++s) {
    for (int32_t r = 0; r <= 65025; ++r) {
      ASSERT_EQ(ScaleAndSaturate8u(r, s), ReferenceScale(r, s, 255)) << "r=" << r << " s=" << s;
      ASSERT_EQ((ScaleAndSaturate<kMax16u>(r, s)), ReferenceScale(r, s, 65535))
          << "r=" << r << " s=" << s;
    }
  }
}

TEST(ScaleAndSaturate, ExtremeFactorsNeitherOverflowNorWrap) {
  EXPECT_EQ(ScaleAndSaturate8u(1, -31), 255);
  EXPECT_EQ(ScaleAndSaturate8u(1, INT32_MIN), 255);
  EXPECT_EQ(ScaleAndSaturate8u(0, INT32_MIN), 0);
  EXPECT_EQ(ScaleAndSaturate8u(65025, INT32_MAX), 0);
  EXPECT_EQ((ScaleAndSaturate<INT32_MAX>(INT32_MAX, 31)), 1);
  EXPECT_EQ((ScaleAndSaturate<INT32_MAX>(1 << 30, 31)), 0);  // exactly one half: even 0
  EXPECT_EQ((ScaleAndSaturate<INT32_MAX>(INT32_MAX, 32)), 0);
}

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
std::vector<uint8_t> DivideEveryPair(ImageInPlace8uFn* divide, int32_t scale) {
  std::vector<uint8_t> divisors(256 * 256), result(256 * 256);
  for (int32_t i = 0; i < 256 * 256; ++i) {
    divisors[i] = static_cast<uint8_t>(i >> 8);
    result[i] = static_cast<uint8_t>(i);
  }
  EXPECT_EQ(divide(divisors.data(), 256, result.data(), 256, ROI{256, 256}, scale), kStsDivByZero);
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
      ExpectEveryQuotient(DivideEveryPair(divide, scale), scale, entry);
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
      uint8_t constant[3] = {6, 6, 6};
      _mm_setcsr(unmasked | mode);
      const std::vector<uint8_t> result = DivideEveryPair(divide, 1);
      kDivideConstant8u.Entry(entry)(constant, 3, ROI{3, 1}, 4, 0);
      const unsigned after = _mm_getcsr();
      _mm_setcsr(saved);
      EXPECT_EQ(after & ~0x3Fu, (unmasked & ~0x3Fu) | mode) << EntryName(entry);
      EXPECT_EQ(constant[0] + constant[1] + constant[2], 6) << EntryName(entry);
      ExpectEveryQuotient(result, 1, entry);
    });
  }
}

// Every 16-bit value on every entry, against the rule in wide arithmetic.
TEST(LogicKernels, ScaleDownOfEverySixteenBitValue) {
  std::vector<uint16_t> all(65536);
  std::iota(all.begin(), all.end(), 0);
  test::ForEachImplementation(kScaleDown16u8u, [&](int32_t entry, ScaleDown16u8uFn* scaleDown) {
    std::vector<uint8_t> reduced(65536, 0xEE);
    ASSERT_EQ(scaleDown(all.data(), 512, reduced.data(), 256, ROI{256, 256}, 0), kStsNoErr);
    for (int64_t v = 0; v < 65536; ++v) {
      ASSERT_EQ(reduced[v], (v - v / 256 + 128) / 256) << EntryName(entry) << " " << v;
    }
  });
}

// Every sample value by the counts around the sample width (and a count a
// negative host value gives): left shifts keep the low bits without
// saturating, counts of the width and more give 0, a count of 0 keeps all.
template <typename T, typename Fn>
void ExpectShiftRule(const KernelDispatchTable<Fn>& table, bool left) {
  constexpr uint32_t kBits = 8 * sizeof(T);
  test::ForEachImplementation(table, [&](int32_t entry, Fn* shift) {
    for (uint32_t count : {0u, 1u, 4u, kBits - 1, kBits, kBits + 1, 0xFFFFFFFFu}) {
      std::vector<T> all(size_t{1} << kBits);
      std::iota(all.begin(), all.end(), T{0});
      const ROI roi{256, static_cast<int32_t>(all.size() / 256)};
      ASSERT_EQ(shift(all.data(), 256 * sizeof(T), roi, count), kStsNoErr);
      for (uint32_t v = 0; v < all.size(); ++v) {
        const T expected = count >= kBits ? 0 : static_cast<T>(left ? v << count : v >> count);
        ASSERT_EQ(all[v], expected) << EntryName(entry) << " " << v << (left ? " << " : " >> ") << count;
      }
    }
  });
}

TEST(LogicKernels, ShiftsOfEverySampleValue) {
  ExpectShiftRule<uint8_t>(kShiftLeft8u, true);
  ExpectShiftRule<uint8_t>(kShiftRight8u, false);
  ExpectShiftRule<uint16_t>(kShiftLeft16u, true);
  ExpectShiftRule<uint16_t>(kShiftRight16u, false);
}

// Each entry shape's checks in their order, one set of rows per shape spread
// over the kernels that share it: null pointers, then the region, then the row
// steps, the divisors after those; the absolute difference wants rows at least
// as long as the region. The bitwise and shift kernels check row steps before
// the region; their three-channel forms with equal values check the region
// first and then run the one-channel kernel over three samples a pixel; a zero
// count still checks its arguments; scale-down checks the region before the
// row steps. No refused call touches the image.
TEST(KernelStatuses, ComeInTheirOrderAndLeaveTheImageAlone) {
  using test::Refusal;
  static uint8_t src[8] = {1, 2, 3, 4, 5, 6, 7, 8}, dst[8] = {9, 9, 9, 9, 9, 9, 9, 9};
  static uint16_t wide[4] = {9, 9, 9, 9};
  static const uint8_t three[3] = {1, 2, 3}, zeroInThree[3] = {1, 0, 3};
  static const uint8_t equal[3] = {7, 7, 7}, unequal[3] = {7, 6, 7};
  static const uint32_t equalCounts[3] = {2, 2, 2};
  static const ROI tooWide{INT32_MAX / 3 + 1, 1};
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
      Refusal("images: null", kStsNullPtrErr, kAndImages8u, nullptr, 0, dst, 8, ROI{0, 1}),
      Refusal("images: null destination", kStsNullPtrErr, kOrImages8u, src, 8, nullptr, 8, ROI{8, 1}),
      Refusal("images: step before size", kStsStepErr, kXorImages8u, src, 0, dst, 8, ROI{0, 1}),
      Refusal("images: negative step", kStsStepErr, kAndImages8u, src, 8, dst, -1, ROI{8, 0}),
      Refusal("images: height -2", kStsSizeErr, kOrImages8u, src, 8, dst, 8, ROI{8, -2}),
      Refusal("constant: null", kStsNullPtrErr, kAndConstant8u, nullptr, 8, ROI{8, 1}, 1),
      Refusal("constant: step before size", kStsStepErr, kOrConstant8u, dst, 0, ROI{0, 1}, 1),
      Refusal("constant: size", kStsSizeErr, kXorConstant8u, dst, 8, ROI{0, 1}, 20),
      Refusal("shift 0: null", kStsNullPtrErr, kShiftRight8u, nullptr, 8, ROI{8, 1}, 0),
      Refusal("shift 0: step before size", kStsStepErr, kShiftLeft16u, wide, 0, ROI{0, 1}, 0),
      Refusal("shift out: size", kStsSizeErr, kShiftLeft8u, dst, 8, ROI{0, 1}, 20),
      Refusal("C3: null constants", kStsNullPtrErr, kAndConstant8uC3, dst, 8, ROI{1, 1}, nullptr),
      Refusal("C3: null counts", kStsNullPtrErr, kShiftLeft16uC3, wide, 8, ROI{1, 1}, nullptr),
      Refusal("equal: size first", kStsSizeErr, kOrConstant8uC3, nullptr, 0, ROI{0, 1}, equal),
      Refusal("equal: then null", kStsNullPtrErr, kXorConstant8uC3, nullptr, 0, ROI{1, 1}, equal),
      Refusal("equal: then step", kStsStepErr, kShiftRight8uC3, dst, 0, ROI{1, 1}, equalCounts),
      Refusal("equal: too wide", kStsSizeErr, kAndConstant8uC3, dst, 8, tooWide, equal),
      Refusal("unequal: null first", kStsNullPtrErr, kOrConstant8uC3, nullptr, 0, ROI{0, 1}, unequal),
      Refusal("unequal: step", kStsStepErr, kXorConstant8uC3, dst, 0, ROI{0, 1}, unequal),
      Refusal("unequal: size", kStsSizeErr, kAndConstant8uC3, dst, 8, ROI{1, 0}, unequal),
      Refusal("unequal: too wide", kStsSizeErr, kOrConstant8uC3, dst, 8, tooWide, unequal),
      Refusal("down: null", kStsNullPtrErr, kScaleDown16u8u, nullptr, 0, dst, 0, ROI{0, 1}, 0),
      Refusal("down: null destination", kStsNullPtrErr, kScaleDown16u8uC3, wide, 8, nullptr, 8, ROI{1, 1}, 0),
      Refusal("down: size first", kStsSizeErr, kScaleDown16u8u, wide, 0, dst, 0, ROI{0, 1}, 0),
      Refusal("down: destination step", kStsStepErr, kScaleDown16u8uC3, wide, 8, dst, 0, ROI{1, 1}, 0),
      Refusal("down: source step", kStsStepErr, kScaleDown16u8u, wide, 0, dst, 8, ROI{1, 1}, 0),
      Refusal("down C3: too wide", kStsSizeErr, kScaleDown16u8uC3, wide, 8, dst, 8, tooWide, 0),
  });
  for (uint8_t b : dst) EXPECT_EQ(b, 9);
  for (uint16_t s : wide) EXPECT_EQ(s, 9);
}

// A double no computation here produces: it marks what must stay unwritten.
const double kSentinel = std::bit_cast<double>(0xA5A5A5A5A5A5A5A5ull);

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Vectors of three elements 16 bytes apart, 56 bytes between vectors: the gaps
// and the tail hold the sentinel.
struct Spread {
  static constexpr int32_t kVector = 56, kElement = 16, kCount = 5;
  double& At(int32_t i, int32_t e) { return storage[(i * kVector + e * kElement) / 8]; }
  std::vector<double> storage = std::vector<double>(kCount * kVector / 8 + 2, kSentinel);
};

// Each row summed from its first product on, in double precision, with values
// near the limits so that another order or a fused multiply-add would change
// bits, on spread vectors whose gaps stay unwritten. (The element-wise kernels
// are single operations, which the exported calls check.)
TEST(VecKernels, GenericMatrixSumsEveryRowInOrder) {
  Spread src, dst;
  const double matrix[9] = {1.5, -2, 1e-3, 0, 7, -0.25, 3, 3, 3};
  for (int32_t i = 0; i < Spread::kCount; ++i) {
    for (int32_t e = 0; e < 3; ++e) src.At(i, e) = (i + 1) * (e - 1.3) * 1e299;
  }
  const int32_t v = Spread::kVector, el = Spread::kElement;
  ASSERT_EQ(generic::MulMatrixVectorArray64f(matrix, 24, 8, 3, 3, src.storage.data(), v, el, 3,
                                             dst.storage.data(), v, el, 5),
            kStsNoErr);
  const auto row = [&](int32_t i, int32_t r) {
    double sum = matrix[3 * r] * src.At(i, 0);
    sum += matrix[3 * r + 1] * src.At(i, 1);
    return sum + matrix[3 * r + 2] * src.At(i, 2);
  };
  for (size_t k = 0; k < dst.storage.size(); ++k) {  // element r of vector i, or a gap
    const size_t byte = k * 8 % v;
    const int32_t i = int32_t(k * 8 / v), r = int32_t(byte / el);
    const bool element = i < Spread::kCount && r < 3 && byte % el == 0;
    EXPECT_TRUE(SameBits(dst.storage[k], element ? row(i, r) : kSentinel)) << k;
  }
}

// The vector kernels' checks, each row one change of a valid call (the first
// of each kernel). Add and subtract share theirs, the scalar form checks the
// count before the size, the matrix form the count first and its own sizes
// before the strides. Valid calls write `out`; no refused call touches `dst`.
TEST(VecKernels, StatusesComeInTheirOrderAndLeaveTheDestinationAlone) {
  using test::Refusal;
  static const double v[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  static double dst[12], out[12];
  std::fill(std::begin(dst), std::end(dst), kSentinel);
  const auto& kAdd = kAddVectorArrayVector64f;
  const auto& kSub = kSubVectorArrayVector64f;
  const auto& kMul = kMulVectorArrayScalar64f;
  const auto& kMat = kMulMatrixVectorArray64f;
  constexpr KernelStatus kOk = kStsNoErr, kNull = kStsNullPtrErr, kSize = kStsSizeErr;
  constexpr KernelStatus kStride = kStsStrideMatrixErr, kCount = kStsCountMatrixErr;
  constexpr KernelStatus kMatch = kStsSizeMatchMatrixErr;
  test::ExpectStatusesOnEveryEntry({
      Refusal("add: valid", kOk, kAdd, v, 24, 8, v, 8, out, 24, 8, 3, 3),
      Refusal("sub: valid", kOk, kSub, v, 24, 8, v, 8, out, 24, 8, 3, 3),
      Refusal("null source", kNull, kAdd, nullptr, 24, 8, v, 8, dst, 24, 8, 3, 3),
      Refusal("null vector", kNull, kSub, v, 24, 8, nullptr, 8, dst, 24, 8, 3, 3),
      Refusal("null destination", kNull, kAdd, v, 24, 8, v, 8, nullptr, 24, 8, 3, 3),
      Refusal("null before size", kNull, kSub, v, 24, 8, nullptr, 8, dst, 24, 8, 0, 3),
      Refusal("length 0", kSize, kAdd, v, 24, 8, v, 8, dst, 24, 8, 0, 3),
      Refusal("size before stride", kSize, kSub, v, 12, 8, v, 8, dst, 24, 8, -1, 3),
      Refusal("source vector stride", kStride, kAdd, v, 12, 8, v, 8, dst, 24, 8, 3, 3),
      Refusal("source element stride", kStride, kSub, v, 24, 0, v, 8, dst, 24, 8, 3, 3),
      Refusal("vector element stride", kStride, kAdd, v, 24, 8, v, -8, dst, 24, 8, 3, 3),
      Refusal("destination vector stride", kStride, kSub, v, 24, 8, v, 8, dst, 4, 8, 3, 3),
      Refusal("destination element stride", kStride, kAdd, v, 24, 8, v, 8, dst, 24, 20, 3, 3),
      Refusal("stride before count", kStride, kSub, v, 24, 8, v, 8, dst, 24, 9, 3, 0),
      Refusal("count -1", kCount, kAdd, v, 24, 8, v, 8, dst, 24, 8, 3, -1),
      Refusal("mul: valid", kOk, kMul, v, 24, 8, 2.0, out, 24, 8, 3, 3),
      Refusal("mul: null source", kNull, kMul, nullptr, 24, 8, 2.0, dst, 24, 8, 3, 3),
      Refusal("mul: null destination", kNull, kMul, v, 24, 8, 2.0, nullptr, 24, 8, 3, 3),
      Refusal("mul: null before count", kNull, kMul, nullptr, 24, 8, 2.0, dst, 24, 8, 3, 0),
      Refusal("mul: count before size", kCount, kMul, v, 24, 8, 2.0, dst, 24, 8, 0, -2),
      Refusal("mul: size before stride", kSize, kMul, v, 24, 3, 2.0, dst, 24, 8, 0, 3),
      Refusal("mul: source vector stride", kStride, kMul, v, 20, 8, 2.0, dst, 24, 8, 3, 3),
      Refusal("mul: destination element stride", kStride, kMul, v, 24, 8, 2.0, dst, 24, 7, 3, 3),
      Refusal("matrix: valid", kOk, kMat, v, 24, 8, 3, 3, v, 24, 8, 3, out, 24, 8, 3),
      Refusal("matrix: null matrix", kNull, kMat, nullptr, 24, 8, 3, 3, v, 24, 8, 3, dst, 24, 8, 3),
      Refusal("matrix: null source", kNull, kMat, v, 24, 8, 3, 3, nullptr, 24, 8, 3, dst, 24, 8, 3),
      Refusal("matrix: null destination", kNull, kMat, v, 24, 8, 3, 3, v, 24, 8, 3, nullptr, 24, 8, 3),
      Refusal("matrix: null before count", kNull, kMat, nullptr, 24, 8, 3, 3, v, 24, 8, 3, dst, 24, 8, 0),
      Refusal("matrix: count before size", kCount, kMat, v, 24, 8, 0, 3, v, 24, 8, 3, dst, 24, 8, 0),
      Refusal("matrix: source length 0", kSize, kMat, v, 24, 8, 3, 3, v, 24, 8, 0, dst, 24, 8, 3),
      Refusal("matrix: height 0", kSize, kMat, v, 24, 8, 3, 0, v, 24, 8, 3, dst, 24, 8, 3),
      Refusal("matrix: size before match", kSize, kMat, v, 24, 8, 2, 3, v, 24, 8, -1, dst, 24, 8, 3),
      Refusal("matrix: width 4", kMatch, kMat, v, 32, 8, 4, 3, v, 24, 8, 3, dst, 24, 8, 3),
      Refusal("matrix: match before stride", kMatch, kMat, v, 12, 8, 2, 3, v, 24, 8, 3, dst, 24, 8, 3),
      Refusal("matrix: row stride", kStride, kMat, v, 12, 8, 3, 3, v, 24, 8, 3, dst, 24, 8, 3),
      Refusal("matrix: element stride", kStride, kMat, v, 24, 0, 3, 3, v, 24, 8, 3, dst, 24, 8, 3),
      Refusal("matrix: source vector stride", kStride, kMat, v, 24, 8, 3, 3, v, -24, 8, 3, dst, 24, 8, 3),
      Refusal("matrix: destination stride", kStride, kMat, v, 24, 8, 3, 3, v, 24, 8, 3, dst, 23, 8, 3),
      Refusal("matrix: stride before height fit", kStride, kMat, v, 24, 8, 3, 9, v, 24, 8, 3, dst, 24, 1, 3),
      Refusal("matrix: height past the vector", kMatch, kMat, v, 24, 8, 3, 4, v, 24, 8, 3, dst, 24, 8, 3),
      Refusal("matrix: rows spread past it", kMatch, kMat, v, 24, 8, 3, 3, v, 24, 8, 3, dst, 24, 16, 3),
      Refusal("matrix: rows spread within it", kOk, kMat, v, 24, 8, 3, 1, v, 24, 8, 3, out, 24, 16, 3),
  });
  for (double d : dst) EXPECT_TRUE(SameBits(d, kSentinel));
}

}  // namespace
}  // namespace klem::kernels
