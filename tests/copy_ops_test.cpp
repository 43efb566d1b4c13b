// Fill, copies, crops and bordered copies through the exported calls: worked
// results, every message in its order with the image unchanged after it,
// in-place rectangle copies, coordinates at the ends of the 32-bit range; and
// the kernels' argument checks on every entry.
#include <gtest/gtest.h>

#include <climits>
#include <numeric>
#include <random>
#include <string>

#include "frame/library_texts.h"
#include "handle_test_support.h"
#include "kernel_test_support.h"
#include "kernels/copy.h"

namespace klem::test {
namespace {

struct Image {
  int32_t width = 0, height = 0;
  uint32_t bpp = 8;
  std::vector<uint8_t> bytes = {};  // empty: 1, 2, 3, ...
};
using Op = uint32_t (*)(KLEM_HANDLE d, KLEM_HANDLE s, KLEM_HANDLE m);
#define OP(...) [](KLEM_HANDLE d, KLEM_HANDLE s, KLEM_HANDLE m) -> uint32_t { (void)s, (void)m; return __VA_ARGS__; }

struct Case {
  const char* name;
  Image dst, src;
  Op op;
  std::vector<uint8_t> expected;  // empty: the call fails with `text` and leaves dst as it was
  const char* text = "";
  Image mask = {2, 2};
};

const std::vector<uint8_t> kTwoByTwo = {1, 2, 3, 4}, kZeros(4);
const std::string kNegativeBorder = ComposeKernelErrorText("Can't copy image and set the border!", -6);
const std::string kNegativeReplicate = ComposeKernelErrorText("Can't copy image and replicate the border!", -6);
constexpr const char* kOutOfRange = "Crop coordinates out of range!";
constexpr const char* kSmallSource = "Source image is smaller than the destination!";
constexpr const char* kTooSmall =
    "Destination surface must be big enough to hold the source image plus top and left borders!";

const Case kCases[] = {
    {"fill 24", {2, 1, 24}, {}, OP(KLEM_Fill(d, 0x332211)), {0x11, 0x22, 0x33, 0x11, 0x22, 0x33}},
    {"fill 8", {3, 1}, {}, OP(KLEM_Fill(d, 0x332211)), {0x11, 0x11, 0x11}},
    {"fill 1: every byte", {9, 2, 1}, {}, OP(KLEM_Fill(d, 0x332211)), {0x11, 0x11, 0x11, 0x11}},
    {"fill 32", {1, 1, 32}, {}, OP(KLEM_Fill(d, 0x80FFFFFF)), {0xFF, 0xFF, 0xFF, 0x80}},
    {"copy: top-left part", {2, 2}, {3, 2, 8, {1, 2, 3, 4, 5, 6}}, OP(KLEM_Copy(d, s)), {1, 2, 4, 5}},
    {"copy: format first", {2, 2}, {1, 2, 24}, OP(KLEM_Copy(d, s)), {}, kDifferentFormat},
    {"copy: narrow source", {2, 2}, {1, 2}, OP(KLEM_Copy(d, s)), {}, kSmallSource},
    {"copy: low source", {2, 2}, {2, 1}, OP(KLEM_Copy(d, s)), {}, kSmallSource},
    {"mask: selected pixels", {2, 1, 24}, {2, 1, 24, {7, 8, 9, 10, 11, 12}}, OP(KLEM_CopyWithMask(d, s, m)),
     {1, 2, 3, 10, 11, 12}, "", {2, 1, 8, {0, 9}}},
    {"mask: all zero", {2, 2}, {2, 2, 8, {9, 9, 9, 9}}, OP(KLEM_CopyWithMask(d, s, m)), kTwoByTwo, "",
     {2, 2, 8, kZeros}},
    {"mask: format first", {2, 2}, {2, 2, 24}, OP(KLEM_CopyWithMask(d, s, m)), {}, kDifferentFormat, {3, 2, 24}},
    {"mask: source size", {2, 2}, {2, 1}, OP(KLEM_CopyWithMask(d, s, m)), {}, kSmallSource, {3, 2, 24}},
    {"mask: size", {2, 2}, {2, 2}, OP(KLEM_CopyWithMask(d, s, m)), {}, "Pictures of different size!", {3, 2, 24}},
    {"mask: 24-bit mask", {2, 2}, {2, 2}, OP(KLEM_CopyWithMask(d, s, m)), {}, "Require 8bit Source bit depth!",
     {2, 2, 24}},
    {"crop: corners swapped", {2, 2}, {3, 3}, OP(KLEM_Crop(d, s, 2, 2, 1, 1)), {5, 6, 8, 9}},
    {"crop: right = width", {1, 1}, {3, 3}, OP(KLEM_Crop(d, s, 2, 0, 3, 0)), {}, kOutOfRange},
    {"crop: left < 0", {1, 1}, {3, 3}, OP(KLEM_Crop(d, s, INT32_MIN, 0, 0, 0)), {}, kOutOfRange},
    {"crop: format, then size", {2, 2}, {3, 3, 24}, OP(KLEM_Crop(d, s, 0, 0, 0, 0)), {}, kDifferentFormat},
    {"crop: size", {2, 2}, {3, 3}, OP(KLEM_Crop(d, s, 0, 0, 2, 1)), {}, "Pictures of different size!"},
    {"crop to: the rest stays", {3, 2}, {2, 2, 8, {7, 8, 9, 10}}, OP(KLEM_CropTo(d, s, 1, 0, 1, 1, 2, 0)),
     {1, 2, 8, 4, 5, 10}},
    {"crop to: past the destination", {3, 2}, {2, 2}, OP(KLEM_CropTo(d, s, 0, 0, 1, 1, 2, 0)), {}, kOutOfRange},
    {"crop to: column near INT32_MAX", {3, 2}, {2, 2}, OP(KLEM_CropTo(d, s, 0, 0, 1, 0, INT32_MAX, 0)), {},
     kOutOfRange},
    {"crop to: row near INT32_MAX", {3, 2}, {2, 2}, OP(KLEM_CropTo(d, s, 0, 0, 0, 1, 0, INT32_MAX)), {}, kOutOfRange},
    {"crop to: rectangles, then format", {3, 2}, {2, 2, 24}, OP(KLEM_CropTo(d, s, 0, 0, 0, 0, 0, 0)), {},
     kDifferentFormat},
    {"const border", {4, 4}, {2, 2}, OP(KLEM_CopyWithConstBorder(d, s, 1, 1, 0x0302FF)),
     {255, 255, 255, 255, 255, 1, 2, 255, 255, 3, 4, 255, 255, 255, 255, 255}},
    {"const border 24", {2, 1, 24}, {1, 1, 24, {7, 8, 9}}, OP(KLEM_CopyWithConstBorder(d, s, 1, 0, 0x030201)),
     {1, 2, 3, 7, 8, 9}},
    {"const border: one too narrow", {3, 3}, {2, 2}, OP(KLEM_CopyWithConstBorder(d, s, 2, 0, 0)), {}, kTooSmall},
    {"const border: top near INT32_MAX", {3, 3}, {2, 2}, OP(KLEM_CopyWithConstBorder(d, s, 0, INT32_MAX, 0)), {}, kTooSmall},
    {"const border: format first", {3, 3}, {4, 4, 24}, OP(KLEM_CopyWithConstBorder(d, s, 0, 0, 0)), {}, kDifferentFormat},
    {"const border: negative", {3, 3}, {2, 2}, OP(KLEM_CopyWithConstBorder(d, s, -1, 0, 0)), {},
     kNegativeBorder.c_str()},
    {"replicate 1x1", {3, 3, 24}, {1, 1, 24, {4, 5, 6}}, OP(KLEM_CopyWithReplicateBorder(d, s, 1, 1)),
     {4, 5, 6, 4, 5, 6, 4, 5, 6, 4, 5, 6, 4, 5, 6, 4, 5, 6, 4, 5, 6, 4, 5, 6, 4, 5, 6}},
    {"replicate", {4, 3}, {2, 2}, OP(KLEM_CopyWithReplicateBorder(d, s, 1, 0)), {1, 1, 2, 2, 3, 3, 4, 4, 3, 3, 4, 4}},
    {"replicate: negative", {3, 3}, {2, 2}, OP(KLEM_CopyWithReplicateBorder(d, s, 0, -1)), {},
     kNegativeReplicate.c_str()},
};

void Make(HostImage& image, const Image& shape) {
  if (shape.width == 0) return;
  ASSERT_EQ(KLEM_Create(image.h(), shape.width, shape.height, shape.bpp), KLEM_OK);
  std::vector<uint8_t> bytes = shape.bytes;
  if (bytes.empty()) {
    bytes.resize(image.Shape().size);
    std::iota(bytes.begin(), bytes.end(), uint8_t{1});
  }
  image.SetBytes(bytes);
}

TEST(CopyOps, GiveTheirResultsOrTheirMessagesInOrder) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    HostImage dst, src, mask;
    Make(dst, c.dst), Make(src, c.src), Make(mask, c.mask);
    const std::vector<uint8_t> before = dst.Bytes();
    KLEM_SetError(dst.h(), "stale");
    EXPECT_EQ(c.op(dst.h(), src.h(), mask.h()), c.expected.empty() ? KLEM_FAILED : KLEM_OK);
    EXPECT_EQ(dst.Error(), c.text);
    EXPECT_EQ(dst.Bytes(), c.expected.empty() ? before : c.expected);
  }
}

// On one handle every rectangle copy gives what a copy from an untouched
// image gives, whichever way the rectangles overlap; so does a whole copy.
TEST(CopyOps, CopyWithinOneImageAsFromAnUntouchedOne) {
  std::mt19937 rng(7);
  for (uint32_t bpp : {8u, 24u}) {
    std::vector<uint8_t> bytes(13 * 11 * bpp / 8);
    for (uint8_t& b : bytes) b = uint8_t(rng());
    for (const auto& [column, row] : {std::pair{3, 2}, {0, 0}, {1, 5}, {6, 0}, {0, 4}, {5, 5}}) {
      HostImage image(13, 11, bpp, bytes), original(13, 11, bpp, bytes), expected(13, 11, bpp, bytes);
      ASSERT_EQ(KLEM_CropTo(expected.h(), original.h(), 2, 1, 8, 6, column, row), KLEM_OK);
      ASSERT_EQ(KLEM_CropTo(image.h(), image.h(), 8, 6, 2, 1, column, row), KLEM_OK);
      EXPECT_EQ(image.Bytes(), expected.Bytes()) << bpp << " to " << column << ", " << row;
      ASSERT_EQ(KLEM_Copy(image.h(), image.h()), KLEM_OK);
      EXPECT_EQ(image.Bytes(), expected.Bytes());
    }
  }
}

}  // namespace
}  // namespace klem::test

namespace klem::kernels {
namespace {

// Null pointers, then row steps (border kernels only), then sizes and
// borders; a refused call writes nothing.
TEST(CopyKernelStatuses, ComeInTheirOrderAndLeaveTheImageAlone) {
  using test::Refusal;
  static uint8_t src[12] = {1, 2, 3}, dst[12] = {9, 9, 9};
  static const uint8_t value[4] = {5, 6, 7, 8};
  const ROI one{1, 1}, two{2, 2}, none{0, 1};
  test::ExpectStatusesOnEveryEntry({
      Refusal("fill: null", kStsNullPtrErr, kSetValue8uC1, 1, nullptr, 4, none),
      Refusal("fill: size", kStsSizeErr, kSetValue8uC1, 1, dst, 4, ROI{1, 0}),
      Refusal("fill C3: null value", kStsNullPtrErr, kSetValue8uC3, nullptr, dst, 4, none),
      Refusal("fill C4: size", kStsSizeErr, kSetValue8uC4, value, dst, 4, ROI{-1, 1}),
      Refusal("copy: null", kStsNullPtrErr, kCopyRect8uC3, nullptr, 4, dst, 4, none),
      Refusal("copy: size", kStsSizeErr, kCopyRect8uC1, src, 4, dst, 4, ROI{1, -2}),
      Refusal("masked: null mask", kStsNullPtrErr, kCopyMasked8uC1, src, 4, dst, 4, none, nullptr, 4),
      Refusal("masked: size", kStsSizeErr, kCopyMasked8uC3, src, 4, dst, 4, none, src, 4),
      Refusal("const: null value", kStsNullPtrErr, kCopyConstBorder8uC3, src, 0, none, dst, 0, none, 0, 0, nullptr),
      Refusal("const: null source", kStsNullPtrErr, kCopyConstBorder8uC1, nullptr, 0, none, dst, 0, none, 0, 0, 1),
      Refusal("const: step before size", kStsStepErr, kCopyConstBorder8uC1, src, 0, none, dst, 4, two, 0, 0, 1),
      Refusal("const: destination step", kStsStepErr, kCopyConstBorder8uC3, src, 4, one, dst, -4, two, 0, 0, value),
      Refusal("const: negative left", kStsSizeErr, kCopyConstBorder8uC3, src, 4, one, dst, 8, two, 0, -1, value),
      Refusal("const: source too wide", kStsSizeErr, kCopyConstBorder8uC1, src, 4, two, dst, 4, two, 0, 1, 1),
      Refusal("replicate: null", kStsNullPtrErr, kCopyReplicateBorder8uC3, src, 4, one, nullptr, 0, two, 0, 0),
      Refusal("replicate: step", kStsStepErr, kCopyReplicateBorder8uC1, src, 0, one, dst, 4, two, -1, 0),
      Refusal("replicate: negative top", kStsSizeErr, kCopyReplicateBorder8uC1, src, 4, one, dst, 4, two, -1, 0),
      Refusal("replicate: source too high", kStsSizeErr, kCopyReplicateBorder8uC3, src, 4, two, dst, 8, two, 1, 0),
      Refusal("replicate: empty destination", kStsSizeErr, kCopyReplicateBorder8uC3, src, 4, one, dst, 8, none, 0, 0),
  });
  EXPECT_EQ(std::vector<uint8_t>(dst, dst + 12), std::vector<uint8_t>({9, 9, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

}  // namespace
}  // namespace klem::kernels
