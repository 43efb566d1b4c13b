// The exported alpha operations: their checks in order, the formats each
// accepts, results of every composition type, and in-place overlays.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "frame/library_texts.h"
#include "handle_test_support.h"
#include "kernel_test_support.h"
#include "kernels/alpha.h"

namespace klem::test {
namespace {


// One operation on d with sources a and b where it takes them.
using AlphaOp = uint32_t (*)(KLEM_HANDLE d, KLEM_HANDLE a, KLEM_HANDLE b);
#define OP(...) [](KLEM_HANDLE d, [[maybe_unused]] KLEM_HANDLE a, [[maybe_unused]] KLEM_HANDLE b) \
    -> uint32_t { return __VA_ARGS__; }


// The sources are checked A before B, each size before format (alpha image:
// size before bit depth), leaving the image as it was. Formats, null and
// empty images: bad_input_sweep_test.
TEST(AlphaOps, ChecksComeInTheirOrder) {
  const AlphaOp overlays[] = {OP(KLEM_AlphaOverlay(d, a, b, 0)), OP(KLEM_AlphaOverlayWithConstant(d, a, 9, b, 200, 0))};
  HostImage d(5, 3, 32, Pattern(60, 1)), same(5, 3, 32), wide(6, 3, 32), other(5, 3, 24), wideAlpha(6, 3, 24),
      alpha24(5, 3, 24);
  const auto expect = [&](AlphaOp op, KLEM_HANDLE a, KLEM_HANDLE b, const char* text) {
    EXPECT_EQ(op(d.h(), a, b), KLEM_FAILED) << text;
    EXPECT_EQ(d.Error(), text);
    EXPECT_EQ(d.Bytes(), Pattern(60, 1)) << text;
  };
  for (AlphaOp op : overlays) {
    expect(op, wide.h(), other.h(), kDifferentSize);
    expect(op, other.h(), wide.h(), kDifferentFormat);
    expect(op, same.h(), wide.h(), kDifferentSize);
    expect(op, same.h(), other.h(), kDifferentFormat);
  }
  expect(OP(KLEM_ApplyAlphaChannel(d, a)), wideAlpha.h(), nullptr, kDifferentSize);
  expect(OP(KLEM_ApplyAlphaChannel(d, a)), alpha24.h(), nullptr, kNot8BitSource);
}

// A composition type outside 0..11 fails in the kernel, before any write.
TEST(AlphaOps, TypesOutsideTheTableFail) {
  for (int32_t type : {12, -1}) {
    HostImage d(3, 2, 32, Pattern(24, 1)), g(3, 2, 8, Pattern(6, 2));
    const std::vector<uint8_t> before = d.Bytes(), gray = g.Bytes();
    EXPECT_EQ(KLEM_AlphaOverlay(d.h(), d.h(), d.h(), type), KLEM_FAILED);
    EXPECT_EQ(KLEM_AlphaOverlayWithConstant(g.h(), g.h(), 1, g.h(), 2, type), KLEM_FAILED);
    EXPECT_EQ(d.Error(), ComposeKernelErrorText("Can't overlay with alphaplanes!", -50));
    EXPECT_EQ(g.Error(), ComposeKernelErrorText("Can't overlay with constant alpha!", -50));
    EXPECT_TRUE(d.Bytes() == before && g.Bytes() == gray);
  }
}

// The kernels' own checks: null pointers, then the region, then the type.
TEST(AlphaKernels, StatusesComeInTheirOrderBeforeAnyWrite) {
  using namespace kernels;
  uint8_t p[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  test::ExpectStatusesOnEveryEntry({
      test::Refusal("null before size", -8, kAlphaPremultiply8uC4, nullptr, 8, ROI{0, 1}),
      test::Refusal("width 0", -6, kAlphaPremultiplyConst8uC3, 9, p, 8, ROI{0, 1}),
      test::Refusal("height 0", -6, kSetAlphaConst8uC4, 9, p + 3, 8, ROI{2, 0}),
      test::Refusal("null source", -8, kCopyToAlpha8u, nullptr, 2, p + 3, 8, ROI{2, 1}),
      test::Refusal("null before type", -8, kAlphaCompose8uC4, p, 8, nullptr, 8, p, 8, ROI{2, 1}, 12),
      test::Refusal("size before type", -6, kAlphaComposeConst8uC1, p, 8, 1, p, 8, 2, p, 8, ROI{2, -1}, -1),
      test::Refusal("type 12", -50, kAlphaCompose8uC4, p, 8, p, 8, p, 8, ROI{2, 1}, 12),
      test::Refusal("type -1", -50, kAlphaComposeConst8uC4, p, 8, 1, p, 8, 2, p, 8, ROI{2, 1}, -1),
  });
  EXPECT_EQ(std::vector<uint8_t>(p, p + 8), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8}));
}

const std::vector<uint8_t> kA = {200, 30, 255, 128}, kB = {100, 250, 0, 200};

TEST(AlphaOps, EveryCompositionType) {
  // Pixel A over pixel B and the same bytes as four gray pixels with the
  // constant alphas 100 and 50 (0x164 and 0x32: low bytes count).
  const std::vector<uint8_t> perPixel[12] = {
      {138, 112, 128, 227}, {78, 11, 100, 100},  {21, 3, 27, 27},      {116, 108, 100, 200},
      {59, 100, 27, 126},   {178, 211, 128, 255}, {249, 154, 255, 227}, {156, 23, 200, 100},
      {43, 6, 55, 27},      {205, 147, 200, 200}, {92, 130, 55, 126},   {255, 255, 255, 255}};
  const std::vector<uint8_t> constant[12] = {
      {89, 40, 100, 73},     {15, 2, 19, 9},     {62, 8, 80, 40},       {26, 31, 19, 32},
      {73, 37, 80, 63},      {97, 60, 100, 89},  {255, 181, 255, 249},  {39, 5, 50, 25},
      {160, 24, 205, 102},   {99, 156, 50, 146}, {220, 175, 205, 223},  {255, 255, 255, 255}};
  for (int32_t type = 0; type < 12; ++type) {
    HostImage d(1, 1, 32), a(1, 1, 32, kA), b(1, 1, 32, kB);
    EXPECT_EQ(KLEM_AlphaOverlay(d.h(), a.h(), b.h(), type), KLEM_OK) << type;
    EXPECT_EQ(d.Bytes(), perPixel[type]) << type;
    HostImage gd(4, 1, 8), ga(4, 1, 8, kA), gb(4, 1, 8, kB);
    EXPECT_EQ(KLEM_AlphaOverlayWithConstant(gd.h(), ga.h(), 0x164, gb.h(), 0x32, type), KLEM_OK);
    EXPECT_EQ(gd.Bytes(), constant[type]) << type;
    // On 32 bits the colour bytes alike, the destination's alpha left alone.
    HostImage cd(1, 1, 32, {1, 2, 3, 77});
    EXPECT_EQ(KLEM_AlphaOverlayWithConstant(cd.h(), a.h(), 100, b.h(), 50, type), KLEM_OK);
    std::vector<uint8_t> expected = constant[type];
    expected[3] = 77;
    EXPECT_EQ(cd.Bytes(), expected) << type;
  }
}

struct Result {
  const char* name;
  uint32_t format;
  std::vector<uint8_t> dest, a, b;
  AlphaOp op;
  std::vector<uint8_t> expected;
};

const std::vector<uint8_t> kOpaqueRed = {255, 0, 0, 255}, kHalfBlue = {0, 10, 200, 128};

const Result kResults[] = {
    {"premultiply", 32, {200, 100, 50, 128, 9, 9, 9, 0}, {}, {}, OP(KLEM_AlphaPremultiply(d)),
     {100, 50, 25, 128, 0, 0, 0, 0}},
    {"constant 255", 32, {200, 100, 50, 128}, {}, {}, OP(KLEM_AlphaPremultiplyWithConstant(d, 255)),
     {200, 100, 50, 255}},
    {"constant 0", 32, {200, 100, 50, 128}, {}, {}, OP(KLEM_AlphaPremultiplyWithConstant(d, 0)),
     {0, 0, 0, 0}},
    {"constant low byte", 24, {200, 100, 50}, {}, {}, OP(KLEM_AlphaPremultiplyWithConstant(d, 0x180)),
     {100, 50, 25}},
    {"opaque A over B", 32, {}, kOpaqueRed, kHalfBlue, OP(KLEM_AlphaOverlay(d, a, b, 0)), kOpaqueRed},
    {"transparent A over B", 32, {}, {9, 9, 9, 0}, kHalfBlue, OP(KLEM_AlphaOverlay(d, a, b, 0)),
     {0, 5, 100, 128}},
    {"white plus white", 32, {}, {255, 255, 255, 255}, {255, 255, 255, 255},
     OP(KLEM_AlphaOverlay(d, a, b, 5)), {255, 255, 255, 255}},
    {"alpha constant", 32, {1, 2, 3, 4, 5, 6, 7, 8}, {}, {}, OP(KLEM_ApplyAlphaChannelConstant(d, 0x1C8)),
     {1, 2, 3, 200, 5, 6, 7, 200}},
    {"alpha image", 32, {1, 2, 3, 4, 5, 6, 7, 8}, {250, 0}, {}, OP(KLEM_ApplyAlphaChannel(d, a)),
     {1, 2, 3, 250, 5, 6, 7, 0}},
};

TEST(AlphaOps, Results) {
  for (const Result& r : kResults) {
    const int32_t width = int32_t(std::max(r.dest.size(), r.a.size())) / int32_t(r.format / 8);
    HostImage d(width, 1, r.format, r.dest);
    HostImage a(width, 1, r.b.empty() ? 8 : r.format, r.a), b(width, 1, r.format, r.b);
    EXPECT_EQ(r.op(d.h(), a.h(), b.h()), KLEM_OK) << r.name;
    EXPECT_EQ(d.Error(), "") << r.name;
    EXPECT_EQ(d.Bytes(), r.expected) << r.name;
  }
}

// The destination as source A or B gives what it gets from separate images,
// on rows long enough for every vector width.
TEST(AlphaOps, InPlaceOverlays) {
  constexpr int32_t kWidth = 37, kHeight = 3;
  for (bool constant : {false, true}) {
    for (uint32_t format : {8u, 24u, 32u}) {
      if (!constant && format != 32) continue;
      for (int32_t type = 0; type < 12; ++type) {
        const uint32_t size = kWidth * kHeight * format / 8;
        const std::vector<uint8_t> first = Pattern(size, 10 + type), second = Pattern(size, 40 + type);
        HostImage a(kWidth, kHeight, format, first), b(kWidth, kHeight, format, second);
        HostImage intoA(kWidth, kHeight, format, first), intoB(kWidth, kHeight, format, second);
        HostImage asA(kWidth, kHeight, format, first), asB(kWidth, kHeight, format, second);
        const auto overlay = [&](const HostImage& d, const HostImage& x, const HostImage& y) {
          return constant ? KLEM_AlphaOverlayWithConstant(d.h(), x.h(), 90, y.h(), 170, type)
                          : KLEM_AlphaOverlay(d.h(), x.h(), y.h(), type);
        };
        ASSERT_EQ(overlay(intoA, a, b) | overlay(intoB, a, b), KLEM_OK);
        ASSERT_EQ(overlay(asA, asA, b) | overlay(asB, a, asB), KLEM_OK);
        EXPECT_EQ(asA.Bytes(), intoA.Bytes()) << type << " " << format;
        EXPECT_EQ(asB.Bytes(), intoB.Bytes()) << type << " " << format;
      }
    }
  }
}

}  // namespace
}  // namespace klem::test
