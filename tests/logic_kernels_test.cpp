// The sample rules of the shift and scale-down kernels, proved on every entry
// for every sample value, and the statuses of the logic family; that the
// entries agree on random data is kernel_paths_test's job, and worked results
// through the exported calls stand in arith_ops_test.
#include <gtest/gtest.h>

#include <climits>
#include <numeric>
#include <vector>

#include "kernel_test_support.h"
#include "kernels/logic.h"

namespace klem::kernels {
namespace {

using test::EntryName;

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
    EXPECT_EQ(reduced[128], 1);
    EXPECT_EQ(reduced[256], 1);
    EXPECT_EQ(reduced[32767], 128);
    EXPECT_EQ(reduced[65535], 255);
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

// One set of rows per entry shape, spread over the kernels that share it. The
// bitwise and shift kernels check row steps before the region; the three-
// channel forms with equal values check the region first and then run the
// one-channel kernel over three samples a pixel; a zero count still checks its
// arguments; scale-down checks the region before the row steps.
TEST(LogicKernels, StatusesComeInTheirOrderAndLeaveTheImageAlone) {
  using test::Refusal;
  static uint8_t src[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  static uint8_t dst[8] = {9, 9, 9, 9, 9, 9, 9, 9};
  static uint16_t wide[4] = {9, 9, 9, 9};
  static const uint8_t equal[3] = {7, 7, 7}, unequal[3] = {7, 6, 7};
  static const uint32_t equalCounts[3] = {2, 2, 2};
  static const ROI tooWide{INT32_MAX / 3 + 1, 1};
  test::ExpectStatusesOnEveryEntry({
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

}  // namespace
}  // namespace klem::kernels
