// Erosion, dilation and the rank filters through the C interface: the edge
// cases and failures with their texts and the image unchanged, and random
// images against the plain window reference.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "filter_reference.h"
#include "frame/library_texts.h"
#include "handle_test_support.h"

namespace klem::test {
namespace {

using Bytes = std::vector<uint8_t>;

struct Mask {
  Bytes cells;
  int32_t width, height;
};

Mask Ones(int32_t width, int32_t height) { return {Bytes(width * height, 1), width, height}; }

// Min (max) over the mask's nonzero cells, not mirrored, with the cell
// (width / 2, height / 2) over the sample; the margins kept.
Bytes Reference(const HostImage& image, const Bytes& before, const Mask& m, bool erode) {
  const Geometry g = image.Shape();
  return ReferenceFilter(before, g.width, g.height, g.widthBytes, g.bytesPerPixel, Centred(m.width, m.height),
                         [&](const Window& w) {
                           int32_t v = erode ? 255 : 0;
                           for (int32_t j = 0; j < m.height; ++j) {
                             for (int32_t i = 0; i < m.width; ++i) {
                               if (m.cells[j * m.width + i] == 0) continue;
                               const int32_t s = w(i - m.width / 2, j - m.height / 2);
                               v = erode ? std::min(v, s) : std::max(v, s);
                             }
                           }
                           return v;
                         });
}

using Pixels = std::vector<std::pair<int32_t, int32_t>>;

// A format 8 image of 200 with pixels of 10.
Bytes Gray200(const HostImage& image, const Pixels& dark) {
  const Geometry g = image.Shape();
  Bytes bytes(g.size, 200);
  for (auto [x, y] : dark) bytes[y * g.widthBytes + x] = 10;
  return bytes;
}

TEST(Morphology, EdgeCasesAndFailures) {
  using Start = std::function<Bytes(const HostImage&)>;
  using Expect = std::function<Bytes(const HostImage&, const Bytes&)>;
  const auto dark = [](Pixels at) { return Start([=](const HostImage& i) { return Gray200(i, at); }); };
  const auto becomes = [](Pixels at) {
    return Expect([=](const HostImage& i, const Bytes&) { return Gray200(i, at); });
  };
  const auto reference = [](Mask m, bool erode) {
    return Expect([=](const HostImage& i, const Bytes& b) { return Reference(i, b, m, erode); });
  };
  const auto withMask = [](bool erode, Mask m, int32_t w, int32_t h, bool null = false) {
    return std::function<uint32_t(KLEM_HANDLE)>([=](KLEM_HANDLE handle) {
      const uint8_t* cells = null ? nullptr : m.cells.data();
      return erode ? KLEM_ErodeEx(handle, cells, w, h) : KLEM_DilateEx(handle, cells, w, h);
    });
  };
  const auto kernelText = [](const char* message, kernels::KernelStatus status) {
    return ComposeKernelErrorText(message, status);
  };
  const Mask zero{Bytes(9, 0), 3, 3};
  const Pixels square = {{2, 2}, {3, 2}, {4, 2}, {2, 3}, {3, 3}, {4, 3}, {2, 4}, {3, 4}, {4, 4}};
  const struct {
    const char* what;
    int32_t width, height;
    uint32_t format;
    Start start;  // null: random bytes
    std::function<uint32_t(KLEM_HANDLE)> call;
    std::string text;  // of a failure; "" for success
    Expect expected = nullptr;  // after success
  } rows[] = {
      {"2x5", 2, 5, 8, nullptr, KLEM_Erode, "Imagesize 2x5 too small!"},
      {"3x3 changes its centre", 3, 3, 8, nullptr, KLEM_Erode, "", reference(Ones(3, 3), true)},
      {"dark pixel grows", 7, 7, 8, dark({{3, 3}}), KLEM_Erode, "", becomes(square)},
      {"dark pixel disappears", 7, 7, 8, dark({{3, 3}}), KLEM_Dilate, "", becomes({})},
      {"dark corner", 6, 5, 8, dark({{0, 0}}), KLEM_Erode, "", becomes({{0, 0}, {1, 1}})},
      {"3x3 ones as erode", 7, 7, 8, dark({{3, 3}}), withMask(true, Ones(3, 3), 3, 3), "", becomes(square)},
      {"1x3 erodes down only", 5, 6, 8, nullptr, withMask(true, Ones(1, 3), 1, 3), "",
       reference(Ones(1, 3), true)},
      {"3x5 anchor (1, 2)", 6, 7, 24, nullptr, withMask(false, Ones(3, 5), 3, 5), "",
       reference(Ones(3, 5), false)},
      {"zero mask", 5, 5, 8, nullptr, withMask(true, zero, 3, 3),
       kernelText("Can't erode image with mask!", kernels::kStsZeroMaskValuesErr)},
      {"dilate zero mask", 5, 5, 24, nullptr, withMask(false, zero, 3, 3),
       kernelText("Can't dilate image with mask!", kernels::kStsZeroMaskValuesErr)},
      {"null mask", 5, 5, 8, nullptr, withMask(true, zero, 3, 3, true),
       kernelText("Can't erode image with mask!", kernels::kStsNullPtrErr)},
      {"zero mask width", 5, 5, 24, nullptr, withMask(false, Ones(3, 3), 0, 3),
       kernelText("Can't dilate image with mask!", kernels::kStsMaskSizeErr)},
      {"mask taller than the image", 9, 4, 8, nullptr, withMask(true, Ones(1, 5), 1, 5),
       "Imagesize 9x4 too small!"},
      {"format 32 after size", 2, 2, 32, nullptr, KLEM_Dilate, "Imagesize 2x2 too small!"},
      {"format 16 with mask", 4, 4, 16, nullptr, withMask(false, zero, 3, 3, true), kUnsupported},
  };
  for (const auto& row : rows) {
    HostImage image(row.width, row.height, row.format);
    image.SetBytes(row.start ? row.start(image) : Pattern(image.Shape().size, 3));
    KLEM_SetError(image.h(), "stale");
    const Bytes before = image.Bytes();
    EXPECT_EQ(row.call(image.h()), row.text.empty() ? KLEM_OK : KLEM_FAILED) << row.what;
    EXPECT_EQ(image.Error(), row.text) << row.what;
    EXPECT_EQ(image.Bytes(), row.text.empty() ? row.expected(image, before) : before) << row.what;
  }
}

// Both formats, wide enough for every path's vectors, under every operation,
// mask shape and rank filter (numbers 1 to 4: min 3x3, min 5x5, max 3x3, max
// 5x5, from another image whose pixels the margins take, and in place). Rows
// of whole 4-byte words, so that the reference from the source's bytes
// covers every byte of the destination.
TEST(Morphology, MatchesTheReference) {
  const std::vector<Mask> masks = {Ones(3, 3), Ones(5, 5), Ones(1, 3), Ones(7, 1),
                                   {{0, 1, 0, 1, 1, 1, 0, 1, 0}, 3, 3},
                                   {{0, 0, 9, 1, 0, 0, 0, 0, 0, 5, 0, 0, 0, 0, 0}, 5, 3},
                                   {Pattern(35, 4), 7, 5}};
  for (uint32_t format : {8u, 24u}) {
    for (auto [width, height] : {std::pair{8, 9}, {100, 23}}) {
      const Bytes start = Pattern(static_cast<size_t>(width * format / 8 * height), width);
      HostImage image(width, height, format, start), dest(width, height, format);
      const std::string where = std::to_string(format) + " " + std::to_string(width) + " ";
      for (bool erode : {true, false}) {
        image.SetBytes(start);
        ASSERT_EQ(erode ? KLEM_Erode(image.h()) : KLEM_Dilate(image.h()), KLEM_OK) << image.Error();
        EXPECT_EQ(image.Bytes(), Reference(image, start, Ones(3, 3), erode)) << where;
        for (const Mask& m : masks) {
          image.SetBytes(start);
          const auto run = erode ? KLEM_ErodeEx : KLEM_DilateEx;
          ASSERT_EQ(run(image.h(), m.cells.data(), m.width, m.height), KLEM_OK) << image.Error();
          EXPECT_EQ(image.Bytes(), Reference(image, start, m, erode)) << where << m.width << "x" << m.height;
        }
        for (int32_t side : {3, 5}) {
          const int32_t number = (erode ? 1 : 3) + side / 5;
          const Bytes expected = Reference(image, start, Ones(side, side), erode);
          image.SetBytes(start);
          dest.SetBytes(Pattern(start.size(), 9));
          ASSERT_EQ(KLEM_Filter(dest.h(), number, image.h()), KLEM_OK) << dest.Error();
          EXPECT_EQ(dest.Bytes(), expected) << where << "filter " << number;
          ASSERT_EQ(KLEM_Filter(image.h(), number, image.h()), KLEM_OK) << image.Error();
          EXPECT_EQ(image.Bytes(), expected) << where << "filter in place " << number;
        }
      }
    }
  }
}

}  // namespace
}  // namespace klem::test
