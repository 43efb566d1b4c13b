// Gray and black-and-white: the gray formula over the colour cube on every
// entry, the dither against the row-by-row diffusion with its three-row store,
// the kernels' statuses in order, and the exported calls' checks in order
// with the destination untouched after each refusal.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "handle_test_support.h"
#include "kernel_test_support.h"
#include "kernels/gray.h"

namespace klem::test {
namespace {

using kernels::ROI;

// Every (b0, b1) pair with the given b2 values, on every gray entry.
void ExpectGrayFormula(const std::vector<int32_t>& thirds) {
  std::vector<uint8_t> colour(256 * 256 * 3), gray(256 * 256);
  ForEachImplementation(kernels::kConvertRGBToGray8u, [&](int32_t entry, auto* fn) {
    for (int32_t b2 : thirds) {
      for (int32_t i = 0; i < 256 * 256; ++i) {
        colour[3 * i] = uint8_t(i), colour[3 * i + 1] = uint8_t(i >> 8), colour[3 * i + 2] = uint8_t(b2);
      }
      ASSERT_EQ(fn(colour.data(), 3 * 256, gray.data(), 256, ROI{256, 256}), 0);
      for (int32_t i = 0; i < 256 * 256; ++i) {
        ASSERT_EQ(gray[i], (1225 * (i & 255) + 2404 * (i >> 8) + 467 * b2) >> 12)
            << EntryName(entry) << " " << i << " " << b2;
      }
    }
  });
}

TEST(GrayKernels, FormulaOnADenseSampleOfColours) { ExpectGrayFormula({0, 1, 128, 200, 254, 255}); }

// All 2^24 colours; too slow for every run.
TEST(GrayKernels, DISABLED_FormulaOnEveryColour) {
  std::vector<int32_t> all(256);
  for (int32_t b2 = 0; b2 < 256; ++b2) all[b2] = b2;
  ExpectGrayFormula(all);
}

// The diffusion as the rule reads: a store of three error rows with two zero
// columns at each end, cleared at the start of every row, rotated after it.
void ReferenceDither(const uint8_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep,
                     int32_t offset, ROI roi, uint8_t t) {
  std::vector<int32_t> rows[3];
  int32_t current = 0;
  for (int32_t y = 0; y < roi.height; ++y) {
    for (auto& row : rows) row.assign(roi.width + 4, 0);
    const int32_t* e0 = rows[current].data() + 2;
    const int32_t* e1 = rows[(current + 2) % 3].data() + 2;
    const int32_t* e2 = rows[(current + 1) % 3].data() + 2;
    for (int32_t x = 0; x < roi.width; ++x) {
      const int32_t s = 8 * (e1[x] + e0[x - 1]) + 4 * (e2[x] + e1[x - 1] + e1[x + 1] + e0[x - 2]) +
                        2 * (e2[x - 1] + e2[x + 1] + e1[x - 2] + e1[x + 2]) + (e2[x - 2] + e2[x + 2]);
      const int32_t acc = 8192 * src[y * srcStep + x] + 23 * s;
      const bool set = acc > 8192 * t;
      rows[current][x + 2] = acc / 1024 - (acc % 1024 < 0) - (set ? 2047 : 0);
      uint8_t& byte = dst[y * dstStep + (offset + x) / 8];
      const uint8_t bit = uint8_t(0x80 >> ((offset + x) % 8));
      byte = set ? byte | bit : byte & ~bit;
    }
    current = (current + 1) % 3;
  }
}

// Offsets into the second byte, partial first and last bytes, heights around
// the rows advanced together; the bits around the region must survive.
TEST(GrayKernels, DitherMatchesTheRowByRowDiffusion) {
  std::mt19937 rng(7);
  std::vector<int32_t> widths = {57, 64, 100, 257};
  for (int32_t w = 1; w <= 24; ++w) widths.push_back(w);
  for (int32_t width : widths) {
    for (int32_t height = 1; height <= 9; ++height) {
      for (int32_t offset : {0, 1, 3, 7, 8, 13}) {
        const int32_t dstStep = (offset + width + 7) / 8 + 2;
        std::vector<uint8_t> src(size_t(width + 3) * height), dst(size_t(dstStep) * height);
        for (uint8_t& b : src) b = uint8_t(rng() % 4 == 0 ? 255 * (rng() % 2) : rng());
        for (uint8_t& b : dst) b = uint8_t(rng());
        for (uint8_t t : {0, 1, 127, 128, 254, 255}) {
          std::vector<uint8_t> expected = dst, actual = dst;
          ReferenceDither(src.data(), width + 3, expected.data(), dstStep, offset, ROI{width, height}, t);
          ASSERT_EQ(kernels::kDitherToBits8u1u(src.data(), width + 3, actual.data(), dstStep, offset,
                                               ROI{width, height}, t), 0);
          ASSERT_EQ(actual, expected) << width << "x" << height << " offset " << offset << " t " << int(t);
        }
      }
    }
  }
}

TEST(GrayKernels, StatusesComeInTheirOrderBeforeAnyWrite) {
  using namespace kernels;
  uint8_t p[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  ExpectStatusesOnEveryEntry({
      Refusal("gray null before size", -8, kConvertRGBToGray8u, p, 3, nullptr, 1, ROI{0, 1}),
      Refusal("gray height 0", -6, kConvertRGBToGray8u, p, 3, p, 1, ROI{1, 0}),
      Refusal("expand null before size", -8, kExpandBitsToBytes1u8u, nullptr, 1, 0, p, 1, ROI{0, 1}),
      Refusal("expand size before step", -6, kExpandBitsToBytes1u8u, p, 0, 0, p, 1, ROI{1, 0}),
      Refusal("expand step before offset", -14, kExpandBitsToBytes1u8u, p, 1, -1, p, 0, ROI{1, 1}),
      Refusal("expand offset", -6, kExpandBitsToBytes1u8u, p, 1, -1, p, 1, ROI{1, 1}),
      Refusal("dither null before size", -8, kDitherToBits8u1u, p, 1, nullptr, 1, -1, ROI{0, 1}, 1),
      Refusal("dither width 0", -6, kDitherToBits8u1u, p, 1, p, 1, 0, ROI{0, 1}, 1),
      Refusal("dither offset", -6, kDitherToBits8u1u, p, 1, p, 1, -1, ROI{1, 1}, 1),
      Refusal("copy size before step", -6, kCopyBits1u, p, 0, p, 1, ROI{1, 0}),
      Refusal("copy step", -14, kCopyBits1u, p, 1, p, 0, ROI{1, 1}),
  });
  EXPECT_EQ(std::vector<uint8_t>(p, p + 8), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8}));
}

using GrayOp = uint32_t (*)(KLEM_HANDLE, KLEM_HANDLE);
#define OP(...) [](KLEM_HANDLE d, KLEM_HANDLE s) -> uint32_t { return __VA_ARGS__; }

// The size is checked before the destination's format; the formats each
// accepts are swept in bad_input_sweep_test.
TEST(GrayOps, SizeComesBeforeTheDestinationFormat) {
  const std::pair<GrayOp, uint32_t> ops[] = {
      {OP(KLEM_Grayscale8Bit(d, s)), 8}, {OP(KLEM_Grayscale(d, s)), 24}, {OP(KLEM_ConvertTo1Bit(d, s, 128)), 1}};
  for (const auto& [op, format] : ops) {
    SCOPED_TRACE(::testing::Message() << "destination format " << format);
    HostImage dest(5, 3, format), wrong(5, 3, format == 8 ? 24 : 8), taller(5, 4, 24);
    for (HostImage* d : {&dest, &wrong}) {
      d->SetBytes(Pattern(d->Shape().size, 3));
      EXPECT_EQ(op(d->h(), taller.h()), KLEM_FAILED);
      EXPECT_EQ(d->Error(), kDifferentSize);
      EXPECT_EQ(d->Bytes(), Pattern(d->Shape().size, 3));
    }
  }
}

// A colour source takes the road through its gray: the same bits as the
// dither of Grayscale8Bit's result.
TEST(GrayOps, BlackAndWhiteOfColourIsThatOfItsGray) {
  HostImage colour(37, 5, 24, Pattern(HostImage(37, 5, 24).Shape().size, 9)), gray(37, 5, 8);
  HostImage fromColour(37, 5, 1), fromGray(37, 5, 1);
  ASSERT_EQ(KLEM_Grayscale8Bit(gray.h(), colour.h()), KLEM_OK);
  ASSERT_EQ(KLEM_ConvertTo1Bit(fromColour.h(), colour.h(), 0x1280), KLEM_OK);  // low byte 0x80
  ASSERT_EQ(KLEM_ConvertTo1Bit(fromGray.h(), gray.h(), 128), KLEM_OK);
  EXPECT_EQ(fromColour.Bytes(), fromGray.Bytes());
}

// A 1-bit source is copied; the bits past the width in each row's last byte
// keep the destination's values, also when the source is the destination.
TEST(GrayOps, OneBitSourceIsCopied) {
  const std::vector<uint8_t> source = {0xB6, 0xFF, 0x01, 0x00, 0x5A, 0xC3};  // 11 x 3, 2 bytes a row
  HostImage bits(11, 3, 1, source), dest(11, 3, 1, {0x00, 0x1F, 0xFF, 0x00, 0x12, 0x34});
  ASSERT_EQ(KLEM_ConvertTo1Bit(dest.h(), bits.h(), 0), KLEM_OK);
  EXPECT_EQ(dest.Bytes(), (std::vector<uint8_t>{0xB6, 0xFF, 0x01, 0x00, 0x5A, 0xD4}));
  ASSERT_EQ(KLEM_ConvertTo1Bit(bits.h(), bits.h(), 0), KLEM_OK);
  EXPECT_EQ(bits.Bytes(), source);
}

}  // namespace
}  // namespace klem::test
