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

std::vector<Quoted> ConversionExamples() {
  return {
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
