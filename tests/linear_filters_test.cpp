// The linear filters through KLEM_Filter: each number against the plain
// window-by-window reference written from its formula, on random and uniform
// images of both formats, and the smallest images.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include "filter_reference.h"
#include "handle_test_support.h"

namespace klem::test {
namespace {

int32_t Sum(const Window& w, int32_t radius) {
  int32_t sum = 0;
  for (int32_t dy = -radius; dy <= radius; ++dy) {
    for (int32_t dx = -radius; dx <= radius; ++dx) sum += w(dx, dy);
  }
  return sum;
}

// v / 2^s rounded to nearest, ties to even, for v >= 0.
int32_t HalfEven(int32_t v, int32_t s) {
  const int32_t q = v >> s, rem = v & ((1 << s) - 1), half = 1 << (s - 1);
  return q + (rem > half || (rem == half && (q & 1)) ? 1 : 0);
}

int32_t Weighted(const Window& w, const int32_t (&k)[5][5]) {
  int32_t sum = 0;
  for (int32_t dy = -2; dy <= 2; ++dy) {
    for (int32_t dx = -2; dx <= 2; ++dx) sum += k[dy + 2][dx + 2] * w(dx, dy);
  }
  return sum;
}

constexpr int32_t kLaplace5[5][5] = {
    {-1, -3, -4, -3, -1}, {-3, 0, 6, 0, -3}, {-4, 6, 20, 6, -4}, {-3, 0, 6, 0, -3}, {-1, -3, -4, -3, -1}};
constexpr int32_t kGauss5[5][5] = {
    {2, 7, 12, 7, 2}, {7, 31, 52, 31, 7}, {12, 52, 127, 52, 12}, {7, 31, 52, 31, 7}, {2, 7, 12, 7, 2}};

struct Numbered {
  int32_t number, side;
  std::function<int32_t(const Window&)> rule;
};

const std::vector<Numbered>& LinearFilters() {
  static const std::vector<Numbered> rows = {
      {5, 3, [](const Window& w) { return (Sum(w, 1) * 3641) >> 15; }},
      {6, 5, [](const Window& w) { return (Sum(w, 2) * 2622) >> 16; }},
      {7, 3,
       [](const Window& w) {
         const int32_t v = 16 * w(0, 0) - (Sum(w, 1) - w(0, 0));
         return v <= 0 ? 0 : HalfEven(v, 3);
       }},
      {14, 3, [](const Window& w) { return w(-1, 1) + w(0, 1) + w(1, 1) - w(-1, -1) - w(0, -1) - w(1, -1); }},
      {15, 3, [](const Window& w) { return w(-1, -1) + w(-1, 0) + w(-1, 1) - w(1, -1) - w(1, 0) - w(1, 1); }},
      {16, 3,
       [](const Window& w) {
         const auto r = [&](int32_t dy) { return w(-1, dy) + 2 * w(0, dy) + w(1, dy); };
         return r(1) - r(-1);
       }},
      {17, 3,
       [](const Window& w) {
         const auto d = [&](int32_t dy) { return w(-1, dy) - w(1, dy); };
         return d(-1) + 2 * d(0) + d(1);
       }},
      {18, 3, [](const Window& w) { return w(0, 0) - w(-1, -1); }},
      {19, 3, [](const Window& w) { return w(0, 0) - w(1, -1); }},
      {20, 3, [](const Window& w) { return 9 * w(0, 0) - Sum(w, 1); }},
      {21, 5, [](const Window& w) { return Weighted(w, kLaplace5); }},
      {22, 3,
       [](const Window& w) {
         const auto r = [&](int32_t dy) { return w(-1, dy) + 2 * w(0, dy) + w(1, dy); };
         return HalfEven(r(-1) + 2 * r(0) + r(1), 4);
       }},
      {23, 5,
       [](const Window& w) { return static_cast<int32_t>(((uint64_t(Weighted(w, kGauss5)) + 286) * 29382) >> 24); }},
      {24, 3, [](const Window& w) { return ((Sum(w, 1) + 5) * 455) >> 12; }},
      {25, 5, [](const Window& w) { return (Sum(w, 2) * 10485) >> 18; }},
      {26, 3, [](const Window& w) { return 9 * w(0, 0) - Sum(w, 1); }},
      {27, 5, [](const Window& w) { return 25 * w(0, 0) - Sum(w, 2); }},
  };
  return rows;
}

// KLEM_Filter of `bytes` into an image that starts as the source.
std::vector<uint8_t> Filtered(int32_t number, int32_t width, int32_t height, uint32_t format,
                              const std::vector<uint8_t>& bytes) {
  HostImage source(width, height, format, bytes), dest(width, height, format, bytes);
  EXPECT_EQ(KLEM_Filter(dest.h(), number, source.h()), KLEM_OK) << number << " " << dest.Error();
  return dest.Bytes();
}

TEST(LinearFilters, EveryNumberMatchesItsFormula) {
  for (uint32_t format : {8u, 24u}) {
    const int32_t width = 37, height = 23, channels = static_cast<int32_t>(format / 8);
    HostImage shape(width, height, format);
    const int32_t step = shape.Shape().widthBytes;
    const std::vector<uint8_t> random = Pattern(shape.Shape().size, format);
    const std::vector<uint8_t> bright(shape.Shape().size, 255);
    for (const Numbered& f : LinearFilters()) {
      for (const auto* bytes : {&random, &bright}) {
        const auto expected = ReferenceFilter(*bytes, width, height, step, channels, Centred(f.side, f.side), f.rule);
        EXPECT_EQ(Filtered(f.number, width, height, format, *bytes), expected)
            << "number " << f.number << " format " << format << (bytes == &bright ? " uniform 255" : " random");
      }
    }
  }
}

// Uniform images: the truncating 5x5 low pass loses one step of 255, the
// other means keep it; sharpening leaves a flat image as it is.
TEST(LinearFilters, UniformImages) {
  const struct {
    int32_t number, side;
    uint8_t value, inside;
  } rows[] = {{25, 5, 255, 254}, {24, 3, 255, 255}, {5, 3, 255, 255},
              {6, 5, 255, 255},  {23, 5, 255, 255}, {7, 3, 77, 77}};
  for (uint32_t format : {8u, 24u}) {
    for (const auto& row : rows) {
      HostImage shape(8, 9, format);
      const std::vector<uint8_t> bytes(shape.Shape().size, row.value);
      const auto expected = ReferenceFilter(bytes, 8, 9, shape.Shape().widthBytes, static_cast<int32_t>(format / 8),
                                            Centred(row.side, row.side), [&](const Window&) { return row.inside; });
      EXPECT_EQ(Filtered(row.number, 8, 9, format, bytes), expected) << row.number << " format " << format;
    }
  }
}

// Left minus right: a dark-to-bright step gives nothing, its mirror saturates.
TEST(LinearFilters, SobelDxKeepsOneSignOfAnEdge) {
  for (bool brightLeft : {false, true}) {
    std::vector<uint8_t> bytes(8 * 6);
    for (int32_t y = 0; y < 6; ++y) {
      for (int32_t x = 0; x < 8; ++x) bytes[y * 8 + x] = (x < 4) == brightLeft ? 200 : 0;
    }
    const std::vector<uint8_t> out = Filtered(17, 8, 6, 8, bytes);
    int32_t highest = 0;
    for (int32_t y = 1; y < 5; ++y) {
      for (int32_t x = 1; x < 7; ++x) highest = std::max<int32_t>(highest, out[y * 8 + x]);
    }
    EXPECT_EQ(highest, brightLeft ? 255 : 0);
  }
}

// The smallest images: too small for the window fails and leaves the image;
// 3x3 filters only its centre.
TEST(LinearFilters, SmallestImages) {
  const struct {
    int32_t number, width, height;
    const char* text;
  } refusals[] = {{20, 2, 2, "Imagesize 2x2 too small!"}, {6, 4, 10, "Imagesize 4x10 too small!"}};
  for (const auto& row : refusals) {
    HostImage source(row.width, row.height, 8), dest(row.width, row.height, 8);
    source.SetBytes(Pattern(source.Shape().size, 3));
    dest.SetBytes(Pattern(dest.Shape().size, 4));
    const std::vector<uint8_t> before = dest.Bytes();
    EXPECT_EQ(KLEM_Filter(dest.h(), row.number, source.h()), KLEM_FAILED);
    EXPECT_EQ(dest.Error(), row.text);
    EXPECT_EQ(dest.Bytes(), before);
  }
  HostImage source(3, 3, 24), dest(3, 3, 24);
  const std::vector<uint8_t> bytes = Pattern(source.Shape().size, 5);
  source.SetBytes(bytes);
  dest.SetBytes(Pattern(dest.Shape().size, 6));
  ASSERT_EQ(KLEM_Filter(dest.h(), 16, source.h()), KLEM_OK);
  const int32_t step = source.Shape().widthBytes;
  std::vector<uint8_t> expected = ReferenceFilter(bytes, 3, 3, step, 3, Centred(3, 3), LinearFilters()[5].rule);
  const std::vector<uint8_t> out = dest.Bytes();
  for (int32_t y = 0; y < 3; ++y) {
    for (int32_t x = 0; x < 9; ++x) EXPECT_EQ(out[y * step + x], expected[y * step + x]) << x << "," << y;
  }
}

}  // namespace
}  // namespace klem::test
