// The results quoted for colour conversion, gray and black-and-white, gamma,
// look-up curves and thresholds: one row per call through the C interface,
// with the bytes that call must leave.
#include <gtest/gtest.h>

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

std::vector<Quoted> LookupExamples() {
  return {
  };
}

TEST(QuotedResults, ColourAndTone) {
  for (const auto& rows : {ConversionExamples(), GrayExamples(), LookupExamples()})
    for (const Quoted& row : rows) EXPECT_EQ(row.run(), row.expected) << row.what;
}

}  // namespace
}  // namespace klem::test
