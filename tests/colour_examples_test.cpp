// The results quoted for colour conversion, gray and black-and-white, gamma,
// look-up curves and thresholds: one row per call through the C interface,
// with the bytes that call must leave.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include "handle_test_support.h"

namespace klem::test {
namespace {

struct Quoted {
  const char* what;
  std::function<std::vector<uint8_t>()> run;  // makes the images, calls, returns the bytes read back
  std::vector<uint8_t> expected;
};

// The first `count` bytes of row `row` of an image.
std::vector<uint8_t> RowBytes(const HostImage& image, int32_t row, size_t count) {
  const uint8_t* first = image.Memory() + static_cast<size_t>(row) * image.Shape().widthBytes;
  return {first, first + count};
}

// The pixels a conversion makes of the given 24-bit pixels (a row of them).
std::vector<uint8_t> Converted(uint32_t (*convert)(KLEM_HANDLE, KLEM_HANDLE), std::vector<uint8_t> rgb) {
  const int32_t width = static_cast<int32_t>(rgb.size() / 3);
  HostImage source(width, 1, 24, rgb), dest(width, 1, 24);
  EXPECT_EQ(convert(dest.h(), source.h()), KLEM_OK);
  return RowBytes(dest, 0, rgb.size());
}

std::vector<Quoted> ConversionExamples() {
  return {
      {"YUV of pure red and blue", [] { return Converted(KLEM_RGBtoYUV, {255, 0, 0, 0, 0, 255}); },
       {76, 90, 255, 29, 239, 102}},
      {"YUV of grays", [] { return Converted(KLEM_RGBtoYUV, {0, 0, 0, 77, 77, 77, 255, 255, 255}); },
       {0, 128, 128, 77, 128, 128, 255, 128, 128}},
      {"red to YUV and back", [] { return Converted(KLEM_YUVtoRGB, Converted(KLEM_RGBtoYUV, {255, 0, 0})); },
       {220, 17, 0}},
      {"XYZ of white", [] { return Converted(KLEM_RGBtoXYZ, {255, 255, 255}); }, {242, 254, 255}},
      {"photo YCC of white", [] { return Converted(KLEM_RGBtoYCC, {255, 255, 255}); }, {181, 156, 137}},
      {"RGBA to BGRA keeps alpha",
       [] {
         const uint8_t src[8] = {1, 2, 3, 4, 5, 6, 7, 8};
         std::vector<uint8_t> dst(8);
         HostImage handle;
         EXPECT_EQ(KLEM_RGBAtoBGRA(handle.h(), src, 8, dst.data(), 8, 2, 1, 0), KLEM_OK);
         return dst;
       },
       {3, 2, 1, 4, 7, 6, 5, 8}},
      {"RGB to BGR flipped",
       [] {
         const uint8_t src[6] = {1, 2, 3, 4, 5, 6};
         std::vector<uint8_t> dst(6);
         HostImage handle;
         EXPECT_EQ(KLEM_RGBtoBGR(handle.h(), src, 3, dst.data(), 3, 1, 2, 1), KLEM_OK);
         return dst;
       },
       {6, 5, 4, 3, 2, 1}},
      {"CMY twice restores",
       [] {
         HostImage image(2, 1, 24, {0, 1, 2, 3, 4, 255});
         EXPECT_EQ(KLEM_RGBtoCMY(image.h()), KLEM_OK);
         std::vector<uint8_t> bytes = RowBytes(image, 0, 6);
         EXPECT_EQ(KLEM_CMYtoRGB(image.h()), KLEM_OK);
         const std::vector<uint8_t> back = RowBytes(image, 0, 6);
         bytes.insert(bytes.end(), back.begin(), back.end());
         return bytes;
       },
       {255, 254, 253, 252, 251, 0, 0, 1, 2, 3, 4, 255}},
  };
}

// One row of 16 equal samples to bits with a threshold.
std::vector<uint8_t> DitherRow(uint8_t value, uint32_t threshold) {
  HostImage bits(16, 1, 1), gray(16, 1, 8, std::vector<uint8_t>(16, value));
  EXPECT_EQ(KLEM_ConvertTo1Bit(bits.h(), gray.h(), threshold), KLEM_OK);
  return bits.Bytes();
}

std::vector<Quoted> GrayExamples() {
  return {
      {"gray of white, red, green, blue",
       [] {
         HostImage gray(4, 1, 8), colour(4, 1, 24, {255, 255, 255, 255, 0, 0, 0, 255, 0, 0, 0, 255});
         EXPECT_EQ(KLEM_Grayscale8Bit(gray.h(), colour.h()), KLEM_OK);
         return gray.Bytes();
       },
       {255, 76, 149, 29}},
      {"24-bit gray in all three bytes",
       [] {
         HostImage gray(2, 1, 24), colour(2, 1, 24, {255, 0, 0, 0, 0, 255});
         EXPECT_EQ(KLEM_Grayscale(gray.h(), colour.h()), KLEM_OK);
         return gray.Bytes();
       },
       {76, 76, 76, 29, 29, 29}},
      {"bits expand to 0 and 255, bit 7 first",
       [] {
         HostImage gray(10, 1, 8), bits(10, 1, 1, {0xB0, 0x40});
         EXPECT_EQ(KLEM_Grayscale8Bit(gray.h(), bits.h()), KLEM_OK);
         return gray.Bytes();
       },
       {255, 0, 255, 255, 0, 0, 0, 0, 0, 255}},
      {"16 x 128, threshold 128: 0101010101010101", [] { return DitherRow(128, 128); }, {0x55, 0x55}},
      {"16 x 128, threshold 127: 1010101010101010", [] { return DitherRow(128, 127); }, {0xAA, 0xAA}},
      {"16 x 255, threshold 255: 0111111011111101", [] { return DitherRow(255, 255); }, {0x7E, 0xFD}},
      {"16 x 100, threshold 128: 0010001000100010", [] { return DitherRow(100, 128); }, {0x22, 0x22}},
      {"16 x 0: all zeros", [] { return DitherRow(0, 0); }, {0x00, 0x00}},
      {"16 x 255, threshold 0: all ones", [] { return DitherRow(255, 0); }, {0xFF, 0xFF}},
  };
}

// One row of 8-bit inputs through a curve: the bytes the look-up leaves.
std::vector<uint8_t> Curve8(const std::vector<uint8_t>& in, std::vector<int32_t> levels,
                            std::vector<int32_t> values, int32_t mode) {
  const int32_t n = static_cast<int32_t>(in.size());
  HostImage src(n, 1, 8), dst(n, 1, 8);
  std::copy(in.begin(), in.end(), src.Memory());
  EXPECT_EQ(KLEM_LookUpTable8Bit(dst.h(), src.h(), values.data(), levels.data(),
                                 static_cast<int32_t>(levels.size()), mode), KLEM_OK) << dst.Error();
  return RowBytes(dst, 0, in.size());
}

// 24-bit pixels through three curves of one mode.
std::vector<uint8_t> Curve24(const std::vector<uint8_t>& in, const std::vector<int32_t> (&levels)[3],
                             const std::vector<int32_t> (&values)[3], int32_t mode) {
  const int32_t n = static_cast<int32_t>(in.size() / 3);
  HostImage src(n, 1, 24), dst(n, 1, 24);
  std::copy(in.begin(), in.end(), src.Memory());
  const auto count = [&](int32_t c) { return static_cast<int32_t>(levels[c].size()); };
  EXPECT_EQ(KLEM_LookUpTable(dst.h(), src.h(), levels[0].data(), values[0].data(), count(0),
                             levels[1].data(), values[1].data(), count(1), levels[2].data(),
                             values[2].data(), count(2), mode), KLEM_OK) << dst.Error();
  return RowBytes(dst, 0, in.size());
}

// An operation in place on one row of 3-byte pixels.
template <typename Op>
std::vector<uint8_t> InPlace(uint32_t bpp, const std::vector<uint8_t>& in, Op op) {
  HostImage image(static_cast<int32_t>(in.size() * 8 / bpp), 1, bpp);
  std::copy(in.begin(), in.end(), image.Memory());
  EXPECT_EQ(op(image.h()), KLEM_OK) << image.Error();
  return RowBytes(image, 0, in.size());
}

std::vector<uint8_t> AllBytes() {
  std::vector<uint8_t> all(256);
  for (int32_t v = 0; v < 256; ++v) all[v] = static_cast<uint8_t>(v);
  return all;
}

std::vector<Quoted> LookupExamples() {
  const std::vector<int32_t> cubicLevels = {0, 64, 192, 256}, cubicValues = {0, 40, 200, 255};
  return {
      {"step 0,100,200 / 10,20,30", [] { return Curve8({0, 99, 100, 199, 200, 255}, {0, 100, 200}, {10, 20, 30}, 0); },
       {10, 10, 20, 20, 200, 255}},
      {"linear 0,256 / 255,0", [] { return Curve8({0, 1, 128, 255}, {0, 256}, {255, 0}, 1); }, {255, 254, 128, 1}},
      {"linear 0,256 / 0,255", [] { return Curve8({255, 128}, {0, 256}, {0, 255}, 1); }, {254, 128}},
      {"linear 10,20 / 50,100", [] { return Curve8({0, 9, 10, 15, 19, 20, 255}, {10, 20}, {50, 100}, 1); },
       {0, 9, 50, 75, 95, 20, 255}},
      {"cubic of 3 points is the linear curve",
       [] { return Curve8({0, 37, 99, 150, 201, 255}, {0, 100, 256}, {0, 200, 255}, 2); },
       {0, 74, 198, 218, 236, 255}},
      {"cubic through the identity", [] { return Curve8(AllBytes(), {0, 64, 192, 256}, {0, 64, 192, 256}, 2); },
       AllBytes()},
      // The exact cubic gives 117.5 at 128, which rounds half up to 118.
      {"cubic 0,64,192,256 / 0,40,200,255",
       [=] { return Curve8({32, 64, 128, 192, 255}, cubicLevels, cubicValues, 2); }, {13, 40, 118, 200, 255}},
      {"cubic overshoot clamps", [] { return Curve8({42, 128, 200, 255}, {0, 85, 170, 255}, {0, 255, 0, 255}, 2); },
       {254, 126, 0, 255}},
      {"24-bit curves per byte position",
       [] {
         return Curve24({0, 15, 77, 255, 19, 200}, {{0, 256}, {10, 20}, {0, 256}}, {{255, 0}, {50, 100}, {0, 256}}, 1);
       },
       {255, 75, 77, 1, 95, 200}},
      // One curve of 3 points makes every position linear: 128 gives 120, not the cubic's 118.
      {"24-bit cubic falls back to linear",
       [=] {
         return Curve24({128, 37, 128}, {cubicLevels, {0, 100, 256}, cubicLevels}, {cubicValues, {0, 200, 255}, cubicValues}, 2);
       },
       {120, 74, 120}},
      {"24-bit ThresholdGT 0x00FF8040",
       [] { return InPlace(24, {0x50, 0x90, 0xFF, 0x30, 0x70, 0x10}, [](KLEM_HANDLE h) { return KLEM_ThresholdGT(h, 0x00FF8040); }); },
       {0x40, 0x80, 0xFF, 0x30, 0x70, 0x10}},
      {"ThresholdLTValGTVal with equal thresholds",
       [] { return InPlace(8, {99, 100, 101, 0, 255}, [](KLEM_HANDLE h) { return KLEM_ThresholdLTValGTVal(h, 100, 10, 100, 200); }); },
       {10, 100, 200, 10, 200}},
      {"gamma forward", [] { return InPlace(24, {1, 3, 64, 128, 255, 0}, [](KLEM_HANDLE h) { return KLEM_GammaCorrection(h, 0); }); },
       {4, 14, 125, 180, 255, 0}},
      {"gamma inverse", [] { return InPlace(24, {64, 128, 255}, [](KLEM_HANDLE h) { return KLEM_GammaCorrection(h, 7); }); },
       {20, 67, 255}},
      {"gamma forward then inverse: values kept, smallest changed",
       [] {
         std::vector<uint8_t> in = AllBytes();
         in.insert(in.end(), {0, 0});  // 86 whole pixels
         const std::vector<uint8_t> out = InPlace(24, in, [](KLEM_HANDLE h) {
           return KLEM_GammaCorrection(h, 0) | KLEM_GammaCorrection(h, 1);
         });
         int32_t kept = 0, smallest = -1;
         for (int32_t v = 255; v >= 0; --v) {
           kept += out[v] == v;
           if (out[v] != v) smallest = v;
         }
         return std::vector<uint8_t>{static_cast<uint8_t>(kept), static_cast<uint8_t>(smallest)};
       },
       {195, 87}},
  };
}

TEST(QuotedResults, ColourAndTone) {
  for (const auto& rows : {ConversionExamples(), GrayExamples(), LookupExamples()})
    for (const Quoted& row : rows) EXPECT_EQ(row.run(), row.expected) << row.what;
}

}  // namespace
}  // namespace klem::test
