// The median filters (numbers 8 to 13) through KLEM_Filter against the plain
// window reference, the size rule of the one-column window, and the kernels'
// statuses on every entry.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "filter_reference.h"
#include "handle_test_support.h"
#include "kernel_test_support.h"
#include "kernels/median.h"

namespace klem::test {
namespace {

int32_t MedianOf(const Window& w, int32_t width, int32_t height) {
  std::vector<int32_t> samples;
  for (int32_t dy = -(height / 2); dy <= height / 2; ++dy) {
    for (int32_t dx = -(width / 2); dx <= width / 2; ++dx) samples.push_back(w(dx, dy));
  }
  std::nth_element(samples.begin(), samples.begin() + samples.size() / 2, samples.end());
  return samples[samples.size() / 2];
}

// The expected image: the reference over the source's pixels, the padding
// bytes past each row's pixels as the destination had them.
std::vector<uint8_t> Expected(const HostImage& src, const std::vector<uint8_t>& destBefore, int32_t width,
                              int32_t height, Margins margins) {
  const Geometry g = src.Shape();
  std::vector<uint8_t> expected = ReferenceFilter(src.Bytes(), g.width, g.height, g.widthBytes,
                                                  g.bytesPerPixel, margins, [&](const Window& w) {
                                                    return MedianOf(w, width, height);
                                                  });
  for (size_t i = 0; i < expected.size(); ++i) {
    if (i % g.widthBytes >= size_t(g.width) * g.bytesPerPixel) expected[i] = destBefore[i];
  }
  return expected;
}

TEST(MedianFilters, MatchTheReference) {
  const struct { int32_t number, width, height; } filters[] = {
      {8, 3, 3}, {9, 5, 5}, {10, 3, 1}, {11, 5, 1}, {12, 1, 3}, {13, 1, 5}};
  for (const auto& f : filters) {
    for (uint32_t format : {8u, 24u}) {
      for (uint32_t levels : {256u, 3u}) {  // 3 levels: mostly ties
        HostImage src(71, 23, format), dest(71, 23, format);
        std::vector<uint8_t> bytes = Pattern(src.Shape().size, f.number + format);
        for (uint8_t& b : bytes) b = static_cast<uint8_t>(b % levels);
        src.SetBytes(bytes);
        dest.SetBytes(Pattern(dest.Shape().size, 99));
        const std::vector<uint8_t> before = dest.Bytes();
        const std::string what = std::to_string(f.number) + " format " + std::to_string(format) +
                                 " levels " + std::to_string(levels);
        ASSERT_EQ(KLEM_Filter(dest.h(), f.number, src.h()), KLEM_OK) << what << dest.Error();
        EXPECT_EQ(dest.Bytes(), Expected(src, before, f.width, f.height, Centred(f.width, f.height))) << what;
        // In place: the same result as from another image.
        ASSERT_EQ(KLEM_Filter(src.h(), f.number, src.h()), KLEM_OK) << what;
        EXPECT_EQ(src.Bytes(), dest.Bytes()) << what;
      }
    }
  }
}

TEST(MedianFilters, OneColumnWindowTakesTheLargerSide) {
  HostImage narrowSrc(4, 10, 8), narrow(4, 10, 8);
  narrow.SetBytes(Pattern(narrow.Shape().size, 2));
  const std::vector<uint8_t> untouched = narrow.Bytes();
  EXPECT_EQ(KLEM_Filter(narrow.h(), 13, narrowSrc.h()), KLEM_FAILED);
  EXPECT_EQ(narrow.Error(), "Imagesize 4x10 too small!");
  EXPECT_EQ(narrow.Bytes(), untouched);

  // 5x5: rows 0, 1, 3 and 4 are the source's, row 2 the median over the full width.
  HostImage src(5, 5, 8), dest(5, 5, 8);
  src.SetBytes(Pattern(src.Shape().size, 3));
  dest.SetBytes(Pattern(dest.Shape().size, 4));
  const std::vector<uint8_t> before = dest.Bytes();
  ASSERT_EQ(KLEM_Filter(dest.h(), 13, src.h()), KLEM_OK) << dest.Error();
  EXPECT_EQ(dest.Bytes(), Expected(src, before, 1, 5, {0, 2, 0, 2}));
}

TEST(MedianFilters, KernelStatuses) {
  using namespace kernels;
  uint8_t plane[64] = {};
  uint8_t* p = plane + 20;
  const ROI r{2, 2};
  const ROI w3{3, 3};
  const Anchor centre{1, 1};
  ExpectStatusesOnEveryEntry({
      Refusal("null source", kStsNullPtrErr, kMedian8uC1, nullptr, 8, p, 8, r, w3, centre),
      Refusal("empty region", kStsSizeErr, kMedian8uC3, p, 8, p, 8, ROI{0, 2}, w3, centre),
      Refusal("step", kStsStepErr, kMedian8uC1, p, 0, p, 8, r, w3, centre),
      Refusal("window 3x5", kStsMaskSizeErr, kMedian8uC1, p, 8, p, 8, r, ROI{3, 5}, centre),
      Refusal("window 4x4", kStsMaskSizeErr, kMedian8uC3, p, 8, p, 8, r, ROI{4, 4}, centre),
      Refusal("anchor column 3", kStsAnchorErr, kMedian8uC1, p, 8, p, 8, r, w3, Anchor{3, 1}),
      Refusal("anchor row -1", kStsAnchorErr, kMedian8uC3, p, 8, p, 8, r, w3, Anchor{1, -1}),
      Refusal("row code 1x3", kStsMaskSizeErr, kMedianRow8uC1, p, 8, p, 8, r, kMask1x3),
      Refusal("row code 3x3", kStsMaskSizeErr, kMedianRow8uC3, p, 8, p, 8, r, kMask3x3),
      Refusal("row null", kStsNullPtrErr, kMedianRow8uC1, p, 8, nullptr, 8, r, kMask3x1),
      Refusal("column code 5x1", kStsMaskSizeErr, kMedianColumn8uC1, p, 8, p, 8, r, kMask5x1),
      Refusal("column step", kStsStepErr, kMedianColumn8uC3, p, 8, p, -1, r, kMask1x3),
  });
}

}  // namespace
}  // namespace klem::test
