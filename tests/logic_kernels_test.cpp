#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "kernel_test_support.h"
#include "kernels/logic.h"

namespace klem::kernels {
namespace {

using test::Layout;
using test::Plane;

std::string Values(const uint32_t v[3]) {
  return std::to_string(v[0]) + "," + std::to_string(v[1]) + "," + std::to_string(v[2]);
}

// A plane of 16-bit samples: byte offsets and paddings stay even so that every
// sample is a whole aligned uint16_t.
Plane Plane16(const Layout& l, int32_t samples) {
  return Plane(2 * samples, l.height, 2 * l.padding, 2 * l.offset);
}

uint16_t* Samples16(Plane& p) { return reinterpret_cast<uint16_t*>(p.data()); }

const uint32_t kHugeCount = 0xFFFFFFFFu;

std::vector<uint32_t> ShiftCounts() {
  std::vector<uint32_t> counts;
  for (uint32_t n = 0; n <= 17; ++n) counts.push_back(n);
  counts.push_back(kHugeCount);
  return counts;
}

// Equal counts (which take the one-channel kernel), and unequal ones that mix
// zero, in-range and out-of-range counts for either sample width.
const uint32_t kChannelCounts[][3] = {{0, 0, 0},  {3, 3, 3},   {9, 9, 9},  {1, 2, 3},
                                      {0, 7, 8},  {5, 0, 15},  {16, 4, 0}, {kHugeCount, 1, 6},
                                      {12, 9, 2}, {17, 17, 0}, {7, 15, 14}};

TEST(LogicKernelPaths, BitwiseImageKernelsMatchGeneric) {
  const std::pair<const char*, const KernelDispatchTable<BitwiseImages8uFn>*> kernels[] = {
      {"and", &kAndImages8u}, {"or", &kOrImages8u}, {"xor", &kXorImages8u}};
  std::mt19937 rng(11);
  for (const auto& [name, table] : kernels) {
    for (int32_t channels : {1, 3}) {
      for (const Layout& l : test::TestLayouts()) {
        const int32_t samples = l.width * channels;
        std::vector<Plane> planes{Plane(samples, l.height, l.padding, l.offset),
                                  Plane(samples, l.height, test::PaddingOf(l, 1), l.offset + 1)};
        for (Plane& p : planes) p.FillRandom(rng);
        test::ExpectPathsMatchGeneric(
            *table, planes,
            [&](BitwiseImages8uFn* fn, std::vector<Plane>& p) {
              return fn(p[0].data(), p[0].step(), p[1].data(), p[1].step(), ROI{samples, l.height});
            },
            test::Describe(l, channels, name));
      }
    }
  }
}

TEST(LogicKernelPaths, BitwiseConstantKernelsMatchGeneric) {
  struct Kernel {
    const char* name;
    const KernelDispatchTable<BitwiseConstant8uFn>* one;
    const KernelDispatchTable<BitwiseConstant8uC3Fn>* three;
  };
  const Kernel kernels[] = {{"and", &kAndConstant8u, &kAndConstant8uC3},
                            {"or", &kOrConstant8u, &kOrConstant8uC3},
                            {"xor", &kXorConstant8u, &kXorConstant8uC3}};
  const uint8_t constants[][3] = {{0, 0, 0},          {255, 255, 255}, {0x5A, 0x5A, 0x5A},
                                  {0x0F, 0xF0, 0x81}, {255, 0, 0},     {0, 0, 1}};
  std::mt19937 rng(12);
  for (const Kernel& k : kernels) {
    for (const auto& c : constants) {
      for (const Layout& l : test::TestLayouts()) {
        std::vector<Plane> one{Plane(l.width, l.height, l.padding, l.offset)};
        std::vector<Plane> three{Plane(3 * l.width, l.height, l.padding, l.offset)};
        one[0].FillRandom(rng);
        three[0].FillRandom(rng);
        const std::string what = std::string(k.name) + " c " + std::to_string(c[0]) + "," +
                                 std::to_string(c[1]) + "," + std::to_string(c[2]);
        test::ExpectPathsMatchGeneric(
            *k.one, one,
            [&](BitwiseConstant8uFn* fn, std::vector<Plane>& p) {
              return fn(p[0].data(), p[0].step(), ROI{l.width, l.height}, c[2]);
            },
            test::Describe(l, 1, what));
        test::ExpectPathsMatchGeneric(
            *k.three, three,
            [&](BitwiseConstant8uC3Fn* fn, std::vector<Plane>& p) {
              return fn(p[0].data(), p[0].step(), ROI{l.width, l.height}, c);
            },
            test::Describe(l, 3, what));
      }
    }
  }
}

TEST(LogicKernelPaths, EightBitShiftsMatchGeneric) {
  struct Kernel {
    const char* name;
    const KernelDispatchTable<Shift8uFn>* one;
    const KernelDispatchTable<Shift8uC3Fn>* three;
  };
  const Kernel kernels[] = {{"right", &kShiftRight8u, &kShiftRight8uC3},
                            {"left", &kShiftLeft8u, &kShiftLeft8uC3}};
  std::mt19937 rng(13);
  for (const Kernel& k : kernels) {
    for (const Layout& l : test::TestLayouts()) {
      std::vector<Plane> one{Plane(l.width, l.height, l.padding, l.offset)};
      std::vector<Plane> three{Plane(3 * l.width, l.height, l.padding, l.offset)};
      one[0].FillRandom(rng);
      three[0].FillRandom(rng);
      for (uint32_t count : ShiftCounts()) {
        test::ExpectPathsMatchGeneric(
            *k.one, one,
            [&](Shift8uFn* fn, std::vector<Plane>& p) {
              return fn(p[0].data(), p[0].step(), ROI{l.width, l.height}, count);
            },
            test::Describe(l, 1, std::string(k.name) + " " + std::to_string(count)));
      }
      for (const auto& counts : kChannelCounts) {
        test::ExpectPathsMatchGeneric(
            *k.three, three,
            [&](Shift8uC3Fn* fn, std::vector<Plane>& p) {
              return fn(p[0].data(), p[0].step(), ROI{l.width, l.height}, counts);
            },
            test::Describe(l, 3, std::string(k.name) + " " + Values(counts)));
      }
    }
  }
}

TEST(LogicKernelPaths, SixteenBitShiftsMatchGeneric) {
  struct Kernel {
    const char* name;
    const KernelDispatchTable<Shift16uFn>* one;
    const KernelDispatchTable<Shift16uC3Fn>* three;
  };
  const Kernel kernels[] = {{"right", &kShiftRight16u, &kShiftRight16uC3},
                            {"left", &kShiftLeft16u, &kShiftLeft16uC3}};
  std::mt19937 rng(14);
  for (const Kernel& k : kernels) {
    for (const Layout& l : test::TestLayouts()) {
      std::vector<Plane> one{Plane16(l, l.width)};
      std::vector<Plane> three{Plane16(l, 3 * l.width)};
      one[0].FillRandom(rng);
      three[0].FillRandom(rng);
      for (uint32_t count : ShiftCounts()) {
        test::ExpectPathsMatchGeneric(
            *k.one, one,
            [&](Shift16uFn* fn, std::vector<Plane>& p) {
              return fn(Samples16(p[0]), p[0].step(), ROI{l.width, l.height}, count);
            },
            test::Describe(l, 1, std::string(k.name) + " 16u " + std::to_string(count)));
      }
      for (const auto& counts : kChannelCounts) {
        test::ExpectPathsMatchGeneric(
            *k.three, three,
            [&](Shift16uC3Fn* fn, std::vector<Plane>& p) {
              return fn(Samples16(p[0]), p[0].step(), ROI{l.width, l.height}, counts);
            },
            test::Describe(l, 3, std::string(k.name) + " 16u " + Values(counts)));
      }
    }
  }
}

TEST(LogicKernelPaths, ScaleDownMatchesGeneric) {
  const KernelDispatchTable<ScaleDown16u8uFn>* tables[] = {&kScaleDown16u8u, &kScaleDown16u8uC3};
  std::mt19937 rng(15);
  for (int32_t channels : {1, 3}) {
    const auto& table = *tables[channels == 1 ? 0 : 1];
    for (const Layout& l : test::TestLayouts()) {
      const int32_t samples = l.width * channels;
      std::vector<Plane> planes{Plane16(l, samples),
                                Plane(samples, l.height, test::PaddingOf(l, 1), l.offset + 3)};
      planes[0].FillRandom(rng);
      test::ExpectPathsMatchGeneric(
          table, planes,
          [&](ScaleDown16u8uFn* fn, std::vector<Plane>& p) {
            return fn(Samples16(p[0]), p[0].step(), p[1].data(), p[1].step(),
                      ROI{l.width, l.height}, 0);
          },
          test::Describe(l, channels, "scale down"));
    }
  }
}

// Every 16-bit value on every path, against the rule in wide arithmetic.
TEST(LogicKernelResults, ScaleDownOfEverySixteenBitValue) {
  std::vector<uint16_t> all(65536);
  for (uint32_t v = 0; v < 65536; ++v) all[v] = static_cast<uint16_t>(v);
  for (int32_t path = 0; path <= HighestRunnableCodePath(); ++path) {
    std::vector<uint8_t> reduced(65536, 0xEE);
    // 256 rows of 256 samples, each row long enough for vectors.
    ASSERT_EQ(kScaleDown16u8u.Entry(path)(all.data(), 512, reduced.data(), 256, ROI{256, 256}, 0),
              kStsNoErr);
    for (int64_t v = 0; v < 65536; ++v) {
      ASSERT_EQ(reduced[v], (v - v / 256 + 128) / 256) << test::PathName(path) << " " << v;
    }
    EXPECT_EQ(reduced[0], 0);
    EXPECT_EQ(reduced[128], 1);
    EXPECT_EQ(reduced[256], 1);
    EXPECT_EQ(reduced[32767], 128);
    EXPECT_EQ(reduced[65535], 255);
  }
}

TEST(LogicKernelResults, WorkedExamplesOnEveryPath) {
  for (int32_t path = 0; path <= HighestRunnableCodePath(); ++path) {
    const std::string name = test::PathName(path);
    // 8-bit: 32 equal samples reach the vector body, the 33rd the scalar tail.
    const auto shift8 = [&](const KernelDispatchTable<Shift8uFn>& table, uint8_t v, uint32_t n) {
      std::vector<uint8_t> row(33, v);
      EXPECT_EQ(table.Entry(path)(row.data(), 33, ROI{33, 1}, n), kStsNoErr);
      EXPECT_EQ(row.front(), row.back()) << name;
      return int{row.front()};
    };
    EXPECT_EQ(shift8(kShiftLeft8u, 128, 1), 0) << name;
    EXPECT_EQ(shift8(kShiftLeft8u, 200, 1), 144) << name;
    EXPECT_EQ(shift8(kShiftLeft8u, 0x81, 7), 0x80) << name;
    EXPECT_EQ(shift8(kShiftRight8u, 255, 7), 1) << name;
    EXPECT_EQ(shift8(kShiftRight8u, 255, 8), 0) << name;
    EXPECT_EQ(shift8(kShiftRight8u, 200, 0), 200) << name;
    EXPECT_EQ(shift8(kShiftLeft8u, 255, kHugeCount), 0) << name;

    const auto shift16 = [&](const KernelDispatchTable<Shift16uFn>& table, uint16_t v, uint32_t n) {
      std::vector<uint16_t> row(17, v);
      EXPECT_EQ(table.Entry(path)(row.data(), 34, ROI{17, 1}, n), kStsNoErr);
      EXPECT_EQ(row.front(), row.back()) << name;
      return int{row.front()};
    };
    EXPECT_EQ(shift16(kShiftRight16u, 65535, 4), 4095) << name;
    EXPECT_EQ(shift16(kShiftLeft16u, 0x8001, 15), 0x8000) << name;
    EXPECT_EQ(shift16(kShiftLeft16u, 0x0123, 4), 0x1230) << name;
    EXPECT_EQ(shift16(kShiftRight16u, 65535, 15), 1) << name;
    EXPECT_EQ(shift16(kShiftRight16u, 65535, 16), 0) << name;

    // Three channels with their own counts over 20 pixels (vectors and tail).
    std::vector<uint8_t> pixels(60);
    for (size_t i = 0; i < pixels.size(); i += 3) {
      pixels[i] = 0xF0;
      pixels[i + 1] = 0x0F;
      pixels[i + 2] = 0xFF;
    }
    const uint32_t leftCounts[3] = {1, 4, 9};
    ASSERT_EQ(kShiftLeft8uC3.Entry(path)(pixels.data(), 60, ROI{20, 1}, leftCounts), kStsNoErr);
    for (size_t i = 0; i < pixels.size(); i += 3) {
      ASSERT_EQ(pixels[i], 0xE0) << name << " " << i;
      ASSERT_EQ(pixels[i + 1], 0xF0) << name << " " << i;
      ASSERT_EQ(pixels[i + 2], 0) << name << " " << i;
    }
    std::vector<uint16_t> wide(3 * 20);
    for (size_t i = 0; i < wide.size(); i += 3) {
      wide[i] = 0xFFFF;
      wide[i + 1] = 0x1234;
      wide[i + 2] = 0x8000;
    }
    const uint32_t rightCounts[3] = {0, 4, 15};
    ASSERT_EQ(kShiftRight16uC3.Entry(path)(wide.data(), 120, ROI{20, 1}, rightCounts), kStsNoErr);
    for (size_t i = 0; i < wide.size(); i += 3) {
      ASSERT_EQ(wide[i], 0xFFFF) << name << " " << i;
      ASSERT_EQ(wide[i + 1], 0x0123) << name << " " << i;
      ASSERT_EQ(wide[i + 2], 1) << name << " " << i;
    }

    // Constants per channel: AND keeps only the second byte of every pixel.
    std::vector<uint8_t> colour(60, 0xC3);
    const uint8_t keepSecond[3] = {0, 0xFF, 0};
    ASSERT_EQ(kAndConstant8uC3.Entry(path)(colour.data(), 60, ROI{20, 1}, keepSecond), kStsNoErr);
    for (size_t i = 0; i < colour.size(); ++i) ASSERT_EQ(colour[i], i % 3 == 1 ? 0xC3 : 0) << name;
  }
}

TEST(LogicKernelChecks, StatusesComeInTheirOrderAndLeaveTheImageAlone) {
  uint8_t src[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  uint8_t dst[8] = {9, 9, 9, 9, 9, 9, 9, 9};
  uint16_t wide[4] = {9, 9, 9, 9};
  const uint8_t equal[3] = {7, 7, 7};
  const uint8_t unequal[3] = {7, 6, 7};
  const uint32_t equalCounts[3] = {2, 2, 2};
  const uint32_t unequalCounts[3] = {1, 2, 3};
  const ROI tooWide{INT32_MAX / 3 + 1, 1};
  for (int32_t path = 0; path <= HighestRunnableCodePath(); ++path) {
    const std::string name = test::PathName(path);
    for (const auto* table : {&kAndImages8u, &kOrImages8u, &kXorImages8u}) {
      const auto fn = table->Entry(path);
      EXPECT_EQ(fn(nullptr, 0, dst, 8, ROI{0, 1}), kStsNullPtrErr) << name;
      EXPECT_EQ(fn(src, 8, nullptr, 8, ROI{8, 1}), kStsNullPtrErr) << name;
      // Row steps before the region.
      EXPECT_EQ(fn(src, 0, dst, 8, ROI{0, 1}), kStsStepErr) << name;
      EXPECT_EQ(fn(src, 8, dst, -1, ROI{8, 0}), kStsStepErr) << name;
      EXPECT_EQ(fn(src, 8, dst, 8, ROI{0, 1}), kStsSizeErr) << name;
      EXPECT_EQ(fn(src, 8, dst, 8, ROI{8, -2}), kStsSizeErr) << name;
    }
    for (const auto* table : {&kAndConstant8u, &kOrConstant8u, &kXorConstant8u}) {
      const auto fn = table->Entry(path);
      EXPECT_EQ(fn(nullptr, 0, ROI{0, 1}, 1), kStsNullPtrErr) << name;
      EXPECT_EQ(fn(dst, 0, ROI{0, 1}, 1), kStsStepErr) << name;
      EXPECT_EQ(fn(dst, 8, ROI{8, 0}, 1), kStsSizeErr) << name;
    }
    for (const auto* table : {&kAndConstant8uC3, &kOrConstant8uC3, &kXorConstant8uC3}) {
      const auto fn = table->Entry(path);
      EXPECT_EQ(fn(dst, 8, ROI{1, 1}, nullptr), kStsNullPtrErr) << name;
      // Equal constants check the region first, then run the one-channel kernel.
      EXPECT_EQ(fn(nullptr, 0, ROI{0, 1}, equal), kStsSizeErr) << name;
      EXPECT_EQ(fn(nullptr, 0, ROI{1, 1}, equal), kStsNullPtrErr) << name;
      EXPECT_EQ(fn(dst, 0, ROI{1, 1}, equal), kStsStepErr) << name;
      EXPECT_EQ(fn(dst, 8, tooWide, equal), kStsSizeErr) << name;
      // Unequal constants check like the one-channel kernel does.
      EXPECT_EQ(fn(nullptr, 0, ROI{0, 1}, unequal), kStsNullPtrErr) << name;
      EXPECT_EQ(fn(dst, 0, ROI{0, 1}, unequal), kStsStepErr) << name;
      EXPECT_EQ(fn(dst, 8, ROI{1, 0}, unequal), kStsSizeErr) << name;
      EXPECT_EQ(fn(dst, 8, tooWide, unequal), kStsSizeErr) << name;
    }
    for (const auto* table : {&kShiftRight8u, &kShiftLeft8u}) {
      const auto fn = table->Entry(path);
      // A zero count still checks its arguments.
      EXPECT_EQ(fn(nullptr, 8, ROI{8, 1}, 0), kStsNullPtrErr) << name;
      EXPECT_EQ(fn(dst, 0, ROI{0, 1}, 0), kStsStepErr) << name;
      EXPECT_EQ(fn(dst, 8, ROI{0, 1}, 20), kStsSizeErr) << name;
    }
    for (const auto* table : {&kShiftRight8uC3, &kShiftLeft8uC3}) {
      const auto fn = table->Entry(path);
      EXPECT_EQ(fn(dst, 8, ROI{1, 1}, nullptr), kStsNullPtrErr) << name;
      EXPECT_EQ(fn(nullptr, 0, ROI{0, 1}, equalCounts), kStsSizeErr) << name;
      EXPECT_EQ(fn(dst, 0, ROI{1, 1}, equalCounts), kStsStepErr) << name;
      EXPECT_EQ(fn(dst, 0, ROI{0, 1}, unequalCounts), kStsStepErr) << name;
      EXPECT_EQ(fn(dst, 8, ROI{1, 0}, unequalCounts), kStsSizeErr) << name;
    }
    for (const auto* table : {&kShiftRight16u, &kShiftLeft16u}) {
      const auto fn = table->Entry(path);
      EXPECT_EQ(fn(nullptr, 8, ROI{4, 1}, 1), kStsNullPtrErr) << name;
      EXPECT_EQ(fn(wide, 0, ROI{0, 1}, 1), kStsStepErr) << name;
      EXPECT_EQ(fn(wide, 8, ROI{4, 0}, 1), kStsSizeErr) << name;
    }
    for (const auto* table : {&kShiftRight16uC3, &kShiftLeft16uC3}) {
      const auto fn = table->Entry(path);
      EXPECT_EQ(fn(wide, 8, ROI{1, 1}, nullptr), kStsNullPtrErr) << name;
      EXPECT_EQ(fn(nullptr, 0, ROI{1, 0}, equalCounts), kStsSizeErr) << name;
      EXPECT_EQ(fn(wide, 0, ROI{0, 1}, unequalCounts), kStsStepErr) << name;
      EXPECT_EQ(fn(wide, 6, tooWide, unequalCounts), kStsSizeErr) << name;
    }
    for (const auto* table : {&kScaleDown16u8u, &kScaleDown16u8uC3}) {
      const auto fn = table->Entry(path);
      EXPECT_EQ(fn(nullptr, 0, dst, 0, ROI{0, 1}, 0), kStsNullPtrErr) << name;
      EXPECT_EQ(fn(wide, 8, nullptr, 8, ROI{1, 1}, 0), kStsNullPtrErr) << name;
      // The region before the row steps.
      EXPECT_EQ(fn(wide, 0, dst, 0, ROI{0, 1}, 0), kStsSizeErr) << name;
      EXPECT_EQ(fn(wide, 8, dst, 0, ROI{1, 1}, 0), kStsStepErr) << name;
      EXPECT_EQ(fn(wide, 0, dst, 8, ROI{1, 1}, 0), kStsStepErr) << name;
    }
    EXPECT_EQ(kScaleDown16u8uC3.Entry(path)(wide, 8, dst, 8, tooWide, 0), kStsSizeErr) << name;
    for (uint8_t b : dst) EXPECT_EQ(b, 9) << name;
    for (uint16_t s : wide) EXPECT_EQ(s, 9) << name;
  }
}

}  // namespace
}  // namespace klem::kernels
