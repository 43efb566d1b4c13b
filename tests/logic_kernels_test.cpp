// Results and statuses of the bitwise, shift and scale-down kernels on every
// entry; that the entries agree on random data is kernel_paths_test's job.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "kernel_test_support.h"
#include "kernels/logic.h"

namespace klem::kernels {
namespace {

using test::EntryName;

// Every 16-bit value on every entry, against the rule in wide arithmetic.
TEST(LogicKernels, ScaleDownOfEverySixteenBitValue) {
  std::vector<uint16_t> all(65536);
  for (uint32_t v = 0; v < 65536; ++v) all[v] = static_cast<uint16_t>(v);
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

// Rows of 70 equal samples reach the vector body of every width and the tail.
template <typename T, typename Fn>
T ShiftAll(const KernelDispatchTable<Fn>& table, int32_t entry, T value, uint32_t count) {
  std::vector<T> row(70, value);
  EXPECT_EQ(table.Entry(entry)(row.data(), 70 * sizeof(T), ROI{70, 1}, count), kStsNoErr);
  EXPECT_EQ(row.front(), row.back()) << EntryName(entry);
  return row.front();
}

// Pixels of three samples, each channel its own value and count.
template <typename T, typename Fn>
void ExpectPerChannel(const KernelDispatchTable<Fn>& table, int32_t entry, const T (&before)[3],
                      const uint32_t (&counts)[3], const T (&after)[3]) {
  std::vector<T> pixels(3 * 70);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = before[i % 3];
  ASSERT_EQ(table.Entry(entry)(pixels.data(), 3 * 70 * sizeof(T), ROI{70, 1}, counts), kStsNoErr);
  for (size_t i = 0; i < pixels.size(); ++i) ASSERT_EQ(pixels[i], after[i % 3]) << EntryName(entry) << " " << i;
}

TEST(LogicKernels, WorkedExamples) {
  test::ForEachEntry([](int32_t e) {
    EXPECT_EQ(ShiftAll<uint8_t>(kShiftLeft8u, e, 128, 1), 0);
    EXPECT_EQ(ShiftAll<uint8_t>(kShiftLeft8u, e, 200, 1), 144);  // no saturation
    EXPECT_EQ(ShiftAll<uint8_t>(kShiftLeft8u, e, 0x81, 7), 0x80);
    EXPECT_EQ(ShiftAll<uint8_t>(kShiftRight8u, e, 255, 7), 1);
    EXPECT_EQ(ShiftAll<uint8_t>(kShiftRight8u, e, 255, 8), 0);
    EXPECT_EQ(ShiftAll<uint8_t>(kShiftRight8u, e, 200, 0), 200);
    EXPECT_EQ(ShiftAll<uint8_t>(kShiftLeft8u, e, 255, 0xFFFFFFFFu), 0);
    EXPECT_EQ(ShiftAll<uint16_t>(kShiftRight16u, e, 65535, 4), 4095);
    EXPECT_EQ(ShiftAll<uint16_t>(kShiftLeft16u, e, 0x8001, 15), 0x8000);
    EXPECT_EQ(ShiftAll<uint16_t>(kShiftLeft16u, e, 0x0123, 4), 0x1230);
    EXPECT_EQ(ShiftAll<uint16_t>(kShiftRight16u, e, 65535, 16), 0);
    ExpectPerChannel<uint8_t>(kShiftLeft8uC3, e, {0xF0, 0x0F, 0xFF}, {1, 4, 9}, {0xE0, 0xF0, 0});
    ExpectPerChannel<uint16_t>(kShiftRight16uC3, e, {0xFFFF, 0x1234, 0x8000}, {0, 4, 15},
                               {0xFFFF, 0x0123, 1});
    // AND with 0x0000FF00 keeps only the second byte of every pixel.
    std::vector<uint8_t> colour(3 * 70, 0xC3);
    const uint8_t keepSecond[3] = {0, 0xFF, 0};
    ASSERT_EQ(kAndConstant8uC3.Entry(e)(colour.data(), 3 * 70, ROI{70, 1}, keepSecond), kStsNoErr);
    for (size_t i = 0; i < colour.size(); ++i) ASSERT_EQ(colour[i], i % 3 == 1 ? 0xC3 : 0) << EntryName(e);
  });
}

// The bitwise and shift kernels check row steps before the region; the
// three-channel forms with equal values check the region first and then run
// the one-channel kernel over three samples a pixel; a zero count still
// checks its arguments.
TEST(LogicKernels, StatusesComeInTheirOrderAndLeaveTheImageAlone) {
  static uint8_t src[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  static uint8_t dst[8] = {9, 9, 9, 9, 9, 9, 9, 9};
  static uint16_t wide[4] = {9, 9, 9, 9};
  static const uint8_t equal[3] = {7, 7, 7};
  static const uint8_t unequal[3] = {7, 6, 7};
  static const uint32_t equalCounts[3] = {2, 2, 2};
  static const uint32_t unequalCounts[3] = {1, 2, 3};
  static const ROI tooWide{INT32_MAX / 3 + 1, 1};
  std::vector<test::StatusCase> cases;
  for (const auto* t : {&kAndImages8u, &kOrImages8u, &kXorImages8u}) {
    const auto fn = [t](int32_t e) { return t->Entry(e); };
    cases.insert(cases.end(), {
        {"null", [=](int32_t e) { return fn(e)(nullptr, 0, dst, 8, ROI{0, 1}); }, kStsNullPtrErr},
        {"null destination", [=](int32_t e) { return fn(e)(src, 8, nullptr, 8, ROI{8, 1}); }, kStsNullPtrErr},
        {"step before size", [=](int32_t e) { return fn(e)(src, 0, dst, 8, ROI{0, 1}); }, kStsStepErr},
        {"negative step", [=](int32_t e) { return fn(e)(src, 8, dst, -1, ROI{8, 0}); }, kStsStepErr},
        {"height -2", [=](int32_t e) { return fn(e)(src, 8, dst, 8, ROI{8, -2}); }, kStsSizeErr}});
  }
  for (const auto* t : {&kAndConstant8uC3, &kOrConstant8uC3, &kXorConstant8uC3}) {
    const auto fn = [t](int32_t e) { return t->Entry(e); };
    cases.insert(cases.end(), {
        {"null constants", [=](int32_t e) { return fn(e)(dst, 8, ROI{1, 1}, nullptr); }, kStsNullPtrErr},
        {"equal: size first", [=](int32_t e) { return fn(e)(nullptr, 0, ROI{0, 1}, equal); }, kStsSizeErr},
        {"equal: then null", [=](int32_t e) { return fn(e)(nullptr, 0, ROI{1, 1}, equal); }, kStsNullPtrErr},
        {"equal: then step", [=](int32_t e) { return fn(e)(dst, 0, ROI{1, 1}, equal); }, kStsStepErr},
        {"equal: too wide", [=](int32_t e) { return fn(e)(dst, 8, tooWide, equal); }, kStsSizeErr},
        {"unequal: null first", [=](int32_t e) { return fn(e)(nullptr, 0, ROI{0, 1}, unequal); }, kStsNullPtrErr},
        {"unequal: step", [=](int32_t e) { return fn(e)(dst, 0, ROI{0, 1}, unequal); }, kStsStepErr},
        {"unequal: size", [=](int32_t e) { return fn(e)(dst, 8, ROI{1, 0}, unequal); }, kStsSizeErr},
        {"unequal: too wide", [=](int32_t e) { return fn(e)(dst, 8, tooWide, unequal); }, kStsSizeErr}});
  }
  const auto addOneChannelChecks = [&](const auto* t) {
    const auto fn = [t](int32_t e) { return t->Entry(e); };
    cases.insert(cases.end(), {
        {"null", [=](int32_t e) { return fn(e)(nullptr, 8, ROI{8, 1}, 0); }, kStsNullPtrErr},
        {"step", [=](int32_t e) { return fn(e)(dst, 0, ROI{0, 1}, 0); }, kStsStepErr},
        {"size", [=](int32_t e) { return fn(e)(dst, 8, ROI{0, 1}, 20); }, kStsSizeErr}});
  };
  for (const auto* t : {&kAndConstant8u, &kOrConstant8u, &kXorConstant8u}) addOneChannelChecks(t);
  for (const auto* t : {&kShiftRight8u, &kShiftLeft8u}) addOneChannelChecks(t);
  for (const auto* t : {&kShiftRight8uC3, &kShiftLeft8uC3}) {
    const auto fn = [t](int32_t e) { return t->Entry(e); };
    cases.insert(cases.end(), {
        {"null counts", [=](int32_t e) { return fn(e)(dst, 8, ROI{1, 1}, nullptr); }, kStsNullPtrErr},
        {"equal: size first", [=](int32_t e) { return fn(e)(nullptr, 0, ROI{0, 1}, equalCounts); }, kStsSizeErr},
        {"equal: step", [=](int32_t e) { return fn(e)(dst, 0, ROI{1, 1}, equalCounts); }, kStsStepErr},
        {"unequal: step", [=](int32_t e) { return fn(e)(dst, 0, ROI{0, 1}, unequalCounts); }, kStsStepErr},
        {"unequal: size", [=](int32_t e) { return fn(e)(dst, 8, ROI{1, 0}, unequalCounts); }, kStsSizeErr}});
  }
  for (const auto* t : {&kShiftRight16u, &kShiftLeft16u}) {
    const auto fn = [t](int32_t e) { return t->Entry(e); };
    cases.insert(cases.end(), {
        {"16: null", [=](int32_t e) { return fn(e)(nullptr, 8, ROI{4, 1}, 1); }, kStsNullPtrErr},
        {"16: step", [=](int32_t e) { return fn(e)(wide, 0, ROI{0, 1}, 1); }, kStsStepErr},
        {"16: size", [=](int32_t e) { return fn(e)(wide, 8, ROI{4, 0}, 1); }, kStsSizeErr}});
  }
  for (const auto* t : {&kShiftRight16uC3, &kShiftLeft16uC3}) {
    const auto fn = [t](int32_t e) { return t->Entry(e); };
    cases.insert(cases.end(), {
        {"16C3: null counts", [=](int32_t e) { return fn(e)(wide, 8, ROI{1, 1}, nullptr); }, kStsNullPtrErr},
        {"16C3: equal size", [=](int32_t e) { return fn(e)(nullptr, 0, ROI{1, 0}, equalCounts); }, kStsSizeErr},
        {"16C3: unequal step", [=](int32_t e) { return fn(e)(wide, 0, ROI{0, 1}, unequalCounts); }, kStsStepErr},
        {"16C3: too wide", [=](int32_t e) { return fn(e)(wide, 6, tooWide, unequalCounts); }, kStsSizeErr}});
  }
  // Scale-down checks the region before the row steps.
  for (const auto* t : {&kScaleDown16u8u, &kScaleDown16u8uC3}) {
    const auto fn = [t](int32_t e) { return t->Entry(e); };
    cases.insert(cases.end(), {
        {"down: null", [=](int32_t e) { return fn(e)(nullptr, 0, dst, 0, ROI{0, 1}, 0); }, kStsNullPtrErr},
        {"down: null destination", [=](int32_t e) { return fn(e)(wide, 8, nullptr, 8, ROI{1, 1}, 0); }, kStsNullPtrErr},
        {"down: size first", [=](int32_t e) { return fn(e)(wide, 0, dst, 0, ROI{0, 1}, 0); }, kStsSizeErr},
        {"down: destination step", [=](int32_t e) { return fn(e)(wide, 8, dst, 0, ROI{1, 1}, 0); }, kStsStepErr},
        {"down: source step", [=](int32_t e) { return fn(e)(wide, 0, dst, 8, ROI{1, 1}, 0); }, kStsStepErr}});
  }
  cases.push_back({"down C3: too wide",
                   [](int32_t e) { return kScaleDown16u8uC3.Entry(e)(wide, 8, dst, 8, tooWide, 0); }, kStsSizeErr});
  test::ExpectStatusesOnEveryEntry(cases);
  for (uint8_t b : dst) EXPECT_EQ(b, 9);
  for (uint16_t s : wide) EXPECT_EQ(s, 9);
}

}  // namespace
}  // namespace klem::kernels
