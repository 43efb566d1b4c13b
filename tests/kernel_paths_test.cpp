// Every kernel entry against the generic one, one row per kernel (see
// kernel_test_support.h for what each row is run on).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "kernel_test_support.h"
#include "kernels/alpha.h"
#include "kernels/arith.h"
#include "kernels/channels.h"
#include "kernels/colour_convert.h"
#include "kernels/convolve.h"
#include "kernels/copy.h"
#include "kernels/gray.h"
#include "kernels/linear_filters.h"
#include "kernels/logic.h"
#include "kernels/median.h"
#include "kernels/mirror.h"
#include "kernels/lookup.h"
#include "kernels/morphology.h"
#include "kernels/resize.h"
#include "kernels/threshold.h"
#include "kernels/vecmath.h"
#include "kernels/warp.h"
#include "kernels/warp_core.h"

namespace klem::kernels {
namespace {

using test::MakePathCase;
using test::PathCase;
using test::Planes;
using test::PlaneSpec;

template <typename Fn>
using Table = const KernelDispatchTable<Fn>&;

constexpr int32_t kFirstScale = -10;
constexpr int32_t kScales = 31;  // -10 .. 20: both shortcuts and every rounding mode
constexpr int32_t kChannelCounts[] = {1, 3};

std::string Named(const std::string& name, int32_t c) { return name + " C" + std::to_string(c); }

// The samples of a region of c-channel pixels.
ROI Samples(int32_t c, ROI r) { return {c * r.width, r.height}; }

std::vector<PathCase> ArithmeticCases() {
  std::vector<PathCase> cases;
  // Small divisors make exact halves common.
  const std::tuple<const char*, Table<ImageInPlace8uFn>, int32_t> images[] = {
      {"add", kAddImages8u, 255},          {"subtract", kSubtractImages8u, 255},
      {"multiply", kMultiplyImages8u, 255}, {"divide", kDivideImages8u, 255},
      {"divide small", kDivideImages8u, 6}};
  const std::tuple<const char*, Table<ConstantInPlace8uFn>, Table<ConstantInPlace8uC3Fn>> constants[] = {
      {"add constant", kAddConstant8u, kAddConstant8uC3},
      {"subtract constant", kSubtractConstant8u, kSubtractConstant8uC3},
      {"multiply constant", kMultiplyConstant8u, kMultiplyConstant8uC3},
      {"divide constant", kDivideConstant8u, kDivideConstant8uC3}};
  static const uint8_t kValues[][3] = {{0, 0, 0}, {1, 1, 1}, {2, 3, 4}, {7, 200, 98}, {255, 1, 128}};
  static const int32_t kDifferenceConstants[] = {-5, 0, 77, 255, 300};
  const auto scaleOf = [](int32_t variant) { return kFirstScale + variant % kScales; };
  const auto valuesOf = [](int32_t variant) { return kValues[variant / kScales]; };

  for (int32_t c : kChannelCounts) {
    for (const auto& [name, table, maxSource] : images) {
      cases.push_back(MakePathCase(Named(name, c), table, {{c, 1, test::RandomBytes(maxSource)}, {c}},
                                   kScales, [=](ImageInPlace8uFn* fn, Planes& p, ROI r, int32_t v) {
                                     return fn(p[0].data(), p[0].step(), p[1].data(), p[1].step(),
                                               Samples(c, r), scaleOf(v));
                                   }));
    }
    // Variant 0 writes a third image, variant 1 the first source in place.
    cases.push_back(MakePathCase(Named("difference", c), kAbsDiffImages8u, {{c}, {c}, {c}}, 2,
                                 [c](AbsDiffImages8uFn* fn, Planes& p, ROI r, int32_t v) {
                                   return fn(p[0].data(), p[0].step(), p[1].data(), p[1].step(),
                                             p[2 - 2 * v].data(), p[2 - 2 * v].step(), Samples(c, r));
                                 }));
    cases.push_back(MakePathCase(Named("difference constant", c), kAbsDiffConstant8u, {{c}, {c}}, 5,
                                 [c](AbsDiffConstant8uFn* fn, Planes& p, ROI r, int32_t v) {
                                   return fn(p[0].data(), p[0].step(), p[1].data(), p[1].step(),
                                             Samples(c, r), kDifferenceConstants[v]);
                                 }));
  }
  for (const auto& [name, one, three] : constants) {
    cases.push_back(MakePathCase(Named(name, 1), one, {{1}}, 5 * kScales,
                                 [=](ConstantInPlace8uFn* fn, Planes& p, ROI r, int32_t v) {
                                   return fn(p[0].data(), p[0].step(), r, valuesOf(v)[1], scaleOf(v));
                                 }));
    cases.push_back(MakePathCase(Named(name, 3), three, {{3}}, 5 * kScales,
                                 [=](ConstantInPlace8uC3Fn* fn, Planes& p, ROI r, int32_t v) {
                                   return fn(p[0].data(), p[0].step(), r, valuesOf(v), scaleOf(v));
                                 }));
  }
  return cases;
}

// Shift counts: every count around both sample widths and a count so large a
// negative host value would give it; per channel, equal counts (which take
// the one-channel kernel) and mixes of zero, in-range and out-of-range ones.
constexpr uint32_t kHugeCount = 0xFFFFFFFFu;
constexpr uint32_t kCounts[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, kHugeCount};
constexpr uint32_t kChannelShiftCounts[][3] = {{0, 0, 0},  {3, 3, 3},   {9, 9, 9},  {1, 2, 3},
                                               {0, 7, 8},  {5, 0, 15},  {16, 4, 0}, {kHugeCount, 1, 6},
                                               {12, 9, 2}, {17, 17, 0}, {7, 15, 14}};

template <typename T, typename Fn1, typename Fn3>
void AddShiftCases(std::vector<PathCase>& cases, const std::string& name, Table<Fn1> one, Table<Fn3> three) {
  constexpr int32_t kSize = sizeof(T);
  cases.push_back(MakePathCase(
      Named(name, 1), one, {{kSize, kSize}}, std::size(kCounts),
      [](Fn1* fn, Planes& p, ROI r, int32_t v) { return fn(p[0].As<T>(), p[0].step(), r, kCounts[v]); }));
  cases.push_back(MakePathCase(Named(name, 3), three, {{3 * kSize, kSize}}, std::size(kChannelShiftCounts),
                               [](Fn3* fn, Planes& p, ROI r, int32_t v) {
                                 return fn(p[0].As<T>(), p[0].step(), r, kChannelShiftCounts[v]);
                               }));
}

std::vector<PathCase> LogicCases() {
  std::vector<PathCase> cases;
  const std::tuple<const char*, Table<BitwiseImages8uFn>, Table<BitwiseConstant8uFn>,
                   Table<BitwiseConstant8uC3Fn>>
      bitwise[] = {{"and", kAndImages8u, kAndConstant8u, kAndConstant8uC3},
                   {"or", kOrImages8u, kOrConstant8u, kOrConstant8uC3},
                   {"xor", kXorImages8u, kXorConstant8u, kXorConstant8uC3}};
  static const uint8_t kValues[][3] = {{0, 0, 0},          {255, 255, 255}, {0x5A, 0x5A, 0x5A},
                                       {0x0F, 0xF0, 0x81}, {255, 0, 0},     {0, 0, 1}};
  for (const auto& [name, images, one, three] : bitwise) {
    for (int32_t c : kChannelCounts) {
      cases.push_back(MakePathCase(
          Named(name, c), images, {{c}, {c}}, 1, [c](BitwiseImages8uFn* fn, Planes& p, ROI r, int32_t) {
            return fn(p[0].data(), p[0].step(), p[1].data(), p[1].step(), Samples(c, r));
          }));
    }
    cases.push_back(MakePathCase(Named(name + std::string(" constant"), 1), one, {{1}}, 6,
                                 [](BitwiseConstant8uFn* fn, Planes& p, ROI r, int32_t v) {
                                   return fn(p[0].data(), p[0].step(), r, kValues[v][2]);
                                 }));
    cases.push_back(MakePathCase(Named(name + std::string(" constant"), 3), three, {{3}}, 6,
                                 [](BitwiseConstant8uC3Fn* fn, Planes& p, ROI r, int32_t v) {
                                   return fn(p[0].data(), p[0].step(), r, kValues[v]);
                                 }));
  }
  AddShiftCases<uint8_t>(cases, "shift right", kShiftRight8u, kShiftRight8uC3);
  AddShiftCases<uint8_t>(cases, "shift left", kShiftLeft8u, kShiftLeft8uC3);
  AddShiftCases<uint16_t>(cases, "shift right 16", kShiftRight16u, kShiftRight16uC3);
  AddShiftCases<uint16_t>(cases, "shift left 16", kShiftLeft16u, kShiftLeft16uC3);
  for (int32_t c : kChannelCounts) {
    cases.push_back(MakePathCase(Named("scale down", c), c == 1 ? kScaleDown16u8u : kScaleDown16u8uC3,
                                 {{2 * c, 2}, {c}}, 1, [](ScaleDown16u8uFn* fn, Planes& p, ROI r, int32_t) {
                                   return fn(p[0].As<uint16_t>(), p[0].step(), p[1].data(), p[1].step(), r,
                                             0);
                                 }));
  }
  return cases;
}

// Vectors of `length` doubles laid out by byte strides: the vector stride is
// length * elementStride + padding. Planes hold one row of `count` vectors;
// bytes between elements keep the sentinel, so stray writes show.
struct VectorLayout {
  int32_t elementStride, padding;
  int32_t Stride(int32_t length) const { return length * elementStride + padding; }
};
constexpr VectorLayout kVectorLayouts[] = {{8, 0}, {8, 16}, {16, 0}, {24, 8}};

PlaneSpec VectorPlane(int32_t length, const VectorLayout& l, int32_t fixedCount = 0) {
  const int32_t stride = l.Stride(length);
  return {stride, 8,
          [=](test::Plane& p, std::mt19937& rng) {
            // Mostly ordinary values, with signed zeros, infinities, NaN and subnormals.
            static const double kEdges[] = {0.0, -0.0, INFINITY, -INFINITY, NAN, 4.9e-324, -3e-310, 1e308};
            std::uniform_real_distribution<double> ordinary(-1000.0, 1000.0);
            for (int32_t i = 0; i < p.rowBytes() / stride; ++i) {
              for (int32_t e = 0; e < length; ++e) {
                const double v = rng() % 16 == 0 ? kEdges[rng() % 8] : ordinary(rng);
                std::memcpy(p.data() + i * stride + e * l.elementStride, &v, sizeof v);
              }
            }
          },
          fixedCount, true};
}

std::vector<PathCase> VectorMathCases() {
  std::vector<PathCase> cases;
  const std::pair<const char*, Table<VectorArrayVector64fFn>> withVector[] = {
      {"add vector", kAddVectorArrayVector64f}, {"sub vector", kSubVectorArrayVector64f},
      {"mul vector", kMulVectorArrayVector64f}};
  for (int32_t length = 1; length <= 4; ++length) {
    for (const VectorLayout& l : kVectorLayouts) {
      const int32_t s = l.Stride(length), e = l.elementStride;
      const std::string shape =
          " length " + std::to_string(length) + " stride " + std::to_string(s) + "/" + std::to_string(e);
      for (const auto& [name, table] : withVector) {  // variant 0 writes another array, 1 works in place
        cases.push_back(
            MakePathCase(name + shape, table,
                         {VectorPlane(length, l), VectorPlane(length, {e, 0}, 1), VectorPlane(length, l)}, 2,
                         [=](VectorArrayVector64fFn* fn, Planes& p, ROI r, int32_t v) {
                           return fn(p[0].As<double>(), s, e, p[1].As<double>(), e, p[2 - 2 * v].As<double>(),
                                     s, e, length, r.width);
                         }));
      }
      cases.push_back(MakePathCase("mul scalar" + shape, kMulVectorArrayScalar64f,
                                   {VectorPlane(length, l), VectorPlane(length, l)}, 2,
                                   [=](VectorArrayScalar64fFn* fn, Planes& p, ROI r, int32_t v) {
                                     return fn(p[0].As<double>(), s, e, v == 0 ? -2.75 : 1e300,
                                               p[v].As<double>(), s, e, length, r.width);
                                   }));
      for (int32_t height = 1; height <= 4; ++height) {
        // The matrix rows are laid out like the vectors; destinations hold `height` elements.
        const VectorLayout dstLayout = kVectorLayouts[(height + length) % 4];
        const int32_t ds = dstLayout.Stride(height), de = dstLayout.elementStride;
        cases.push_back(MakePathCase(
            "matrix height " + std::to_string(height) + shape, kMulMatrixVectorArray64f,
            {VectorPlane(length, l, height), VectorPlane(length, l), VectorPlane(height, dstLayout)}, 1,
            [=](MatrixVectorArray64fFn* fn, Planes& p, ROI r, int32_t) {
              return fn(p[0].As<double>(), s, e, length, height, p[1].As<double>(), s, e, length,
                        p[2].As<double>(), ds, de, r.width);
            }));
      }
    }
  }
  // The host's own layout: packed 3-vectors in and out, whatever the height.
  for (int32_t height = 1; height <= 3; ++height) {
    cases.push_back(MakePathCase("matrix packed height " + std::to_string(height), kMulMatrixVectorArray64f,
                                 {VectorPlane(3, {8, 0}, height), VectorPlane(3, {8, 0}), VectorPlane(3, {8, 0})}, 1,
                                 [=](MatrixVectorArray64fFn* fn, Planes& p, ROI r, int32_t) {
                                   return fn(p[0].As<double>(), 24, 8, 3, height, p[1].As<double>(), 24, 8, 3,
                                             p[2].As<double>(), 24, 8, r.width);
                                 }));
  }
  // Layouts are vector counts: every count to 33 and a large one.
  std::vector<test::Layout> counts;
  for (int32_t count = 1; count <= 33; ++count) counts.push_back({count, 1, 0, count % 4});
  counts.push_back({1001, 1, 0, 1});
  for (PathCase& c : cases) c.layouts = counts;
  return cases;
}

// The channel images of a split or merge lie in one plane of kChannels times
// the width: variant 0 puts channel c at byte c * width of every row (the
// plane's step for all); variant 1, on packed planes, one whole image after
// the other with the width as step, so the rows join on both sides.
template <int32_t kChannels, typename Pointer>
std::array<Pointer, kChannels> ChannelImages(test::Plane& p, ROI r, int32_t variant, int32_t& step) {
  const bool blocks = variant == 1 && p.step() == p.rowBytes();
  step = blocks ? r.width : p.step();
  std::array<Pointer, kChannels> images;
  for (int32_t c = 0; c < kChannels; ++c) images[c] = p.data() + c * r.width * (blocks ? r.height : 1);
  return images;
}

template <int32_t kChannels>
void AddSplitMergeCases(std::vector<PathCase>& cases, Table<SplitChannels8uFn> split,
                        Table<MergeChannels8uFn> merge) {
  const std::string c = std::to_string(kChannels);
  cases.push_back(MakePathCase("split C" + c, split, {{kChannels}, {kChannels}}, 2,
                               [](SplitChannels8uFn* fn, Planes& p, ROI r, int32_t v) {
                                 int32_t step = 0;
                                 const auto images = ChannelImages<kChannels, uint8_t*>(p[1], r, v, step);
                                 return fn(p[0].data(), p[0].step(), images.data(), step, r);
                               }));
  cases.push_back(MakePathCase("merge C" + c, merge, {{kChannels}, {kChannels}}, 2,
                               [](MergeChannels8uFn* fn, Planes& p, ROI r, int32_t v) {
                                 int32_t step = 0;
                                 const auto images = ChannelImages<kChannels, const uint8_t*>(p[1], r, v, step);
                                 return fn(images.data(), step, p[0].data(), p[0].step(), r);
                               }));
}

std::vector<PathCase> ChannelCases() {
  std::vector<PathCase> cases;
  AddSplitMergeCases<3>(cases, kSplitChannels8uC3, kMergeChannels8uC3);
  AddSplitMergeCases<4>(cases, kSplitChannels8uC4, kMergeChannels8uC4);
  // Orders that are not permutations too; odd variants work in place.
  static const int32_t kOrders[][3] = {{2, 1, 0}, {0, 1, 2}, {0, 0, 0}, {1, 2, 0}, {2, 2, 1}, {1, 0, 2}};
  const std::pair<Table<PermuteChannels8uFn>, int32_t> permutes[] = {{kPermuteChannels8uC3, 3},
                                                                    {kPermuteChannels8uAC4, 4}};
  for (const auto& [table, bytes] : permutes) {
    cases.push_back(MakePathCase("permute " + std::to_string(bytes), table, {{bytes}, {bytes}},
                                 2 * std::size(kOrders), [](PermuteChannels8uFn* fn, Planes& p, ROI r, int32_t v) {
                                   test::Plane& src = p[v % 2];
                                   return fn(src.data(), src.step(), p[1].data(), p[1].step(), r, kOrders[v / 2]);
                                 }));
  }
  return cases;
}

// Bytes that are 0 or 255 a quarter of the time each, so that opaque and
// transparent pixels and the saturating sums are common.
void EdgeHeavyBytes(test::Plane& p, std::mt19937& rng) {
  for (int32_t y = 0; y < p.height(); ++y) {
    for (int32_t x = 0; x < p.rowBytes(); ++x) {
      const uint32_t r = rng();
      p.data()[size_t(y) * p.step() + x] = r % 4 == 0 ? 0 : r % 4 == 1 ? 255 : uint8_t(r >> 8);
    }
  }
}

std::vector<PathCase> AlphaCases() {
  std::vector<PathCase> cases;
  const PlaneSpec c4{4, 1, EdgeHeavyBytes};
  static const uint8_t kAlphas[][2] = {{0, 0}, {255, 255}, {128, 77}, {255, 0}, {1, 254}};
  constexpr int32_t kTypes = 12, kPairs = std::size(kAlphas);
  // The destination is a third plane (0), source A (1) or source B (2).
  cases.push_back(MakePathCase("compose C4", kAlphaCompose8uC4, {c4, c4, c4}, 3 * kTypes,
                               [](AlphaCompose8uFn* fn, Planes& p, ROI r, int32_t v) {
                                 test::Plane& d = p[(2 + v / kTypes) % 3];
                                 return fn(p[0].data(), p[0].step(), p[1].data(), p[1].step(), d.data(),
                                           d.step(), r, v % kTypes);
                               }));
  cases.push_back(MakePathCase("premultiply C4", kAlphaPremultiply8uC4, {c4}, 1,
                               [](AlphaPremultiply8uFn* fn, Planes& p, ROI r, int32_t) {
                                 return fn(p[0].data(), p[0].step(), r);
                               }));
  const std::tuple<int32_t, Table<AlphaComposeConst8uFn>, Table<AlphaPremultiplyConst8uFn>> constant[] = {
      {1, kAlphaComposeConst8uC1, kAlphaPremultiplyConst8uC1},
      {3, kAlphaComposeConst8uC3, kAlphaPremultiplyConst8uC3},
      {4, kAlphaComposeConst8uC4, kAlphaPremultiplyConst8uC4}};
  for (const auto& [c, compose, premultiply] : constant) {
    const PlaneSpec plane{c, 1, EdgeHeavyBytes};
    // Variants: type, alpha pair, then the destination as a third plane or source A.
    cases.push_back(MakePathCase(Named("compose const", c), compose, {plane, plane, plane},
                                 2 * kTypes * kPairs, [](AlphaComposeConst8uFn* fn, Planes& p, ROI r, int32_t v) {
                                   const uint8_t* alphas = kAlphas[v / kTypes % kPairs];
                                   test::Plane& d = p[v < kTypes * kPairs ? 2 : 0];
                                   return fn(p[0].data(), p[0].step(), alphas[0], p[1].data(), p[1].step(),
                                             alphas[1], d.data(), d.step(), r, v % kTypes);
                                 }));
    cases.push_back(MakePathCase(Named("premultiply const", c), premultiply, {plane}, kPairs,
                                 [](AlphaPremultiplyConst8uFn* fn, Planes& p, ROI r, int32_t v) {
                                   return fn(kAlphas[v][1], p[0].data(), p[0].step(), r);
                                 }));
  }
  // The alpha writers get a pointer to byte 3 of the first pixel.
  cases.push_back(MakePathCase("set alpha const", kSetAlphaConst8uC4, {c4}, kPairs,
                               [](SetAlphaConst8uFn* fn, Planes& p, ROI r, int32_t v) {
                                 return fn(kAlphas[v][0], p[0].data() + 3, p[0].step(), r);
                               }));
  cases.push_back(MakePathCase("copy to alpha", kCopyToAlpha8u, {{1}, c4}, 1,
                               [](CopyToAlpha8uFn* fn, Planes& p, ROI r, int32_t) {
                                 return fn(p[0].data(), p[0].step(), p[1].data() + 3, p[1].step(), r);
                               }));
  return cases;
}

// Fills with value patterns that differ per byte; masked copies with masks
// of random, all-zero and all-set runs; constant borders of every side from
// none to all but one pixel (the source is the first plane's top-left part).
std::vector<PathCase> CopyCases() {
  static const uint8_t kFill[][4] = {{0, 0, 0, 0}, {1, 2, 3, 4}, {255, 0, 128, 7}};
  const test::Filler mask = [](test::Plane& p, std::mt19937& rng) {
    for (int32_t y = 0; y < p.height(); ++y) {
      for (int32_t x = 0; x < p.rowBytes(); ++x) {
        const int32_t run = (x / 40 + y) % 3;
        const uint8_t random = rng() % 2 == 0 ? 0 : uint8_t(1 + rng() % 255);
        p.data()[size_t(y) * p.step() + x] = run == 0 ? random : uint8_t(run - 1);
      }
    }
  };
  // Variant v: left border none, half or all but one pixel (v / 2); the source
  // the rest of the row or one pixel (v % 2); top border 0 or 1 row, and a
  // bottom one where a source row is left.
  const auto border = [](ROI r, int32_t v, int32_t* top, int32_t* left) {
    *left = (r.width - 1) * (v / 2) / 2;
    *top = v % 3 == 0 ? 0 : 1;
    const int32_t bottom = r.height - *top > 1 ? v / 3 : 0;
    return ROI{v % 2 ? 1 : r.width - *left, r.height - *top - bottom};
  };
  std::vector<PathCase> cases;
  cases.push_back(MakePathCase("fill C3", kSetValue8uC3, {{3}}, 3,
                               [](SetValue8uC3Fn* fn, Planes& p, ROI r, int32_t v) {
                                 return fn(kFill[v], p[0].data(), p[0].step(), r);
                               }));
  cases.push_back(MakePathCase("fill C4", kSetValue8uC4, {{4}}, 3,
                               [](SetValue8uC4Fn* fn, Planes& p, ROI r, int32_t v) {
                                 return fn(kFill[v], p[0].data(), p[0].step(), r);
                               }));
  for (int32_t c : kChannelCounts) {
    cases.push_back(MakePathCase(Named("rect copy", c), c == 1 ? kCopyRect8uC1 : kCopyRect8uC3, {{c}, {c}}, 1,
                                 [](CopyRect8uFn* fn, Planes& p, ROI r, int32_t) {
                                   return fn(p[0].data(), p[0].step(), p[1].data(), p[1].step(), r);
                                 }));
    cases.push_back(MakePathCase(Named("masked copy", c), c == 1 ? kCopyMasked8uC1 : kCopyMasked8uC3,
                                 {{c}, {c}, {1, 1, mask}}, 1, [](CopyMasked8uFn* fn, Planes& p, ROI r, int32_t) {
                                   return fn(p[0].data(), p[0].step(), p[1].data(), p[1].step(), r, p[2].data(),
                                             p[2].step());
                                 }));
  }
  cases.push_back(MakePathCase("const border C3", kCopyConstBorder8uC3, {{3}, {3}}, 6,
                               [=](CopyConstBorder8uC3Fn* fn, Planes& p, ROI r, int32_t v) {
                                 int32_t top = 0, left = 0;
                                 const ROI src = border(r, v, &top, &left);
                                 return fn(p[0].data(), p[0].step(), src, p[1].data(), p[1].step(), r, top, left,
                                           kFill[v % 3]);
                               }));
  return cases;
}

// --- colour conversions and swaps ---

// Odd variants convert in place; the swaps run every order they accept.
std::vector<PathCase> ColourConversionCases() {
  std::vector<PathCase> cases;
  const std::pair<const char*, Table<ConvertColour8uFn>> conversions[] = {
      {"RGB to YUV", kConvertRGBToYUV8u}, {"YUV to RGB", kConvertYUVToRGB8u},
      {"RGB to XYZ", kConvertRGBToXYZ8u}, {"XYZ to RGB", kConvertXYZToRGB8u},
      {"RGB to YCC", kConvertRGBToYCC8u}, {"YCC to RGB", kConvertYCCToRGB8u}};
  for (const auto& [name, table] : conversions) {
    cases.push_back(MakePathCase(name, table, {{3}, {3}}, 2, [](ConvertColour8uFn* fn, Planes& p, ROI r, int32_t v) {
      return fn(p[0].data(), p[0].step(), p[v].data(), p[v].step(), r);
    }));
  }
  static const int32_t kOrders3[][3] = {{2, 1, 0}, {1, 2, 0}, {0, 0, 2}};
  static const int32_t kOrders4[][4] = {{2, 1, 0, 3}, {1, 1, 2, 3}, {3, 2, 1, 0}};
  cases.push_back(MakePathCase("swap C3", kSwapChannelsInPlace8uC3, {{3}}, 3,
                               [](SwapChannelsInPlace8uC3Fn* fn, Planes& p, ROI r, int32_t v) {
                                 return fn(p[0].data(), p[0].step(), r, kOrders3[v]);
                               }));
  cases.push_back(MakePathCase("swap C4", kSwapChannelsInPlace8uC4, {{4}}, 3,
                               [](SwapChannelsInPlace8uC4Fn* fn, Planes& p, ROI r, int32_t v) {
                                 return fn(p[0].data(), p[0].step(), r, kOrders4[v]);
                               }));
  cases.push_back(MakePathCase("permute C4", kPermuteChannels8uC4, {{4}, {4}}, 3,
                               [](PermuteChannels8uC4Fn* fn, Planes& p, ROI r, int32_t v) {
                                 return fn(p[0].data(), p[0].step(), p[1].data(), p[1].step(), r, kOrders4[v]);
                               }));
  return cases;
}

TEST(KernelPaths, ColourConversions) {
  for (const PathCase& c : ColourConversionCases()) test::ExpectEntriesMatchGeneric(c);
}

// --- gray, bits and dither ---

// The 1-bit source is a byte plane as wide as the region in pixels, more than
// its bits take at any offset 0..7; the bits past the region are random too.
std::vector<PathCase> GrayCases() {
  std::vector<PathCase> cases;
  cases.push_back(MakePathCase("rgb to gray", kConvertRGBToGray8u, {{3}, {1}}, 1,
                               [](ConvertRGBToGray8uFn* fn, Planes& p, ROI r, int32_t) {
                                 return fn(p[0].data(), p[0].step(), p[1].data(), p[1].step(), r);
                               }));
  cases.push_back(MakePathCase("expand bits", kExpandBitsToBytes1u8u, {{1}, {1}}, 8,
                               [](ExpandBitsToBytes1u8uFn* fn, Planes& p, ROI r, int32_t v) {
                                 return fn(p[0].data(), p[0].step(), v, p[1].data(), p[1].step(), r);
                               }));
  return cases;
}

TEST(KernelPaths, Gray) {
  for (const PathCase& c : GrayCases()) test::ExpectEntriesMatchGeneric(c);
}

// --- look-up tables, gamma and thresholds ---

// Curves of every mode through the look-up rows, the gamma rows, and every
// threshold form (clamps and values, one bound per byte position or the same
// for all) in place and from another plane; variant v runs in place when even.
std::vector<PathCase> LookupCases() {
  static const int32_t kLevels[][4] = {{0, 64, 192, 256}, {-5, 30, 31, 300}, {10, 85, 170, 240}};
  static const int32_t kValues[][4] = {{0, 40, 200, 255}, {255, 0, 90, 7}, {0, 255, 0, 255}};
  static const int32_t* const kLevelsC3[] = {kLevels[0], kLevels[1], kLevels[2]};
  static const int32_t* const kValuesC3[] = {kValues[0], kValues[1], kValues[2]};
  static const int32_t kCounts[] = {4, 4, 4};
  // {lower, lower value, upper, upper value} per byte position.
  static const uint8_t kBounds[][4][3] = {
      {{128, 128, 128}, {128, 128, 128}, {128, 128, 128}, {128, 128, 128}},
      {{10, 200, 77}, {10, 200, 77}, {10, 200, 77}, {10, 200, 77}},
      {{10, 200, 77}, {255, 0, 3}, {10, 200, 77}, {255, 0, 3}},
      {{0, 50, 100}, {7, 50, 1}, {0, 60, 255}, {9, 60, 2}},
      {{100, 100, 100}, {10, 10, 10}, {100, 100, 100}, {200, 200, 200}},
      {{0, 255, 128}, {5, 6, 7}, {255, 255, 128}, {1, 2, 3}}};
  constexpr int32_t kBoundSets = std::size(kBounds);
  const auto planes = [](Planes& p, int32_t v) { return std::pair{p[v % 2], &p[1]}; };
  std::vector<PathCase> cases;
  const KernelDispatchTable<Lookup8uC1Fn>* c1[] = {&kLookupTable8uC1, &kLookupTableLinear8uC1,
                                                   &kLookupTableCubic8uC1};
  const KernelDispatchTable<Lookup8uC3Fn>* c3[] = {&kLookupTable8uC3, &kLookupTableLinear8uC3,
                                                   &kLookupTableCubic8uC3};
  for (int32_t mode = 0; mode < 3; ++mode) {
    cases.push_back(MakePathCase(Named("lookup mode " + std::to_string(mode), 1), *c1[mode], {{1}, {1}}, 6,
                                 [=](Lookup8uC1Fn* fn, Planes& p, ROI r, int32_t v) {
                                   auto [src, dst] = planes(p, v);
                                   return fn(src.data(), src.step(), dst->data(), dst->step(), r,
                                             kValues[v / 2], kLevels[v / 2], 4);
                                 }));
    cases.push_back(MakePathCase(Named("lookup mode " + std::to_string(mode), 3), *c3[mode], {{3}, {3}}, 2,
                                 [=](Lookup8uC3Fn* fn, Planes& p, ROI r, int32_t v) {
                                   auto [src, dst] = planes(p, v);
                                   return fn(src.data(), src.step(), dst->data(), dst->step(), r, kValuesC3,
                                             kLevelsC3, kCounts);
                                 }));
  }
  for (const KernelDispatchTable<Gamma8uFn>* gamma : {&kGammaForward8u, &kGammaInverse8u}) {
    cases.push_back(MakePathCase("gamma", *gamma, {{3}}, 1, [](Gamma8uFn* fn, Planes& p, ROI r, int32_t) {
      return fn(p[0].data(), p[0].step(), r);
    }));
  }
  for (int32_t c : kChannelCounts) {
    // Variant: in place or not, greater or less, bounds set.
    const auto threshold = [c, planes](auto* fn, Planes& p, ROI r, int32_t v) {
      auto [src, dst] = planes(p, v);
      const auto& b = kBounds[v / 4 % kBoundSets];
      const auto comparison = static_cast<ThresholdComparison>(v / 2 % 2);
      if constexpr (std::is_same_v<decltype(fn), Threshold8uC1Fn*>) {
        return fn(src.data(), src.step(), dst->data(), dst->step(), r, b[2][0], b[3][0], comparison);
      } else {
        return fn(src.data(), src.step(), dst->data(), dst->step(), r, b[2], b[3], comparison);
      }
    };
    const auto twoSided = [planes](auto* fn, Planes& p, ROI r, int32_t v) {
      auto [src, dst] = planes(p, v);
      const auto& b = kBounds[v / 2];
      if constexpr (std::is_same_v<decltype(fn), ThresholdLTValGTVal8uC1Fn*>) {
        return fn(src.data(), src.step(), dst->data(), dst->step(), r, b[0][0], b[1][0], b[2][0], b[3][0]);
      } else {
        return fn(src.data(), src.step(), dst->data(), dst->step(), r, b[0], b[1], b[2], b[3]);
      }
    };
    if (c == 1) {
      cases.push_back(MakePathCase("threshold C1", kThreshold8uC1, {{1}, {1}}, 4 * kBoundSets, threshold));
      cases.push_back(MakePathCase("two-sided threshold C1", kThresholdLTValGTVal8uC1, {{1}, {1}},
                                   2 * kBoundSets, twoSided));
    } else {
      cases.push_back(MakePathCase("threshold C3", kThreshold8uC3, {{3}, {3}}, 4 * kBoundSets, threshold));
      cases.push_back(MakePathCase("two-sided threshold C3", kThresholdLTValGTVal8uC3, {{3}, {3}},
                                   2 * kBoundSets, twoSided));
    }
  }
  return cases;
}

TEST(KernelPaths, LookupAndThreshold) {
  for (const PathCase& c : LookupCases()) test::ExpectEntriesMatchGeneric(c);
}

TEST(KernelPaths, Arithmetic) {
  for (const PathCase& c : ArithmeticCases()) test::ExpectEntriesMatchGeneric(c);
}

TEST(KernelPaths, Logic) {
  for (const PathCase& c : LogicCases()) test::ExpectEntriesMatchGeneric(c);
}

TEST(KernelPaths, Channels) {
  for (const PathCase& c : ChannelCases()) test::ExpectEntriesMatchGeneric(c);
  // Again with every result written past the caches (widths of whole lines included).
  SetLargeResultBytesForTesting(1);
  for (const PathCase& c : ChannelCases()) test::ExpectEntriesMatchGeneric(c);
  SetLargeResultBytesForTesting(0);
}

TEST(KernelPaths, Copy) {
  for (const PathCase& c : CopyCases()) test::ExpectEntriesMatchGeneric(c);
}

TEST(KernelPaths, VectorMath) {
  for (const PathCase& c : VectorMathCases()) test::ExpectEntriesMatchGeneric(c);
}

TEST(KernelPaths, Alpha) {
  for (const PathCase& c : AlphaCases()) test::ExpectEntriesMatchGeneric(c);
}

// --- morphology and rank filters ---

struct TestMask {
  std::vector<uint8_t> cells;
  ROI size;
  Anchor anchor;
};

// Full squares, single rows and columns, a cross, an X (columns whose cells
// are not one run), sparse masks with the anchor off centre, and masks of more
// than five rows or columns (folded in steps).
std::vector<TestMask> TestMasks() {
  const std::vector<uint8_t> ones(81, 1);
  const auto first = [&](int32_t n) { return std::vector<uint8_t>(ones.begin(), ones.begin() + n); };
  return {{first(9), {3, 3}, {1, 1}},
          {first(25), {5, 5}, {2, 2}},
          {first(3), {1, 3}, {0, 1}},
          {first(3), {3, 1}, {1, 0}},
          {{0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 1, 1, 1, 1, 1, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0}, {5, 5}, {2, 2}},
          {{1, 0, 1, 0, 1, 0, 1, 0, 1}, {3, 3}, {2, 1}},
          {{0, 7, 0, 0, 200, 0, 0, 0, 1, 0, 9, 9, 0, 0}, {7, 2}, {6, 0}},
          {{1, 0, 1, 1, 1, 0, 1, 1, 1}, {9, 1}, {4, 0}},
          {first(9), {1, 9}, {0, 8}},
          {ones, {9, 9}, {4, 4}}};
}

// The in-place kernels get a plane with the neighbours around the region.
std::vector<PathCase> MorphologyCases() {
  const std::vector<TestMask> masks = TestMasks();
  const std::vector<std::pair<ROI, Anchor>> windows = {
      {{1, 1}, {0, 0}}, {{3, 3}, {1, 1}}, {{5, 5}, {2, 2}}, {{2, 7}, {0, 6}}, {{7, 3}, {3, 1}}};
  const auto nm = static_cast<int32_t>(masks.size()), nw = static_cast<int32_t>(windows.size());
  std::vector<PathCase> cases;
  for (int32_t ch : kChannelCounts) {
    PlaneSpec square{ch}, wide{ch}, dest{ch};
    square.extraWidth = square.extraHeight = 2;
    wide.extraWidth = wide.extraHeight = 8;  // the widest test mask less one
    const auto at = [ch](test::Plane& p, Anchor a) { return p.data() + a.row * p.step() + a.column * ch; };
    const auto fixed = [at](Morphology3x3Fn* fn, Planes& p, ROI r, int32_t) {
      return fn(at(p[0], {1, 1}), p[0].step(), r);
    };
    const auto mask = [at, masks](MorphologyMaskFn* fn, Planes& p, ROI r, int32_t v) {
      const TestMask& m = masks[v];
      return fn(at(p[0], m.anchor), p[0].step(), r, m.cells.data(), m.size, m.anchor);
    };
    const auto rank = [at, windows](WindowFilterFn* fn, Planes& p, ROI r, int32_t v) {
      const auto [window, anchor] = windows[v];
      return fn(at(p[0], anchor), p[0].step(), p[1].data(), p[1].step(), r, window, anchor);
    };
    const bool one = ch == 1;
    const std::string form = one ? " C1" : " C3";
    cases.push_back(MakePathCase("erode 3x3" + form, one ? kErode3x3InPlace8uC1 : kErode3x3InPlace8uC3,
                                 {square}, 1, fixed));
    cases.push_back(MakePathCase("dilate 3x3" + form, one ? kDilate3x3InPlace8uC1 : kDilate3x3InPlace8uC3,
                                 {square}, 1, fixed));
    cases.push_back(MakePathCase("erode mask" + form, one ? kErodeMaskInPlace8uC1 : kErodeMaskInPlace8uC3,
                                 {wide}, nm, mask));
    cases.push_back(MakePathCase("dilate mask" + form, one ? kDilateMaskInPlace8uC1 : kDilateMaskInPlace8uC3,
                                 {wide}, nm, mask));
    cases.push_back(MakePathCase("rank min" + form, one ? kRankMin8uC1 : kRankMin8uC3, {wide, dest}, nw, rank));
    cases.push_back(MakePathCase("rank max" + form, one ? kRankMax8uC1 : kRankMax8uC3, {wide, dest}, nw, rank));
  }
  for (PathCase& c : cases) c.layouts = test::NeighbourhoodLayouts();
  return cases;
}

TEST(KernelPaths, MorphologyAndRank) {
  for (const PathCase& c : MorphologyCases()) test::ExpectEntriesMatchGeneric(c);
}

// In order: each row fails the check it is named for and every later one.
TEST(KernelPaths, MorphologyAndRankStatuses) {
  using test::Refusal;
  uint8_t image[64] = {};
  const uint8_t ones[9] = {1, 1, 1, 1, 1, 1, 1, 1, 1}, none[9] = {};
  const ROI r{4, 2}, no{0, 0}, square{3, 3};
  const Anchor centre{1, 1}, out{-1, 0};
  const std::vector<uint8_t> column(1 << 16, 1);  // 1 x 65536: the ring of rows cannot be had
  test::ExpectStatusesOnEveryEntry({
      Refusal("3x3 null image", kStsNullPtrErr, kErode3x3InPlace8uC1, nullptr, 0, no),
      Refusal("3x3 step", kStsStepErr, kDilate3x3InPlace8uC3, image + 4, 0, no),
      Refusal("3x3 stride", kStsStrideErr, kDilate3x3InPlace8uC1, image + 8, 5, r),
      Refusal("3x3 C3 stride", kStsStrideErr, kErode3x3InPlace8uC3, image + 20, 17, r),
      Refusal("null image", kStsNullPtrErr, kErodeMaskInPlace8uC1, nullptr, 0, r, ones, no, out),
      Refusal("null mask", kStsNullPtrErr, kDilateMaskInPlace8uC3, image, 0, r, nullptr, no, out),
      Refusal("mask region", kStsSizeErr, kDilateMaskInPlace8uC1, image, 1, ROI{1, 0}, none, no, out),
      Refusal("mask size", kStsMaskSizeErr, kErodeMaskInPlace8uC1, image, 1, r, none, ROI{3, 0}, out),
      Refusal("zero mask", kStsZeroMaskValuesErr, kDilateMaskInPlace8uC1, image, 1, r, none, square, out),
      Refusal("anchor column", kStsAnchorErr, kErodeMaskInPlace8uC3, image, 1, r, ones, square, Anchor{3, 0}),
      Refusal("mask stride", kStsStrideErr, kDilateMaskInPlace8uC3, image, 17, r, ones, square, centre),
      Refusal("mask ring", kStsMemAllocErr, kErodeMaskInPlace8uC3, image, 3 << 25, ROI{1 << 25, 1 << 15},
              column.data(), ROI{1, 1 << 16}, Anchor{0, 1 << 15}),
      Refusal("rank null dest", kStsNullPtrErr, kRankMin8uC1, image, 0, nullptr, 0, no, no, out),
      Refusal("rank window", kStsMaskSizeErr, kRankMax8uC1, image, 1, image, 1, r, ROI{1, 0}, out),
      Refusal("rank anchor", kStsAnchorErr, kRankMin8uC1, image, 1, image, 1, r, square, Anchor{1, 3}),
      Refusal("rank source stride", kStsStrideErr, kRankMax8uC1, image, 5, image, 4, r, square, centre),
      Refusal("rank dest stride", kStsStrideErr, kRankMin8uC3, image, 18, image, 11, r, square, centre),
  });
}

// --- linear filters ---

// Half the samples 255: windows of bright areas reach the largest sums.
void BrightOrRandom(test::Plane& p, std::mt19937& rng) {
  for (int32_t y = 0; y < p.height(); ++y) {
    for (int32_t x = 0; x < p.rowBytes(); ++x) p.data()[size_t(y) * p.step() + x] = rng() & 1 ? 255 : uint8_t(rng());
  }
}

std::vector<PathCase> LinearFilterCases() {
  const struct {
    const char* name;
    Table<FixedFilterFn> one;
    Table<FixedFilterFn> three;
  } fixed[] = {{"sharpen", kSharpen8uC1, kSharpen8uC3},
               {"prewitt dy", kPrewittDy8uC1, kPrewittDy8uC3},
               {"prewitt dx", kPrewittDx8uC1, kPrewittDx8uC3},
               {"sobel dy", kSobelDy8uC1, kSobelDy8uC3},
               {"sobel dx", kSobelDx8uC1, kSobelDx8uC3},
               {"diagonal up-left", kDiagonalDifferenceUpLeft8uC1, kDiagonalDifferenceUpLeft8uC3},
               {"diagonal up-right", kDiagonalDifferenceUpRight8uC1, kDiagonalDifferenceUpRight8uC3}};
  const struct {
    const char* name;
    Table<MaskCodeFilterFn> one;
    Table<MaskCodeFilterFn> three;
  } sized[] = {{"laplace", kLaplace8uC1, kLaplace8uC3},
               {"gauss", kGauss8uC1, kGauss8uC3},
               {"low pass", kLowPass8uC1, kLowPass8uC3},
               {"high pass", kHighPass8uC1, kHighPass8uC3}};
  // Box windows: the two of the filter table and one off-centre window.
  static constexpr ROI kWindows[] = {{3, 3}, {5, 5}, {3, 5}};
  static constexpr Anchor kAnchors[] = {{1, 1}, {2, 2}, {0, 4}};
  std::vector<PathCase> cases;
  for (int32_t c : kChannelCounts) {
    const std::vector<PlaneSpec> planes = {{c, 1, BrightOrRandom, 0, false, 4, 4}, {c}};
    // The region inside the source, `left` pixels and `top` rows in.
    const auto inner = [c](test::Plane& p, int32_t left, int32_t top) {
      return p.data() + static_cast<std::ptrdiff_t>(top) * p.step() + left * c;
    };
    for (const auto& f : fixed) {
      cases.push_back(MakePathCase(Named(f.name, c), c == 1 ? f.one : f.three, planes, 1,
                                   [inner](FixedFilterFn* fn, Planes& p, ROI roi, int32_t) {
                                     return fn(inner(p[0], 2, 2), p[0].step(), p[1].data(), p[1].step(), roi);
                                   }));
    }
    for (const auto& f : sized) {
      cases.push_back(MakePathCase(Named(f.name, c), c == 1 ? f.one : f.three, planes, 2,
                                   [inner](MaskCodeFilterFn* fn, Planes& p, ROI roi, int32_t v) {
                                     return fn(inner(p[0], 2, 2), p[0].step(), p[1].data(), p[1].step(), roi,
                                               v == 0 ? kMask3x3 : kMask5x5);
                                   }));
    }
    cases.push_back(MakePathCase(Named("box mean", c), c == 1 ? kBoxMean8uC1 : kBoxMean8uC3, planes, 3,
                                 [inner](WindowFilterFn* fn, Planes& p, ROI roi, int32_t v) {
                                   const Anchor a = kAnchors[v];
                                   return fn(inner(p[0], a.column, a.row), p[0].step(), p[1].data(),
                                             p[1].step(), roi, kWindows[v], a);
                                 }));
  }
  for (PathCase& c : cases) c.layouts = test::NeighbourhoodLayouts();
  return cases;
}

TEST(KernelPaths, LinearFilters) {
  for (const PathCase& c : LinearFilterCases()) test::ExpectEntriesMatchGeneric(c);
}

TEST(KernelPaths, LinearFilterStatuses) {
  uint8_t src[64] = {}, dst[64] = {};
  using test::Refusal;
  test::ExpectStatusesOnEveryEntry({
      Refusal("null source", kStsNullPtrErr, kSobelDx8uC1, nullptr, 8, dst, 8, ROI{1, 1}),
      Refusal("empty region", kStsSizeErr, kSharpen8uC3, src, 8, dst, 8, ROI{0, 1}),
      Refusal("step", kStsStepErr, kPrewittDy8uC1, src, 8, dst, 0, ROI{1, 1}),
      Refusal("region before step", kStsSizeErr, kGauss8uC1, src, 0, dst, 8, ROI{1, 0}, kMask5x5),
      Refusal("laplace 1x3", kStsMaskSizeErr, kLaplace8uC1, src, 8, dst, 8, ROI{1, 1}, kMask1x3),
      Refusal("gauss 3x1", kStsMaskSizeErr, kGauss8uC3, src, 8, dst, 8, ROI{1, 1}, kMask3x1),
      Refusal("low pass 5x1", kStsMaskSizeErr, kLowPass8uC1, src, 8, dst, 8, ROI{1, 1}, kMask5x1),
      Refusal("high pass 1x5", kStsMaskSizeErr, kHighPass8uC3, src, 8, dst, 8, ROI{1, 1}, kMask1x5),
      Refusal("null before mask", kStsNullPtrErr, kLaplace8uC1, src, 8, nullptr, 8, ROI{1, 1}, kMask1x3),
      Refusal("empty window", kStsMaskSizeErr, kBoxMean8uC1, src, 8, dst, 8, ROI{1, 1}, ROI{0, 3}, Anchor{0, 0}),
      Refusal("anchor", kStsAnchorErr, kBoxMean8uC3, src, 8, dst, 8, ROI{1, 1}, ROI{3, 3}, Anchor{3, 1}),
      Refusal("negative anchor", kStsAnchorErr, kBoxMean8uC1, src, 8, dst, 8, ROI{1, 1}, ROI{3, 3}, Anchor{1, -1}),
      Refusal("window before anchor", kStsMaskSizeErr, kBoxMean8uC1, src, 8, dst, 8, ROI{1, 1}, ROI{3, -1},
              Anchor{5, 5}),
  });
}

// --- medians ---
// Sources reach 4 pixels past the region at every side, so every anchor fits;
// 4 levels make ties common.
std::vector<PathCase> MedianCases() {
  std::vector<PathCase> cases;
  const auto source = [](int32_t c, int32_t levels) {
    return PlaneSpec{c, 1, test::RandomBytes(levels - 1), 0, false, 8, 8};
  };
  const auto inside = [](test::Plane& plane, int32_t c) { return plane.data() + 4 * plane.step() + 4 * c; };
  for (int32_t c : kChannelCounts) {
    for (int32_t levels : {256, 4}) {
      const std::string tag = Named(" levels " + std::to_string(levels), c);
      // Variants: 3x3 and 5x5, each centred, at its first cell and at its last.
      const auto window = [c, inside](WindowFilterFn* fn, Planes& p, ROI roi, int32_t v) {
        const int32_t side = v < 3 ? 3 : 5;
        const int32_t at[] = {side / 2, 0, side - 1};
        return fn(inside(p[0], c), p[0].step(), p[1].data(), p[1].step(), roi, {side, side},
                  {at[v % 3], at[(v + 1) % 3]});
      };
      cases.push_back(MakePathCase("median" + tag, c == 1 ? kMedian8uC1 : kMedian8uC3,
                                   {source(c, levels), PlaneSpec{c}}, 6, window));
      cases.back().layouts = test::NeighbourhoodLayouts();
      const std::tuple<const char*, Table<MaskCodeFilterFn>, MaskSizeCode, MaskSizeCode> lines[] = {
          {"median row", c == 1 ? kMedianRow8uC1 : kMedianRow8uC3, kMask3x1, kMask5x1},
          {"median column", c == 1 ? kMedianColumn8uC1 : kMedianColumn8uC3, kMask1x3, kMask1x5}};
      for (const auto& [name, table, three, five] : lines) {
        const auto line = [c, inside, three, five](MaskCodeFilterFn* fn, Planes& p, ROI roi, int32_t v) {
          return fn(inside(p[0], c), p[0].step(), p[1].data(), p[1].step(), roi, v == 0 ? three : five);
        };
        cases.push_back(MakePathCase(name + tag, table, {source(c, levels), PlaneSpec{c}}, 2, line));
        cases.back().layouts = test::NeighbourhoodLayouts();
      }
    }
  }
  return cases;
}

TEST(KernelPaths, Medians) {
  for (const PathCase& c : MedianCases()) test::ExpectEntriesMatchGeneric(c);
}


// --- convolution ---

// Each kernel size in both forms; a variant is a divisor and a kind of
// coefficients: small ones whose magnitudes sum to exactly 128 where they
// can (the widest signed 16-bit sums), bytes whose magnitudes pass 128,
// 16-bit ones, wide ones whose sums wrap, and positive ones that sum to 257
// where they can (the widest unsigned 16-bit sums).
// The anchor moves with the variant; the source plane reaches the window's
// extent past the region on every side.
std::vector<PathCase> ConvolutionCases() {
  static constexpr int32_t kDivisors[] = {1, 2, 16, 20, -3, 7, 0, 1 << 16, 10000};
  static constexpr int32_t kKinds = 5;
  static constexpr ROI kSizes[] = {{1, 1}, {3, 3}, {5, 5}, {7, 7}, {1, 7}, {7, 1}, {2, 3}, {4, 6}};
  std::vector<PathCase> cases;
  for (const ROI size : kSizes) {
    const int32_t cells = size.width * size.height;
    // kernels[kind]
    auto kernels = std::make_shared<std::vector<std::vector<int32_t>>>();
    std::mt19937 rng(static_cast<uint32_t>(cells * 31 + size.width));
    const int32_t spans[kKinds] = {2, 127, 3000, 1 << 24, 5};
    for (int32_t kind = 0; kind < kKinds; ++kind) {
      std::uniform_int_distribution<int32_t> coefficient(-spans[kind], spans[kind]);
      std::vector<int32_t> k(static_cast<size_t>(cells));
      for (int32_t& v : k) v = kind == 4 ? std::abs(coefficient(rng)) + 1 : coefficient(rng);
      int32_t rest = 0;
      for (int32_t i = 1; i < cells; ++i) rest += std::abs(k[i]);
      if (kind == 0 && 128 - rest <= 127) k[0] = (cells % 2 ? -1 : 1) * (128 - rest);
      if (kind == 4 && rest < 257 && 257 - rest <= 128 - (cells > 1 ? k[1] : 0)) k[0] = 257 - rest;
      kernels->push_back(std::move(k));
    }
    for (int32_t c : kChannelCounts) {
      const PlaneSpec source{.bytesPerPixel = c, .extraWidth = size.width - 1, .extraHeight = size.height - 1};
      PathCase row = MakePathCase(
          Named("convolve " + std::to_string(size.width) + "x" + std::to_string(size.height), c),
          c == 1 ? kConvolve8uC1 : kConvolve8uC3, {source, {.bytesPerPixel = c}},
          static_cast<int32_t>(std::size(kDivisors)) * kKinds,
          [=](Convolve8uFn* fn, Planes& p, ROI r, int32_t variant) {
            const Anchor anchor{(variant * 3) % size.width, (variant * 5) % size.height};
            const int32_t left = size.width - 1 - anchor.column, top = size.height - 1 - anchor.row;
            return fn(p[0].data() + top * p[0].step() + left * c, p[0].step(), p[1].data(), p[1].step(), r,
                      (*kernels)[variant % kKinds].data(), size, anchor, kDivisors[variant / kKinds]);
          });
      row.layouts = test::NeighbourhoodLayouts();
      cases.push_back(std::move(row));
    }
  }
  return cases;
}

TEST(KernelPaths, Convolution) {
  for (const PathCase& c : ConvolutionCases()) test::ExpectEntriesMatchGeneric(c);
}

// --- resize ---

// The whole kernel on each entry that has passes of its own: the region is the
// destination, the source a wide plane of which each variant reads as much as
// its factors need (a rectangle clipped to the plane when the region is long).
std::vector<PathCase> ResizeCases() {
  static constexpr uint32_t kCodes[] = {kInterNearest, kInterLinear, kInterCubic, kInterSupersample};
  static constexpr double kFactors[][2] = {{2, 2}, {0.5, 0.5}, {1.5, 0.75}, {0.7, 1.3}, {3.3, 0.4}, {1.0 / 3, 0.3}, {0.5, 0.25}, {1.0 / 3, 0.5}};
  constexpr int32_t kSourceWidth = 300, kSourceExtra = 40;
  std::vector<int32_t> entries;
  for (const auto& list : {test::DistinctEntries(kResizeNearestRow), test::DistinctEntries(kResizeAreaBlockRow),
                           test::DistinctEntries(kResizeAreaWeightedRow),
                           test::DistinctEntries(kResizeLinearRow), test::DistinctEntries(kResizeLinearColumn),
                           test::DistinctEntries(kResizeLinearPair), test::DistinctEntries(kResizeLinearWindows),
                           test::DistinctEntries(kResizeCubicRow), test::DistinctEntries(kResizeCubicColumn)}) {
    for (int32_t e : list) {
      if (std::find(entries.begin(), entries.end(), e) == entries.end()) entries.push_back(e);
    }
  }
  std::sort(entries.begin(), entries.end());
  std::vector<PathCase> cases;
  for (int32_t c : kChannelCounts) {
    PathCase row{Named("resize", c),
                 {{.bytesPerPixel = c, .fixedWidth = kSourceWidth, .extraHeight = kSourceExtra}, {.bytesPerPixel = c}},
                 static_cast<int32_t>(std::size(kCodes) * std::size(kFactors)),
                 [c](int32_t entry, Planes& p, ROI r, int32_t variant) {
                   const double* f = kFactors[variant / std::size(kCodes)];
                   const auto extent = [](int32_t size, double factor, int32_t limit) {
                     return std::clamp(static_cast<int32_t>(std::ceil(size / factor)), 1, limit);
                   };
                   const Rect rect{variant % 3, variant % 2, extent(r.width, f[0], kSourceWidth - 2),
                                   extent(r.height, f[1], p[0].height() - 1)};
                   SetKernelEntryForTesting(entry);
                   const KernelStatus status =
                       (c == 1 ? Resize8uC1 : Resize8uC3)(p[0].data(), {kSourceWidth, p[0].height()}, p[0].step(), rect,
                                                          p[1].data(), p[1].step(), r, f[0], f[1],
                                                          kCodes[variant % std::size(kCodes)]);
                   ReleaseKernelEntryForTesting();
                   return status;
                 },
                 entries, test::NeighbourhoodLayouts()};
    cases.push_back(std::move(row));
  }
  return cases;
}

TEST(KernelPaths, Resize) {
  for (const PathCase& c : ResizeCases()) test::ExpectEntriesMatchGeneric(c);
}

// --- mirror ---

// In place, both axes (variant = axis), and one row and one column high or
// wide, where only one axis mirrors.
std::vector<PathCase> MirrorCases() {
  std::vector<PathCase> cases;
  for (int32_t c : kChannelCounts) {
    PathCase row = MakePathCase(Named("mirror", c), c == 1 ? kMirrorInPlace8uC1 : kMirrorInPlace8uC3,
                                {{c}}, 2, [](MirrorInPlace8uFn* fn, Planes& p, ROI r, int32_t axis) {
                                  return fn(p[0].data(), p[0].step(), r, axis);
                                });
    for (int32_t w : {1, 2, 3, 97, 129, 1001}) row.layouts.push_back({w, 1, 3, 1});
    cases.push_back(std::move(row));
  }
  return cases;
}

TEST(KernelPaths, Mirror) {
  for (const PathCase& c : MirrorCases()) test::ExpectEntriesMatchGeneric(c);
}

// --- warps ---

// The span entries on a source three pixels wider and higher than the span's
// rows (cubic taps need 4 x 4), sampled through rotations, shears and
// perspective maps, some reaching far outside the source (the positions are
// then held at its edges), with and without a one-pixel border left out of
// the sampled rectangle.
std::vector<PathCase> WarpSpanCases() {
  const std::array<WarpInverse, 5> inverses = {{
      {{0.866, 0.5, -3.1, -0.5, 0.866, 4.7, 0, 0, 1}, false},
      {{1.0, 0.3, -0.25, -0.2, 1.0, 0.5, 0, 0, 1}, false},
      {{0.9, 0.1, 0.3, 0.05, 1.1, -0.2, 0.002, 0.004, 1.0}, true},
      {{3.0, -2.0, -10.0, 1.5, 2.5, -7.0, 0, 0, 1}, false},
      {{0.0, 1.0, 0.5, -1.0, 0.0, 40.5, 0.0, 0.01, 1.0}, true},
  }};
  const KernelDispatchTable<WarpSpanFn>* tables[] = {&kWarpNearest8uC1, &kWarpNearest8uC3,
                                                     &kWarpLinear8uC1,  &kWarpLinear8uC3,
                                                     &kWarpCubic8uC1,   &kWarpCubic8uC3};
  const char* names[] = {"WarpNearest8u", "WarpLinear8u", "WarpCubic8u"};
  std::vector<PathCase> cases;
  for (size_t t = 0; t < std::size(tables); ++t) {
    const int32_t c = kChannelCounts[t % 2];
    PlaneSpec source{.bytesPerPixel = c, .extraWidth = 3, .extraHeight = 3};
    cases.push_back(MakePathCase(
        Named(names[t / 2], c), *tables[t], {source, {.bytesPerPixel = c}}, 2 * int32_t(inverses.size()),
        [inverses](WarpSpanFn* fn, Planes& p, ROI roi, int32_t variant) {
          const int32_t border = variant % 2;
          const WarpSource src{p[0].data(), p[0].step(), p[0].rowBytes(), border, border,
                               roi.width + 2, roi.height + 2};
          for (int32_t y = 0; y < roi.height; ++y)
            fn(src, inverses[variant / 2], y, 0, roi.width, p[1].data() + std::ptrdiff_t{y} * p[1].step());
          return kStsNoErr;
        }));
  }
  return cases;
}

TEST(KernelPaths, Warps) {
  for (const PathCase& c : WarpSpanCases()) test::ExpectEntriesMatchGeneric(c);
}

}  // namespace
}  // namespace klem::kernels
