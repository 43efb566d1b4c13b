// Gamma, look-up and threshold operations through the C interface: their
// checks and messages in order, images unchanged after every failure, the
// curves that used to fill outside their table; and the kernels' own checks.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "frame/library_texts.h"
#include "handle_test_support.h"
#include "kernel_test_support.h"
#include "kernels/lookup.h"
#include "kernels/threshold.h"

namespace klem::test {
namespace {

const int32_t kLevels[] = {0, 128, 256}, kValues[] = {255, 100, 0};

uint32_t Lut8(KLEM_HANDLE d, KLEM_HANDLE s, int32_t count = 3, int32_t mode = 1,
              const int32_t* values = kValues, const int32_t* levels = kLevels) {
  return KLEM_LookUpTable8Bit(d, s, values, levels, count, mode);
}

uint32_t Lut24(KLEM_HANDLE d, KLEM_HANDLE s, int32_t mode = 1, int32_t count2 = 3,
               const int32_t* values1 = kValues) {
  return KLEM_LookUpTable(d, s, kLevels, kValues, 3, kLevels, values1, 3, kLevels, kValues, count2, mode);
}

TEST(LookupOps, ChecksComeInTheirOrderAndLeaveTheImage) {
  const std::string lut8 = "Can't apply Lookuptable to 8bit image!", lut24 = "Can't apply Lookuptable!";
  const std::string threshold = "Can't apply threshold!";
  const struct {
    const char* what;
    uint32_t destFormat, sourceFormat;  // 0: no source handle
    std::function<uint32_t(KLEM_HANDLE, KLEM_HANDLE)> op;
    std::string text;
    int32_t sourceHeight = 3;
  } rows[] = {
      {"8: mode before sizes", 8, 24, [](auto d, auto s) { return Lut8(d, s, 3, 3); },
       "Unsupported interpolation mode!", 4},
      {"8: mode -1", 8, 8, [](auto d, auto s) { return Lut8(d, s, 3, -1); }, "Unsupported interpolation mode!"},
      {"8: size before format", 8, 24, [](auto d, auto s) { return Lut8(d, s); }, kDifferentSize, 4},
      {"8: format", 8, 24, [](auto d, auto s) { return Lut8(d, s); }, kDifferentFormat},
      {"8: count 1", 8, 8, [](auto d, auto s) { return Lut8(d, s, 1, 0); }, ComposeKernelErrorText(lut8, -106)},
      {"8: null values", 8, 8, [](auto d, auto s) { return Lut8(d, s, 3, 2, nullptr); },
       ComposeKernelErrorText(lut8, -8)},
      {"8: null levels", 8, 8, [](auto d, auto s) { return Lut8(d, s, 3, 1, kValues, nullptr); },
       ComposeKernelErrorText(lut8, -8)},
      {"24: mode before sizes", 24, 8, [](auto d, auto s) { return Lut24(d, s, 5); },
       "Unsupported interpolation mode!", 4},
      {"24: count of byte 2", 24, 24, [](auto d, auto s) { return Lut24(d, s, 0, 1); },
       ComposeKernelErrorText(lut24, -106)},
      {"24: null values of byte 1", 24, 24, [](auto d, auto s) { return Lut24(d, s, 2, 3, nullptr); },
       ComposeKernelErrorText(lut24, -8)},
      {"two-sided bounds crossed", 8, 0, [](auto d, auto) { return KLEM_ThresholdLTValGTVal(d, 101, 0, 100, 0); },
       ComposeKernelErrorText(threshold, -18)},
      // Byte 0 is in order (0 <= 0); byte 1 is not (5 > 4).
      {"two-sided bounds of byte 1 crossed", 24, 0,
       [](auto d, auto) { return KLEM_ThresholdLTValGTVal(d, 0x0500, 7, 0x0400, 7); },
       ComposeKernelErrorText(threshold, -18)},
  };
  for (const auto& row : rows) {
    HostImage dest(5, 3, row.destFormat), source;
    dest.SetBytes(Pattern(dest.Shape().size, 7));
    if (row.sourceFormat != 0) {
      KLEM_Create(source.h(), 5, row.sourceHeight, row.sourceFormat);
      source.SetBytes(Pattern(source.Shape().size, 8));
    }
    const std::vector<uint8_t> before = dest.Bytes();
    EXPECT_EQ(row.op(dest.h(), source.h()), KLEM_FAILED) << row.what;
    EXPECT_EQ(dest.Error(), row.text) << row.what;
    EXPECT_EQ(dest.Bytes(), before) << row.what;
  }
}

// Curves whose identity fills or cubic equations would leave the table: a
// first level above 256, a last level below 0, cubic windows with a repeated
// level. In place (the source is the image itself) on 256 inputs.
TEST(LookupOps, CurvesOutsideTheTableAndRepeatedLevels) {
  std::vector<uint8_t> all(256);
  for (int32_t v = 0; v < 256; ++v) all[v] = static_cast<uint8_t>(v);
  const auto map = [&](std::vector<int32_t> levels, std::vector<int32_t> values, int32_t mode) {
    HostImage image(256, 1, 8, all);
    EXPECT_EQ(KLEM_LookUpTable8Bit(image.h(), image.h(), values.data(), levels.data(),
                                   static_cast<int32_t>(levels.size()), mode), KLEM_OK) << image.Error();
    return image.Bytes();
  };
  EXPECT_EQ(map({300, 400}, {5, 6}, 0), all);
  EXPECT_EQ(map({-10, -5}, {1, 2}, 1), all);
  EXPECT_EQ(map({-10, -5, -1, -2}, {1, 2, 3, 4}, 2), all);
  const std::vector<int32_t> repeated = {0, 50, 50, 200, 256}, values = {0, 100, 120, 180, 255};
  const std::vector<uint8_t> linear = map(repeated, values, 1);
  EXPECT_EQ(map(repeated, values, 2), linear);
  EXPECT_EQ(linear[25], 50);
  EXPECT_EQ(linear[100], 140);
  EXPECT_EQ(linear[210], 193);
}

TEST(LookupKernels, StatusesComeInTheirOrder) {
  using namespace kernels;
  uint8_t p[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  const int32_t* const arrays[3] = {kValues, kValues, kValues};
  const int32_t* const gap[3] = {kValues, kValues, nullptr};
  const int32_t counts[3] = {3, 3, 3}, short1[3] = {3, 1, 3};
  const uint8_t t[3] = {1, 2, 3}, crossed[3] = {1, 0, 3};
  const ROI one{1, 1}, none{0, 1};
  ExpectStatusesOnEveryEntry({
      Refusal("C1 null values before size", -8, kLookupTable8uC1, p, 1, p, 1, none, nullptr, kLevels, 3),
      Refusal("C1 size before step", -6, kLookupTableLinear8uC1, p, 0, p, 1, none, kValues, kLevels, 1),
      Refusal("C1 step before count", -14, kLookupTableCubic8uC1, p, 1, p, 0, one, kValues, kLevels, 1),
      Refusal("C1 count 1", -106, kLookupTable8uC1, p, 1, p, 1, one, kValues, kLevels, 1),
      Refusal("C3 null counts", -8, kLookupTable8uC3, p, 3, p, 3, none, arrays, arrays, nullptr),
      Refusal("C3 count of byte 1 before size", -106, kLookupTableLinear8uC3, p, 3, p, 3, none, arrays, gap, short1),
      Refusal("C3 levels of byte 2", -8, kLookupTableCubic8uC3, p, 3, p, 3, none, arrays, gap, counts),
      Refusal("C3 size before step", -6, kLookupTable8uC3, p, 0, p, 3, none, arrays, arrays, counts),
      Refusal("C3 step", -14, kLookupTable8uC3, p, 0, p, 3, one, arrays, arrays, counts),
      Refusal("gamma null", -8, kGammaForward8u, nullptr, 0, none),
      Refusal("gamma size before step", -6, kGammaInverse8u, p, 0, none),
      Refusal("gamma step", -14, kGammaForward8u, p, 0, one),
      Refusal("C1 threshold null", -8, kThreshold8uC1, p, 1, nullptr, 1, none, 1, 1, kThresholdLess),
      Refusal("C1 threshold size", -6, kThreshold8uC1, p, 0, p, 1, none, 1, 1, kThresholdGreater),
      Refusal("C1 threshold step", -14, kThreshold8uC1, p, 1, p, 0, one, 1, 1, kThresholdGreater),
      Refusal("C3 threshold size before arrays", -6, kThreshold8uC3, p, 3, p, 3, none, nullptr, t,
              kThresholdGreater),
      Refusal("C3 threshold step before arrays", -14, kThreshold8uC3, p, 0, p, 3, one, t, nullptr,
              kThresholdLess),
      Refusal("C3 null values", -8, kThreshold8uC3, p, 3, p, 3, one, t, nullptr, kThresholdLess),
      Refusal("two-sided C1 step before bounds", -14, kThresholdLTValGTVal8uC1, p, 1, p, 0, one, 9, 0, 8, 0),
      Refusal("two-sided C1 bounds", -18, kThresholdLTValGTVal8uC1, p, 1, p, 1, one, 9, 0, 8, 0),
      Refusal("two-sided C3 arrays before bounds", -8, kThresholdLTValGTVal8uC3, p, 3, p, 3, one, t, t,
              crossed, nullptr),
      Refusal("two-sided C3 bounds of byte 1", -18, kThresholdLTValGTVal8uC3, p, 3, p, 3, one, t, t,
              crossed, t),
  });
  EXPECT_EQ(std::vector<uint8_t>(p, p + 8), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8}));
}

}  // namespace
}  // namespace klem::test
