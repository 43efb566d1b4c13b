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

std::vector<Quoted> GrayExamples() {
  return {
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
