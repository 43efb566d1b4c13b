// The built-in filters through the C interface: the table's numbers, the
// checks in their order with the destination unchanged, the margins, and the
// region and border functions.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "frame/library_texts.h"
#include "handle_test_support.h"

namespace klem::test {
namespace {

constexpr const char* kInvalidFilter = "Invalid filter function constant!";

TEST(FilterOps, ChecksComeInTheirOrderAndLeaveTheImage) {
  const struct {
    const char* what;
    int32_t number;
    uint32_t destFormat, sourceFormat;
    int32_t sourceWidth;
    std::string text;
  } rows[] = {
      {"number 0 before sizes", 0, 8, 24, 4, kInvalidFilter},
      {"number 28", 28, 8, 8, 5, kInvalidFilter},
      {"number -2", -2, 24, 24, 5, kInvalidFilter},
      {"size before format", -1, 8, 24, 4, kDifferentSize},
      {"format", -1, 8, 24, 5, kDifferentFormat},
      {"format 32", -1, 32, 32, 5, kUnsupported},
      // --- filter refusals ---
      {"5x5 window on 5x3", 6, 8, 8, 5, "Imagesize 5x3 too small!"},
      {"5x5 mask on 5x3", 27, 24, 24, 5, "Imagesize 5x3 too small!"},
  };
  for (const auto& row : rows) {
    HostImage dest(5, 3, row.destFormat), source;
    dest.SetBytes(Pattern(dest.Shape().size, 7));
    KLEM_Create(source.h(), row.sourceWidth, 3, row.sourceFormat);
    source.SetBytes(Pattern(source.Shape().size, 8));
    const std::vector<uint8_t> before = dest.Bytes();
    EXPECT_EQ(KLEM_Filter(dest.h(), row.number, source.h()), KLEM_FAILED)
        << row.what;
    EXPECT_EQ(dest.Error(), row.text) << row.what;
    EXPECT_EQ(dest.Bytes(), before) << row.what;
  }
}

// The placeholder number passes the image checks and writes nothing, on any size.
TEST(FilterOps, PlaceholderFiltersNothing) {
  for (uint32_t format : {8u, 24u}) {
    HostImage dest(1, 1, format, Pattern(format / 8, 1)), source(1, 1, format, Pattern(format / 8, 2));
    const std::vector<uint8_t> before = dest.Bytes();
    EXPECT_EQ(KLEM_Filter(dest.h(), -1, source.h()), KLEM_OK) << dest.Error();
    EXPECT_EQ(dest.Bytes(), before);
  }
}

TEST(FilterOps, RegionAndBorderFunctions) {
  HostImage image(100, 50, 24);
  int32_t offset = -7, width = -7, height = -7;
  EXPECT_EQ(KLEM_GetRoiForFilter(image.h(), 5, 3, &offset, &width, &height), KLEM_OK);
  EXPECT_EQ(std::vector<int32_t>({offset, width, height}), std::vector<int32_t>({306, 96, 48}));
  EXPECT_EQ(KLEM_GetRoiForFilterEx(image.h(), 3, 3, 0, 0, &offset, &width, &height), KLEM_OK);
  EXPECT_EQ(std::vector<int32_t>({offset, width, height}), std::vector<int32_t>({0, 98, 48}));
  EXPECT_EQ(KLEM_GetRoiForFilterEx(image.h(), 4, 2, 3, 1, &offset, &width, &height), KLEM_OK);
  EXPECT_EQ(std::vector<int32_t>({offset, width, height}), std::vector<int32_t>({309, 97, 49}));
  // Nothing is validated: a window wider than the image gives a negative region.
  EXPECT_EQ(KLEM_GetRoiForFilter(image.h(), 203, 1, &offset, &width, &height), KLEM_OK);
  EXPECT_EQ(std::vector<int32_t>({offset, width, height}), std::vector<int32_t>({303, -102, 50}));
  int32_t columns = -7, rows = -7;
  EXPECT_EQ(KLEM_GetFilterBorder(image.h(), 4, 5, &columns, &rows), KLEM_OK);
  EXPECT_EQ(std::vector<int32_t>({columns, rows}), std::vector<int32_t>({2, 2}));
  EXPECT_EQ(KLEM_GetFilterBorder(image.h(), -5, 3, &columns, &rows), KLEM_OK);
  EXPECT_EQ(std::vector<int32_t>({columns, rows}), std::vector<int32_t>({-2, 1}));
  EXPECT_EQ(KLEM_GetFilterBorderEx(image.h(), 9, 9, 6, 0, &columns, &rows), KLEM_OK);
  EXPECT_EQ(std::vector<int32_t>({columns, rows}), std::vector<int32_t>({6, 0}));

}

}  // namespace
}  // namespace klem::test
