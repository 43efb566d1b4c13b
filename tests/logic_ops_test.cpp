#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "handle_test_support.h"

namespace klem::test {
namespace {

constexpr const char* kDifferentSize = "Pictures of different size!";
constexpr const char* kDifferentFormat = "Pictures have different format!";
constexpr const char* kUnsupported = "Colorformat not supported by the function!";
constexpr const char* kNullSource = "Invalid source image handle!";

using ImageOp = uint32_t (*)(KLEM_HANDLE, KLEM_HANDLE);
const ImageOp kBitwiseImageOps[] = {KLEM_And, KLEM_Or, KLEM_Xor};

// 16-bit samples as the bytes of a little-endian image.
std::vector<uint8_t> Bytes16(const std::vector<uint16_t>& samples) {
  std::vector<uint8_t> bytes;
  for (uint16_t s : samples) {
    bytes.push_back(static_cast<uint8_t>(s));
    bytes.push_back(static_cast<uint8_t>(s >> 8));
  }
  return bytes;
}

std::vector<uint8_t> Pattern(size_t size, uint32_t seed) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 37 + seed * 101 + (i >> 3));
  return bytes;
}

TEST(LogicOps, HandlesAreCheckedFirst) {
  HostImage image(4, 2, 8);
  for (ImageOp op : {KLEM_And, KLEM_Or, KLEM_Xor, KLEM_HDRScaleDown}) {
    EXPECT_EQ(op(nullptr, image.h()), KLEM_INVALID_ARG);
    EXPECT_EQ(op(image.h(), nullptr), KLEM_FAILED);
    EXPECT_EQ(image.Error(), kNullSource);
  }
  EXPECT_EQ(KLEM_AndConstant(nullptr, 1), KLEM_INVALID_ARG);
  EXPECT_EQ(KLEM_OrConstant(nullptr, 1), KLEM_INVALID_ARG);
  EXPECT_EQ(KLEM_XorConstant(nullptr, 1), KLEM_INVALID_ARG);
  EXPECT_EQ(KLEM_Invert(nullptr), KLEM_INVALID_ARG);
  EXPECT_EQ(KLEM_Scale(nullptr, 1, 1, 1, 0), KLEM_INVALID_ARG);
}

TEST(LogicOps, ImageOperandsAreValidatedSizeBeforeFormat) {
  const std::vector<uint8_t> original = Pattern(4 * 3, 1);
  HostImage dest(4, 3, 8, original), taller(4, 4, 24), colour(4, 3, 24);
  HostImage wideDest(4, 3, 32), wide(4, 3, 32), empty, otherEmpty;
  for (ImageOp op : kBitwiseImageOps) {
    EXPECT_EQ(op(dest.h(), taller.h()), KLEM_FAILED);
    EXPECT_EQ(dest.Error(), kDifferentSize);
    EXPECT_EQ(op(dest.h(), colour.h()), KLEM_FAILED);
    EXPECT_EQ(dest.Error(), kDifferentFormat);
    EXPECT_EQ(op(wideDest.h(), wide.h()), KLEM_FAILED);
    EXPECT_EQ(wideDest.Error(), kUnsupported);
    EXPECT_EQ(op(empty.h(), otherEmpty.h()), KLEM_FAILED);
    EXPECT_EQ(empty.Error(), kUnsupported);
    EXPECT_EQ(op(empty.h(), dest.h()), KLEM_FAILED);
    EXPECT_EQ(empty.Error(), kDifferentSize);
  }
  EXPECT_EQ(dest.Bytes(), original);
}

// Which formats of this image every operation without a source accepts; the
// others fail with the format message and leave the image as it was.
TEST(LogicOps, EachOperationAcceptsItsFormatsOnly) {
  struct Op {
    const char* name;
    std::function<uint32_t(KLEM_HANDLE)> run;
    std::vector<uint32_t> formats;
  };
  const Op ops[] = {
      {"and constant", [](KLEM_HANDLE h) { return KLEM_AndConstant(h, 0x5A); }, {8, 24}},
      {"or constant", [](KLEM_HANDLE h) { return KLEM_OrConstant(h, 0x5A); }, {8, 24}},
      {"xor constant", [](KLEM_HANDLE h) { return KLEM_XorConstant(h, 0x5A); }, {8, 24}},
      {"invert", [](KLEM_HANDLE h) { return KLEM_Invert(h); }, {1, 8, 24}},
      {"scale right", [](KLEM_HANDLE h) { return KLEM_Scale(h, 1, 2, 3, 0); }, {8, 16, 24, 48}},
      {"scale left", [](KLEM_HANDLE h) { return KLEM_Scale(h, 1, 1, 1, 5); }, {8, 16, 24, 48}},
      // The format is checked before zero counts make the call a no-op.
      {"scale by 0", [](KLEM_HANDLE h) { return KLEM_Scale(h, 0, 0, 0, 0); }, {8, 16, 24, 48}},
  };
  for (const Op& op : ops) {
    for (uint32_t format : {0u, 1u, 8u, 16u, 24u, 32u, 48u}) {
      HostImage image;
      std::vector<uint8_t> before;
      if (format != 0) {
        ASSERT_EQ(KLEM_Create(image.h(), 19, 3, format), KLEM_OK);
        before = Pattern(image.SizeInBytes(), format);
        image.SetBytes(before);
      }
      KLEM_SetError(image.h(), "stale");
      const bool accepted =
          std::find(op.formats.begin(), op.formats.end(), format) != op.formats.end();
      const std::string what = std::string(op.name) + " format " + std::to_string(format);
      if (accepted) {
        EXPECT_EQ(op.run(image.h()), KLEM_OK) << what;
        EXPECT_EQ(image.Error(), "") << what;
      } else {
        EXPECT_EQ(op.run(image.h()), KLEM_FAILED) << what;
        EXPECT_EQ(image.Error(), kUnsupported) << what;
        EXPECT_EQ(image.Bytes(), before) << what;
      }
    }
  }
}

TEST(LogicOps, BitwiseImagesCombineEveryByte) {
  struct Case {
    ImageOp op;
    uint8_t (*expected)(uint8_t, uint8_t);
  };
  const Case cases[] = {
      {KLEM_And, [](uint8_t d, uint8_t s) { return static_cast<uint8_t>(d & s); }},
      {KLEM_Or, [](uint8_t d, uint8_t s) { return static_cast<uint8_t>(d | s); }},
      {KLEM_Xor, [](uint8_t d, uint8_t s) { return static_cast<uint8_t>(d ^ s); }},
  };
  for (const Case& c : cases) {
    for (uint32_t format : {8u, 24u}) {
      // 37 pixels: vector bodies and scalar tails in every row.
      HostImage dest(37, 3, format), src(37, 3, format);
      const std::vector<uint8_t> d = Pattern(dest.SizeInBytes(), 2);
      const std::vector<uint8_t> s = Pattern(src.SizeInBytes(), 3);
      dest.SetBytes(d);
      src.SetBytes(s);
      KLEM_SetError(dest.h(), "stale");
      ASSERT_EQ(c.op(dest.h(), src.h()), KLEM_OK);
      EXPECT_EQ(dest.Error(), "");
      std::vector<uint8_t> expected(d.size());
      for (size_t i = 0; i < d.size(); ++i) expected[i] = c.expected(d[i], s[i]);
      EXPECT_EQ(dest.Bytes(), expected) << "format " << format;
      EXPECT_EQ(src.Bytes(), s);
    }
  }
}

TEST(LogicOps, ConstantsPackOneBytePerChannel) {
  HostImage colour(2, 1, 24, {0x12, 0x34, 0x56, 0xFF, 0x80, 0x01});
  EXPECT_EQ(KLEM_AndConstant(colour.h(), 0x0000FF00), KLEM_OK);
  EXPECT_EQ(colour.Bytes(), (std::vector<uint8_t>{0, 0x34, 0, 0, 0x80, 0}));
  EXPECT_EQ(KLEM_OrConstant(colour.h(), 0xFF0F0102), KLEM_OK);  // bits 24-31 are ignored
  EXPECT_EQ(colour.Bytes(), (std::vector<uint8_t>{0x02, 0x35, 0x0F, 0x02, 0x81, 0x0F}));
  EXPECT_EQ(KLEM_XorConstant(colour.h(), 0x00FFFFFF), KLEM_OK);
  EXPECT_EQ(colour.Bytes(), (std::vector<uint8_t>{0xFD, 0xCA, 0xF0, 0xFD, 0x7E, 0xF0}));

  // One channel takes only the lowest byte: 0x1FF acts as 0xFF.
  HostImage gray(3, 1, 8, {0, 0x70, 0xFF});
  EXPECT_EQ(KLEM_XorConstant(gray.h(), 0x1FF), KLEM_OK);
  EXPECT_EQ(gray.Bytes(), (std::vector<uint8_t>{0xFF, 0x8F, 0}));
  EXPECT_EQ(KLEM_AndConstant(gray.h(), 0xF00), KLEM_OK);
  EXPECT_EQ(gray.Bytes(), (std::vector<uint8_t>{0, 0, 0}));
}

TEST(LogicOps, InvertTurnsEveryByteIntoItsComplement) {
  // A 10-pixel-wide black and white row is 2 bytes, the 6 unused bits included.
  const std::vector<uint8_t> bits = {0x00, 0xC0, 0xA5, 0x3F, 0xFF, 0x01};
  HostImage bw(10, 3, 1, bits);
  ASSERT_EQ(KLEM_Invert(bw.h()), KLEM_OK);
  EXPECT_EQ(bw.Bytes(), (std::vector<uint8_t>{0xFF, 0x3F, 0x5A, 0xC0, 0x00, 0xFE}));
  ASSERT_EQ(KLEM_Invert(bw.h()), KLEM_OK);
  EXPECT_EQ(bw.Bytes(), bits);

  for (uint32_t format : {8u, 24u}) {
    HostImage image(21, 2, format);
    const std::vector<uint8_t> before = Pattern(image.SizeInBytes(), 4);
    image.SetBytes(before);
    ASSERT_EQ(KLEM_Invert(image.h()), KLEM_OK);
    std::vector<uint8_t> expected(before.size());
    for (size_t i = 0; i < before.size(); ++i) expected[i] = static_cast<uint8_t>(255 - before[i]);
    EXPECT_EQ(image.Bytes(), expected) << "format " << format;
  }
}

TEST(LogicOps, ScaleShiftsEverySampleByItsChannelsCount) {
  HostImage gray(3, 1, 8, {128, 200, 255});
  EXPECT_EQ(KLEM_Scale(gray.h(), 1, 9, 9, 1), KLEM_OK);  // only count1 serves one channel
  EXPECT_EQ(gray.Bytes(), (std::vector<uint8_t>{0, 144, 254}));
  EXPECT_EQ(KLEM_Scale(gray.h(), 8, 0, 0, 0), KLEM_OK);
  EXPECT_EQ(gray.Bytes(), (std::vector<uint8_t>{0, 0, 0}));

  HostImage grayRight(2, 1, 8, {255, 17});
  EXPECT_EQ(KLEM_Scale(grayRight.h(), 3, 0, 0, 0), KLEM_OK);
  EXPECT_EQ(grayRight.Bytes(), (std::vector<uint8_t>{31, 2}));

  HostImage deep(3, 1, 16, Bytes16({65535, 0x1234, 15}));
  EXPECT_EQ(KLEM_Scale(deep.h(), 4, 0, 0, 0), KLEM_OK);
  EXPECT_EQ(deep.Bytes(), Bytes16({4095, 0x0123, 0}));
  EXPECT_EQ(KLEM_Scale(deep.h(), 5, 0, 0, 7), KLEM_OK);
  EXPECT_EQ(deep.Bytes(), Bytes16({0xFFE0, 0x2460, 0}));
  // A negative count from the host is a huge count: everything is shifted out.
  EXPECT_EQ(KLEM_Scale(deep.h(), static_cast<uint32_t>(-1), 0, 0, 0), KLEM_OK);
  EXPECT_EQ(deep.Bytes(), Bytes16({0, 0, 0}));

  const std::vector<uint8_t> pixels = {0xFF, 0xFF, 0xFF, 0x81, 0x42, 0x24};
  HostImage colour(2, 1, 24, pixels);
  EXPECT_EQ(KLEM_Scale(colour.h(), 0, 0, 0, 0), KLEM_OK);
  EXPECT_EQ(colour.Bytes(), pixels);
  EXPECT_EQ(KLEM_Scale(colour.h(), 1, 4, 9, 0), KLEM_OK);
  EXPECT_EQ(colour.Bytes(), (std::vector<uint8_t>{0x7F, 0x0F, 0, 0x40, 0x04, 0}));
  EXPECT_EQ(KLEM_Scale(colour.h(), 2, 2, 2, 1), KLEM_OK);
  EXPECT_EQ(colour.Bytes(), (std::vector<uint8_t>{0xFC, 0x3C, 0, 0x00, 0x10, 0}));

  HostImage hdr(2, 1, 48, Bytes16({0xFFFF, 0xFFFF, 0xFFFF, 0x8001, 0x0100, 0x00F0}));
  EXPECT_EQ(KLEM_Scale(hdr.h(), 0, 8, 16, 1), KLEM_OK);
  EXPECT_EQ(hdr.Bytes(), Bytes16({0xFFFF, 0xFF00, 0, 0x8001, 0, 0}));
  EXPECT_EQ(KLEM_Scale(hdr.h(), 15, 3, 3, 0), KLEM_OK);
  EXPECT_EQ(hdr.Bytes(), Bytes16({1, 0x1FE0, 0, 1, 0, 0}));
}

TEST(LogicOps, HdrScaleDownReducesSixteenBitSamples) {
  HostImage deep(5, 1, 16, Bytes16({65535, 256, 128, 32767, 0}));
  HostImage gray(5, 1, 8);
  KLEM_SetError(gray.h(), "stale");
  ASSERT_EQ(KLEM_HDRScaleDown(gray.h(), deep.h()), KLEM_OK);
  EXPECT_EQ(gray.Bytes(), (std::vector<uint8_t>{255, 1, 1, 128, 0}));
  EXPECT_EQ(gray.Error(), "");

  // 11 pixels of three samples: a vector body and a tail per row.
  std::vector<uint16_t> samples(33 * 2);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<uint16_t>(i * 1999);
  HostImage hdr(11, 2, 48, Bytes16(samples)), colour(11, 2, 24);
  ASSERT_EQ(KLEM_HDRScaleDown(colour.h(), hdr.h()), KLEM_OK);
  std::vector<uint8_t> expected;
  for (uint32_t v : samples) expected.push_back(static_cast<uint8_t>((v - (v >> 8) + 128) >> 8));
  EXPECT_EQ(colour.Bytes(), expected);
}

TEST(LogicOps, HdrScaleDownValidatesSizeThenFormats) {
  HostImage deep(4, 2, 16), hdr(4, 2, 48), gray(4, 2, 8), colour(4, 2, 24), narrowGray(3, 2, 8);
  const std::vector<uint8_t> grayBefore = Pattern(gray.SizeInBytes(), 5);
  const std::vector<uint8_t> colourBefore = Pattern(colour.SizeInBytes(), 6);
  gray.SetBytes(grayBefore);
  colour.SetBytes(colourBefore);

  EXPECT_EQ(KLEM_HDRScaleDown(colour.h(), deep.h()), KLEM_FAILED);
  EXPECT_EQ(colour.Error(), "Require 8bit Destination bit depth!");
  EXPECT_EQ(KLEM_HDRScaleDown(gray.h(), hdr.h()), KLEM_FAILED);
  EXPECT_EQ(gray.Error(), "Require 24bit Destination bit depth!");
  EXPECT_EQ(KLEM_HDRScaleDown(gray.h(), colour.h()), KLEM_FAILED);
  EXPECT_EQ(gray.Error(), kUnsupported);
  EXPECT_EQ(KLEM_HDRScaleDown(gray.h(), narrowGray.h()), KLEM_FAILED);
  EXPECT_EQ(gray.Error(), kDifferentSize);
  EXPECT_EQ(KLEM_HDRScaleDown(narrowGray.h(), deep.h()), KLEM_FAILED);
  EXPECT_EQ(narrowGray.Error(), kDifferentSize);
  EXPECT_EQ(gray.Bytes(), grayBefore);
  EXPECT_EQ(colour.Bytes(), colourBefore);

  HostImage empty, otherEmpty;
  EXPECT_EQ(KLEM_HDRScaleDown(empty.h(), otherEmpty.h()), KLEM_FAILED);
  EXPECT_EQ(empty.Error(), kUnsupported);
}

}  // namespace
}  // namespace klem::test
