// Channel split, combine and swap through the exported interface: results,
// the checks in their order with images unchanged after a refusal, in-place
// swaps; and the kernels' statuses in their order.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "handle_test_support.h"
#include "kernel_test_support.h"
#include "kernels/channels.h"

namespace klem::test {
namespace {

constexpr const char* kCount = "Channelorder has to be an array of 3 channelnumber entries!";


// Every byte position to its channel image and back, through the four calls.
TEST(ChannelOps, SplitAndCombineMoveEveryBytePosition) {
  HostImage rgb(1, 1, 24, {10, 20, 30}), rgba(2, 1, 32, {1, 2, 3, 4, 5, 6, 7, 8});
  HostImage k0(1, 1, 8), k1(1, 1, 8), k2(1, 1, 8), back(1, 1, 24), backRgba(2, 1, 32);
  ASSERT_EQ(KLEM_SplitChannels(rgb.h(), k0.h(), k1.h(), k2.h()), KLEM_OK);
  EXPECT_EQ(k0.Bytes()[0] * 10000 + k1.Bytes()[0] * 100 + k2.Bytes()[0], 102030);
  ASSERT_EQ(KLEM_FromChannels(back.h(), k0.h(), k1.h(), k2.h()), KLEM_OK);
  EXPECT_EQ(back.Bytes(), rgb.Bytes());
  std::array<HostImage, 4> k;
  for (HostImage& image : k) KLEM_Create(image.h(), 2, 1, 8);
  ASSERT_EQ(KLEM_SplitChannelsRGBA(rgba.h(), k[0].h(), k[1].h(), k[2].h(), k[3].h()), KLEM_OK);
  for (int32_t c = 0; c < 4; ++c) EXPECT_EQ(k[c].Bytes(), (std::vector<uint8_t>{uint8_t(1 + c), uint8_t(5 + c)}));
  ASSERT_EQ(KLEM_FromChannelsRGBA(backRgba.h(), k[0].h(), k[1].h(), k[2].h(), k[3].h()), KLEM_OK);
  EXPECT_EQ(backRgba.Bytes(), rgba.Bytes());
}

// Each of the four operations with its channel checks in order; the operation
// runs on m and the four channel images, of which one row changes one thing.
TEST(ChannelOps, ChannelChecksComeInTheirOrderAndChangeNothing) {
  using Op = uint32_t (*)(KLEM_HANDLE, KLEM_HANDLE, KLEM_HANDLE, KLEM_HANDLE, KLEM_HANDLE);
  const struct {
    Op op;
    uint32_t format;
    bool split;
  } ops[] = {
      {[](KLEM_HANDLE m, KLEM_HANDLE a, KLEM_HANDLE b, KLEM_HANDLE c, KLEM_HANDLE) {
         return KLEM_SplitChannels(m, a, b, c); }, 24, true},
      {[](KLEM_HANDLE m, KLEM_HANDLE a, KLEM_HANDLE b, KLEM_HANDLE c, KLEM_HANDLE) {
         return KLEM_FromChannels(m, a, b, c); }, 24, false},
      {KLEM_SplitChannelsRGBA, 32, true},
      {KLEM_FromChannelsRGBA, 32, false},
  };
  for (const auto& o : ops) {
    const std::string side = o.split ? "destination" : "source";
    const std::string dimension = o.split ? "Destination channels dimension differs from source image dimension!"
                                          : "Source channels dimension differs from destination image dimension!";
    const std::string unequal = "Size of " + side + " channels is not equal!";
    const std::string depth = "Bitdepth of " + side + " channels is not equal to 8Bit!";
    const int32_t channels = int32_t(o.format / 8);
    const struct {
      int32_t which;  // -1 the object, else a channel image
      int32_t width, height;
      uint32_t format;
      std::string text;
    } rows[] = {
        {0, 4, 2, 8, dimension},
        {0, 3, 1, 8, dimension},
        {1, 4, 2, 8, unequal},
        {channels - 1, 3, 1, 8, unequal},
        {channels - 1, 3, 2, 24, depth},
        {1, 3, 2, 9, depth},
        {-1, 3, 2, o.format, ""},
    };
    for (const auto& r : rows) {
      SCOPED_TRACE(::testing::Message() << o.format << (o.split ? " split" : " combine") << " row " << r.text);
      std::array<HostImage, 5> images;  // images[0] is the object
      std::vector<uint8_t> host(3 * 2 * 4, 0x5C);
      for (int32_t i = 0; i < 5; ++i) {
        const bool changed = i == r.which + 1;
        const uint32_t format = changed ? r.format : i == 0 ? o.format : 8;
        if (format == 9) {
          KLEM_AttachNoFree(images[i].h(), host.data(), 6, 3, 2, 9);
        } else {
          KLEM_Create(images[i].h(), changed ? r.width : 3, changed ? r.height : 2, format);
          images[i].SetBytes(Pattern(images[i].Shape().size, i));
        }
      }
      std::array<std::vector<uint8_t>, 5> before;
      KLEM_HANDLE h[5];
      for (int32_t i = 0; i < 5; ++i) {
        before[i] = images[i].Bytes();
        h[i] = images[i].h();
      }
      KLEM_SetError(h[0], "stale");
      EXPECT_EQ(o.op(h[0], h[1], h[2], h[3], h[4]), r.text.empty() ? KLEM_OK : KLEM_FAILED);
      EXPECT_EQ(images[0].Error(), r.text);
      for (int32_t i = 0; i < 5 && !r.text.empty(); ++i) EXPECT_EQ(images[i].Bytes(), before[i]) << i;
    }
  }
}

TEST(ChannelOps, SwapChecksComeInTheirOrderAndChangeNothing) {
  const int32_t reverse[3] = {2, 1, 0}, beyond[3] = {2, 1, 3}, negative[3] = {0, -1, 0};
  HostImage dest(3, 2, 24, Pattern(18, 1)), source(3, 2, 24, Pattern(18, 2)), wider(4, 2, 24), gray(3, 2, 8);
  const struct {
    HostImage& d;
    KLEM_HANDLE s;
    const int32_t* order;
    int32_t count;
    const char* text;
  } rows[] = {
      {dest, wider.h(), reverse, 3, "Pictures of different size!"},
      {dest, gray.h(), reverse, 3, "Pictures have different format!"},
      {dest, source.h(), beyond, 4, kCount},  // the entries are not read
      {dest, source.h(), reverse, 2, kCount},
      {dest, source.h(), nullptr, 3, kCount},
      {dest, source.h(), beyond, 3, "Channelnumber out of range (0,1,2)!"},
      {dest, source.h(), negative, 3, "Channelnumber out of range (0,1,2)!"},
  };
  for (const auto& r : rows) {
    const std::vector<uint8_t> before = r.d.Bytes();
    KLEM_SetError(r.d.h(), "stale");
    EXPECT_EQ(KLEM_SwapChannels(r.d.h(), r.s, r.order, r.count), KLEM_FAILED) << r.text;
    EXPECT_EQ(r.d.Error(), r.text);
    EXPECT_EQ(r.d.Bytes(), before) << r.text;
  }
}

// Out of place and in place alike, with orders that are not permutations;
// format 32 keeps the destination's fourth bytes.
TEST(ChannelOps, SwapGivesTheSameResultInPlace) {
  const int32_t orders[][3] = {{2, 1, 0}, {0, 0, 0}, {1, 2, 0}, {2, 2, 1}};
  for (const uint32_t format : {24u, 32u}) {
    const int32_t n = int32_t(format / 8);
    const std::vector<uint8_t> src = Pattern(size_t(n) * 41 * 3, 3), old = Pattern(size_t(n) * 41 * 3, 4);
    for (const auto& order : orders) {
      std::vector<uint8_t> expected = old;
      for (size_t p = 0; p < src.size(); p += n) {
        for (int32_t i = 0; i < 3; ++i) expected[p + i] = src[p + order[i]];
      }
      HostImage dest(41, 3, format, old), source(41, 3, format, src);
      ASSERT_EQ(KLEM_SwapChannels(dest.h(), source.h(), order, 3), KLEM_OK) << dest.Error();
      EXPECT_EQ(dest.Bytes(), expected) << format << " " << order[0] << order[1] << order[2];
      EXPECT_EQ(source.Bytes(), src);
      // In place the fourth bytes are the source's own.
      for (size_t p = 3; n == 4 && p < src.size(); p += n) expected[p] = src[p];
      ASSERT_EQ(KLEM_SwapChannels(source.h(), source.h(), order, 3), KLEM_OK) << source.Error();
      EXPECT_EQ(source.Bytes(), expected) << format << " in place " << order[0] << order[1] << order[2];
    }
  }
}

// Null pointers (array, entries, order), the region, the steps, the order entries.
TEST(ChannelKernels, StatusesComeInTheirOrder) {
  using namespace kernels;
  static uint8_t c[16], p[16];
  static uint8_t* const k[4] = {p, p + 4, p + 8, p + 12};
  static uint8_t* const hole[4] = {p, p + 4, nullptr, p + 12};
  static const uint8_t* const in[4] = {p, p + 4, p + 8, p + 12};
  static const uint8_t* const inHole[4] = {p, nullptr, p + 8, p + 12};
  static const int32_t three[3] = {0, 1, 3}, below[3] = {-1, 1, 2};
  ExpectStatusesOnEveryEntry({
      Refusal("split: null array", kStsNullPtrErr, kSplitChannels8uC3, c, 12, nullptr, 4, ROI{0, 1}),
      Refusal("split: null fourth", kStsNullPtrErr, kSplitChannels8uC4, c, 16, hole, 4, ROI{1, 1}),
      Refusal("split: size before step", kStsSizeErr, kSplitChannels8uC4, c, 0, k, 4, ROI{4, 0}),
      Refusal("split: step", kStsStepErr, kSplitChannels8uC3, c, 12, k, 0, ROI{4, 1}),
      Refusal("merge: null entry", kStsNullPtrErr, kMergeChannels8uC3, inHole, 4, c, 12, ROI{0, 1}),
      Refusal("merge: size", kStsSizeErr, kMergeChannels8uC4, in, 4, c, 16, ROI{-1, 1}),
      Refusal("merge: step", kStsStepErr, kMergeChannels8uC3, in, 4, c, -3, ROI{4, 1}),
      Refusal("permute: null order", kStsNullPtrErr, kPermuteChannels8uC3, c, 12, p, 12, ROI{0, 1}, nullptr),
      Refusal("permute: size first", kStsSizeErr, kPermuteChannels8uAC4, c, 0, p, 16, ROI{4, 0}, three),
      Refusal("permute: step first", kStsStepErr, kPermuteChannels8uC3, c, 12, p, 0, ROI{4, 1}, three),
      Refusal("permute: entry 3", kStsChannelOrderErr, kPermuteChannels8uAC4, c, 16, p, 16, ROI{4, 1}, three),
      Refusal("permute: entry -1", kStsChannelOrderErr, kPermuteChannels8uC3, c, 12, p, 12, ROI{4, 1}, below),
  });
}

}  // namespace
}  // namespace klem::test
