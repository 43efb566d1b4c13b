// Every export of the interfaces called the ways a host gets it wrong: a null
// handle, a null or empty image, each colour format code. One row per export
// (two where the sources have formats of their own); a refused call must leave
// every image it was given as it was, pixels and geometry.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "handle_test_support.h"

namespace klem::test {
namespace {

constexpr int32_t kW = 6, kH = 5;
constexpr const char* kStale = "stale";
const std::vector<uint32_t> kFormats = {0, 1, 8, 9, 16, 24, 25, 32, 48};
const std::vector<uint32_t> kAny = {1, 8, 9, 16, 24, 25, 32, 48}, k8 = {8}, k24 = {24}, k32 = {32},
                            k8And24 = {8, 24}, k1To24 = {1, 8, 24};
constexpr const char* kDest8 = "Require 8bit Destination bit depth!";
constexpr const char* kDest24 = "Require 24bit Destination bit depth!";
constexpr const char* kDest1 = "Require 1bit black&white Destination bit depth!";
constexpr const char* kCrop = "Crop coordinates out of range!";
constexpr const char* kTooSmall = "Imagesize 0x0 too small!";
#define SIZE_STATUS "Error(-6)krnStsSizeErr: Wrong value of data size"

// An image of any format code: the host's memory for 9 and 25 (rows of 25 carry
// two bytes of padding), none for 0. No sample is 0, so nothing divides by zero.
struct Image {
  HostImage host;
  std::vector<uint8_t> memory;
  Image(uint32_t format, uint32_t seed, int32_t width, int32_t height) {
    const int32_t row = format == 25 ? width * 3 + 2 : width;
    if (format == 9 || format == 25) {
      memory.resize(size_t(row) * height);
      EXPECT_EQ(KLEM_AttachNoFreeEx(host.h(), memory.data(), uint32_t(memory.size()), width, height, row,
                                    format), KLEM_OK);
    } else if (format != 0) {
      EXPECT_EQ(KLEM_Create(host.h(), width, height, format), KLEM_OK);
    }
    std::vector<uint8_t> bytes = Pattern(host.Shape().size, seed);
    for (uint8_t& b : bytes) b |= 1;
    if (format != 0) host.SetBytes(bytes);
    KLEM_SetError(host.h(), kStale);
  }
  // Geometry and pixels in one number.
  uint64_t Hash() const {
    Fingerprint f;
    f.Add(host);
    return f.value();
  }
};

// An expected failure text and the image whose error text it becomes (0 the
// destination, i source i); a null text is any non-empty one, "" a success.
struct Text {
  const char* text = nullptr;
  size_t on = 0;
  Text() = default;
  Text(const char* t, size_t o = 0) : text(t), on(o) {}
};

using Call = uint32_t (*)(KLEM_HANDLE d, const KLEM_HANDLE* s);
#define CALL(...) [](KLEM_HANDLE d, [[maybe_unused]] const KLEM_HANDLE* s) -> uint32_t { return __VA_ARGS__; }

struct Row {
  const char* name;
  Call call;
  std::vector<uint32_t> images;  // destination, then the sources: a format, or 0 for the swept one
  std::vector<uint32_t> ok;      // the swept formats that work
  Text refused;                  // the text of the other formats
  Text emptyDest, emptySource;   // the destination, or the first source, empty
  std::vector<std::pair<uint32_t, Text>> except = {};  // swept formats refused with another text
  int32_t shrink = 0;            // the destination is this much narrower and lower
  bool sourcesWritten = false;   // the "sources" are the results
};

const std::vector<uint32_t> kD = {0}, kDS = {0, 0}, kDSS = {0, 0, 0};
const int32_t kValues[] = {0, 255}, kLevels[] = {0, 256}, kOrder[] = {2, 1, 0}, kKernel[9] = {1, 1, 1, 1, 1,
                                                                                              1, 1, 1, 1};
const uint8_t kMask[9] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
const double kIdentity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1}, kQuad[8] = {0, 0, 10, 0, 10, 8, 0, 8};
double gBox[4], gCoeffs[9];
const std::pair<uint32_t, Text> kEmptySize = {0, kDifferentSize}, kEmptyNoData = {0, kNoData},
                                kEmptyTooSmall = {0, kTooSmall}, kEmptyCrop = {0, kCrop};
constexpr const char* kSplitSize = "Destination channels dimension differs from source image dimension!";
constexpr const char* kFromSize = "Source channels dimension differs from destination image dimension!";
constexpr const char* kFloodEmpty = "Can't apply floodfill! " SIZE_STATUS;

// The common shapes: an image changed in place; an image from a source of its
// size and format; a size check first, then formats of their own; an image
// that must hold pixels; a query that reads only its source's size.
Row InPlace(const char* name, Call call, std::vector<uint32_t> ok = k8And24) {
  return {name, call, {0}, std::move(ok), kUnsupported, kUnsupported, {}};
}
Row FromSource(const char* name, Call call, std::vector<uint32_t> ok = k8And24,
               const char* empty = kDifferentSize) {
  return {name, call, {0, 0}, std::move(ok), kUnsupported, empty, empty};
}
Row Sized(const char* name, Call call, std::vector<uint32_t> images, std::vector<uint32_t> ok,
          const char* refused, std::pair<uint32_t, Text> except = kEmptySize) {
  return {name, call, std::move(images), std::move(ok), refused, kDifferentSize, kDifferentSize,
          {kEmptySize, except}};
}
Row WithData(const char* name, Call call, std::vector<uint32_t> images, std::vector<uint32_t> ok) {
  const Text emptySource = images.size() > 1 ? Text(kDifferentSize) : Text();
  return {name, call, std::move(images), std::move(ok), kUnsupported, kNoData, emptySource, {kEmptyNoData}};
}
Row Query(const char* name, Call call, const char* emptySource) {
  return {name, call, {8, 0}, kAny, {}, "", emptySource, {{0, emptySource}}};
}

const Row kRows[] = {
    FromSource("Add", CALL(KLEM_Add(d, s[0]))),
    InPlace("AddConstant", CALL(KLEM_AddConstant(d, 7))),
    FromSource("Subtract", CALL(KLEM_Subtract(d, s[0]))),
    InPlace("SubtractConstant", CALL(KLEM_SubtractConstant(d, 7))),
    FromSource("Multiply", CALL(KLEM_Multiply(d, s[0]))),
    InPlace("MultiplyConstant", CALL(KLEM_MultiplyConstant(d, 7))),
    FromSource("Divide", CALL(KLEM_Divide(d, s[0]))),
    InPlace("DivideConstant", CALL(KLEM_DivideConstant(d, 0x030303))),
    {"Difference", CALL(KLEM_Difference(d, s[0], s[1])), kDSS, k8And24, kUnsupported, kDifferentSize,
     kDifferentSize},
    FromSource("DifferenceConstant", CALL(KLEM_DifferenceConstant(d, s[0], 7))),
    FromSource("And", CALL(KLEM_And(d, s[0]))),
    InPlace("AndConstant", CALL(KLEM_AndConstant(d, 7))),
    FromSource("Or", CALL(KLEM_Or(d, s[0]))),
    InPlace("OrConstant", CALL(KLEM_OrConstant(d, 7))),
    FromSource("Xor", CALL(KLEM_Xor(d, s[0]))),
    InPlace("XorConstant", CALL(KLEM_XorConstant(d, 7))),
    InPlace("Invert", CALL(KLEM_Invert(d)), k1To24),
    InPlace("Scale", CALL(KLEM_Scale(d, 1, 2, 3, 0)), {8, 16, 24, 48}),
    Sized("HDRScaleDown into", CALL(KLEM_HDRScaleDown(d, s[0])), {0, 16}, k8, kDest8),
    Sized("HDRScaleDown from", CALL(KLEM_HDRScaleDown(d, s[0])), {8, 0}, {16}, kUnsupported, {48, kDest24}),
    InPlace("Fill", CALL(KLEM_Fill(d, 0x332211)), {1, 8, 24, 32}),
    FromSource("Copy", CALL(KLEM_Copy(d, s[0])), k8And24, kDifferentFormat),
    {"CopyWithMask", CALL(KLEM_CopyWithMask(d, s[0], s[1])), {0, 0, 8}, k8And24, kUnsupported, kDifferentFormat,
     kDifferentFormat, {kEmptySize}},
    {"CopyWithMask mask", CALL(KLEM_CopyWithMask(d, s[0], s[1])), {8, 8, 0}, k8, kNot8BitSource,
     kDifferentFormat, kDifferentFormat, {kEmptySize}},
    {"Crop", CALL(KLEM_Crop(d, s[0], 0, 0, kW - 1, kH - 1)), kDS, k8And24, kUnsupported, kDifferentFormat, kCrop,
     {kEmptyCrop}},
    {"CropTo", CALL(KLEM_CropTo(d, s[0], 0, 0, kW - 1, kH - 1, 0, 0)), kDS, k8And24, kUnsupported, kCrop, kCrop,
     {kEmptyCrop}},
    FromSource("CopyWithConstBorder", CALL(KLEM_CopyWithConstBorder(d, s[0], 0, 0, 7)), k8And24,
               kDifferentFormat),
    FromSource("CopyWithReplicateBorder", CALL(KLEM_CopyWithReplicateBorder(d, s[0], 0, 0)), k8And24,
               kDifferentFormat),
    {"SplitChannels", CALL(KLEM_SplitChannels(d, s[0], s[1], s[2])), {0, 8, 8, 8}, k24, kUnsupported, kNoData,
     kSplitSize, {kEmptyNoData}, 0, true},
    {"SplitChannels channels", CALL(KLEM_SplitChannels(d, s[0], s[1], s[2])), {24, 0, 0, 0}, k8,
     "Bitdepth of destination channels is not equal to 8Bit!", kNoData, kSplitSize, {{0, kSplitSize}}, 0, true},
    {"FromChannels", CALL(KLEM_FromChannels(d, s[0], s[1], s[2])), {0, 8, 8, 8}, k24, kUnsupported, kNoData,
     kFromSize, {kEmptyNoData}},
    {"FromChannels channels", CALL(KLEM_FromChannels(d, s[0], s[1], s[2])), {24, 0, 0, 0}, k8,
     "Bitdepth of source channels is not equal to 8Bit!", kNoData, kFromSize, {{0, kFromSize}}},
    {"SplitChannelsRGBA", CALL(KLEM_SplitChannelsRGBA(d, s[0], s[1], s[2], s[3])), {0, 8, 8, 8, 8}, k32,
     kUnsupported, kNoData, kSplitSize, {kEmptyNoData}, 0, true},
    {"FromChannelsRGBA", CALL(KLEM_FromChannelsRGBA(d, s[0], s[1], s[2], s[3])), {0, 8, 8, 8, 8}, k32,
     kUnsupported, kNoData, kFromSize, {kEmptyNoData}},
    WithData("SwapChannels", CALL(KLEM_SwapChannels(d, s[0], kOrder, 3)), kDS, {24, 32}),
    WithData("AlphaPremultiply", CALL(KLEM_AlphaPremultiply(d)), kD, k32),
    WithData("AlphaPremultiplyWithConstant", CALL(KLEM_AlphaPremultiplyWithConstant(d, 99)), kD, {8, 24, 32}),
    WithData("AlphaOverlay", CALL(KLEM_AlphaOverlay(d, s[0], s[1], 0)), kDSS, k32),
    WithData("AlphaOverlayWithConstant", CALL(KLEM_AlphaOverlayWithConstant(d, s[0], 99, s[1], 200, 0)), kDSS,
             {8, 24, 32}),
    WithData("ApplyAlphaChannelConstant", CALL(KLEM_ApplyAlphaChannelConstant(d, 99)), kD, k32),
    WithData("ApplyAlphaChannel", CALL(KLEM_ApplyAlphaChannel(d, s[0])), {0, 8}, k32),
    {"ApplyAlphaChannel alpha", CALL(KLEM_ApplyAlphaChannel(d, s[0])), {32, 0}, k8, kNot8BitSource, kNoData,
     kDifferentSize, {kEmptySize}},
    {"FloodFill", CALL(KLEM_FloodFill(d, 1, 1, 9, 0, 0, 0)), kD, k8, kUnsupported, kFloodEmpty, {},
     {{0, kFloodEmpty}}},
    InPlace("RGBtoCMY", CALL(KLEM_RGBtoCMY(d)), k1To24),
    InPlace("CMYtoRGB", CALL(KLEM_CMYtoRGB(d)), k1To24),
    FromSource("RGBtoYUV", CALL(KLEM_RGBtoYUV(d, s[0])), k24),
    FromSource("YUVtoRGB", CALL(KLEM_YUVtoRGB(d, s[0])), k24),
    FromSource("RGBtoXYZ", CALL(KLEM_RGBtoXYZ(d, s[0])), k24),
    FromSource("XYZtoRGB", CALL(KLEM_XYZtoRGB(d, s[0])), k24),
    FromSource("RGBtoYCC", CALL(KLEM_RGBtoYCC(d, s[0])), k24),
    FromSource("YCCtoRGB", CALL(KLEM_YCCtoRGB(d, s[0])), k24),
    Sized("Grayscale8Bit into", CALL(KLEM_Grayscale8Bit(d, s[0])), {0, 24}, k8, kDest8),
    Sized("Grayscale8Bit from", CALL(KLEM_Grayscale8Bit(d, s[0])), {8, 0}, {1, 24}, kUnsupported),
    Sized("Grayscale into", CALL(KLEM_Grayscale(d, s[0])), {0, 24}, k24, kDest24),
    Sized("Grayscale from", CALL(KLEM_Grayscale(d, s[0])), {24, 0}, {1, 24}, kUnsupported),
    Sized("ConvertTo1Bit into", CALL(KLEM_ConvertTo1Bit(d, s[0], 128)), {0, 8}, {1}, kDest1),
    Sized("ConvertTo1Bit from", CALL(KLEM_ConvertTo1Bit(d, s[0], 128)), {1, 0}, k1To24, kUnsupported),
    InPlace("GammaCorrection", CALL(KLEM_GammaCorrection(d, 1)), k24),
    FromSource("LookUpTable8Bit", CALL(KLEM_LookUpTable8Bit(d, s[0], kValues, kLevels, 2, 1)), k8),
    FromSource("LookUpTable", CALL(KLEM_LookUpTable(d, s[0], kLevels, kValues, 2, kLevels, kValues, 2, kLevels,
                                                    kValues, 2, 2)), k24),
    InPlace("ThresholdGT", CALL(KLEM_ThresholdGT(d, 0x804020))),
    InPlace("ThresholdLT", CALL(KLEM_ThresholdLT(d, 0x804020))),
    InPlace("ThresholdGTVal", CALL(KLEM_ThresholdGTVal(d, 0x804020, 9))),
    InPlace("ThresholdLTVal", CALL(KLEM_ThresholdLTVal(d, 0x804020, 9))),
    InPlace("ThresholdLTValGTVal", CALL(KLEM_ThresholdLTValGTVal(d, 20, 0, 200, 255))),
    {"Erode", CALL(KLEM_Erode(d)), kD, k8And24, kUnsupported, kTooSmall, {}, {kEmptyTooSmall}},
    {"Dilate", CALL(KLEM_Dilate(d)), kD, k8And24, kUnsupported, kTooSmall, {}, {kEmptyTooSmall}},
    {"ErodeEx", CALL(KLEM_ErodeEx(d, kMask, 3, 3)), kD, k8And24, kUnsupported, kTooSmall, {}, {kEmptyTooSmall}},
    {"DilateEx", CALL(KLEM_DilateEx(d, kMask, 3, 3)), kD, k8And24, kUnsupported, kTooSmall, {}, {kEmptyTooSmall}},
    FromSource("Filter", CALL(KLEM_Filter(d, 1, s[0]))),
    {"FilterUserDefined", CALL(KLEM_FilterUserDefined(d, s[0], kKernel, 3, 3, 1, 1, 9)), kDS, k8And24,
     kUnsupported, kDifferentSize, kDifferentSize, {kEmptyTooSmall}},
    {"Antialias", CALL(KLEM_Antialias(d, s[0])), kDS, k8And24, kUnsupported, kDifferentSize, kDifferentSize,
     {kEmptyTooSmall}},
    {"ScaleToGray into", CALL(KLEM_ScaleToGray(d, s[0], 0)), {0, 1}, k8, kDest8, kDifferentSize, {kDest1, 1},
     {kEmptySize}},
    {"ScaleToGray from", CALL(KLEM_ScaleToGray(d, s[0], 1)), {8, 0}, {1}, {kDest1, 1}, kDifferentSize, {kDest1, 1}},
    FromSource("Resize", CALL(KLEM_Resize(d, s[0], kW, kH, 0)), k1To24, kDifferentFormat),
    InPlace("MirrorHorizontal", CALL(KLEM_MirrorHorizontal(d))),
    InPlace("MirrorVertical", CALL(KLEM_MirrorVertical(d))),
    // A 1-bit result of a turn by 0 is one pixel narrower and lower than its source.
    {"Rotate", CALL(KLEM_Rotate(d, s[0], 0.0, 0)), kDS, k1To24, kUnsupported, kDifferentFormat, kDifferentFormat,
     {}, 1},
    FromSource("RotateCenter", CALL(KLEM_RotateCenter(d, s[0], 30.0, 1, 1, 0)), k8And24, kDifferentFormat),
    FromSource("Shear", CALL(KLEM_Shear(d, s[0], 0.25, 0.0, 0)), k8And24, kDifferentFormat),
    FromSource("WarpPerspective", CALL(KLEM_WarpPerspective(d, s[0], kIdentity, 9, 0)), k8And24,
               kDifferentFormat),
    // The queries read only the source's size; the handle holds their text.
    Query("RotateBox", CALL(KLEM_RotateBox(d, s[0], 30.0, gBox, gBox + 1, gBox + 2, gBox + 3)),
          "Can't get rotate bounding box! " SIZE_STATUS),
    Query("ShearBox", CALL(KLEM_ShearBox(d, s[0], 0.25, 0.5, gBox, gBox + 1, gBox + 2, gBox + 3)),
          "Can't get shear bounding box! " SIZE_STATUS),
    Query("WarpPerspectiveCoefficients", CALL(KLEM_WarpPerspectiveCoefficients(d, s[0], kQuad, 8, gCoeffs, 9)),
          "Can't get warp perspective coefficients! " SIZE_STATUS),
    Query("WarpPerspectiveBox",
          CALL(KLEM_WarpPerspectiveBox(d, s[0], kIdentity, 9, gBox, gBox + 1, gBox + 2, gBox + 3)),
          "Can't get warp perspective bounding box! " SIZE_STATUS),
};

// The images of one call of a row, the swept format standing for every 0.
struct Images {
  std::vector<std::unique_ptr<Image>> all;
  std::vector<KLEM_HANDLE> handles;
  Images(const Row& row, uint32_t swept) {
    for (size_t i = 0; i < row.images.size(); ++i) {
      const int32_t shrink = i == 0 ? row.shrink : 0;
      all.push_back(std::make_unique<Image>(row.images[i] ? row.images[i] : swept, uint32_t(i + 1),
                                            kW - shrink, kH - shrink));
      handles.push_back(all.back()->host.h());
    }
  }
  uint32_t Call(const Row& row) const { return row.call(handles[0], handles.data() + 1); }
  std::vector<uint64_t> Hashes() const {
    std::vector<uint64_t> hashes;
    for (const auto& image : all) hashes.push_back(image->Hash());
    return hashes;
  }
};

// The call succeeds with no text and leaves its sources as they were, or fails
// with the text on its image and changes no image. The other images' texts stay.
void ExpectCall(const Row& row, const Images& images, const Text& expected) {
  const std::vector<uint64_t> before = images.Hashes();
  const bool success = expected.text && !*expected.text;
  EXPECT_EQ(images.Call(row), success ? KLEM_OK : KLEM_FAILED);
  const std::string text = images.all[expected.on]->host.Error();
  if (expected.text) {
    EXPECT_EQ(text, expected.text);
  } else {
    EXPECT_TRUE(!text.empty() && text != kStale) << text;
  }
  const std::vector<uint64_t> after = images.Hashes();
  for (size_t i = 0; i < images.all.size(); ++i) {
    if (i != expected.on) {
      EXPECT_EQ(images.all[i]->host.Error(), kStale) << "the text of image " << i;
    }
    if (!success || (i > 0 && !row.sourcesWritten)) {
      EXPECT_EQ(after[i], before[i]) << "image " << i << " changed";
    }
  }
}

uint32_t GoodFormat(const Row& row) { return row.ok.front(); }

TEST(BadInputSweep, NullHandleTouchesNothing) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.name);
    Images images(row, GoodFormat(row));
    const std::vector<uint64_t> before = images.Hashes();
    EXPECT_EQ(row.call(nullptr, images.handles.data() + 1), KLEM_INVALID_ARG);
    EXPECT_EQ(images.Hashes(), before);
    for (const auto& image : images.all) EXPECT_EQ(image->host.Error(), kStale);
  }
}

TEST(BadInputSweep, NullSourceIsRefusedBeforeAnyPixel) {
  for (const Row& row : kRows) {
    for (size_t i = 1; i < row.images.size(); ++i) {
      SCOPED_TRACE(::testing::Message() << row.name << ", source " << i);
      Images images(row, GoodFormat(row));
      images.handles[i] = nullptr;
      ExpectCall(row, images, kNullSource);
    }
  }
}

TEST(BadInputSweep, EmptyImagesAreRefused) {
  for (const Row& row : kRows) {
    for (size_t i = 0; i < row.images.size(); ++i) {
      SCOPED_TRACE(::testing::Message() << row.name << ", empty image " << i);
      Images images(row, GoodFormat(row));
      KLEM_Clear(images.handles[i]);
      ExpectCall(row, images, i == 0 ? row.emptyDest : i == 1 ? row.emptySource : Text());
    }
  }
}

TEST(BadInputSweep, EveryFormatWorksOrIsRefusedWithItsText) {
  for (const Row& row : kRows) {
    for (uint32_t format : kFormats) {
      SCOPED_TRACE(::testing::Message() << row.name << ", format " << format);
      Images images(row, format);
      const auto except = std::ranges::find(row.except, format, &std::pair<uint32_t, Text>::first);
      ExpectCall(row, images, std::ranges::find(row.ok, format) != row.ok.end() ? Text("")
                              : except != row.except.end()                      ? except->second
                                                                                : row.refused);
    }
  }
}

// Creation makes every code but 0, 9 and 25, which only the attach calls take.
TEST(BadInputSweep, CreationRefusesTheCodesItCannotMake) {
  std::vector<uint8_t> memory(kW * kH * 3);
  const uint32_t size = uint32_t(memory.size());
  Image image(8, 1, kW, kH);
  const KLEM_HANDLE h = image.host.h();
  const uint64_t before = image.Hash();
  for (const uint32_t result :
       {KLEM_Create(h, kW, kH, 0), KLEM_Create(h, kW, kH, 9), KLEM_Create(h, kW, kH, 25),
        KLEM_AttachNoFree(h, memory.data(), size, kW, kH, 0), KLEM_AttachNoFree(h, memory.data(), size, kW, kH, 25),
        KLEM_AttachNoFreeEx(h, memory.data(), size, kW, kH, kW * 3, 0)}) {
    EXPECT_EQ(result, KLEM_FAILED);
    EXPECT_EQ(image.host.Error(), "Invalid bits per pixel value!");
    EXPECT_EQ(image.Hash(), before);
  }
}

// The exports that are not image operations: a null handle, or a null out
// pointer beside a good handle, is refused, and nothing is written anywhere.
TEST(BadInputSweep, FrameExportsRefuseNullHandlesAndOutPointers) {
  int32_t i = 5;
  uint32_t u = 5;
  void* memory = &i;
  const char* text = "untouched";
  char buffer[KLEM_ERROR_BUFFER_SIZE] = "untouched";
  std::vector<uint8_t> pixels = Pattern(24, 9);
  const std::vector<uint8_t> pixelsBefore = pixels;
  double v[9] = {7, 7, 7, 7, 7, 7, 7, 7, 7};
  uint8_t* px = pixels.data();
  Image image(24, 1, kW, kH);
  const KLEM_HANDLE o = image.host.h();
  const uint64_t before = image.Hash();
  HostMath math;
  ZEV_SetError(math.h(), kStale);
  const ZEV_HANDLE m = math.h();
  const uint32_t results[] = {
      KLEM_FreeCKorPelora(nullptr), KLEM_GetError(nullptr, buffer), KLEM_SetError(nullptr, "x"),
      KLEM_GetVersion(nullptr, &text), KLEM_GetProcessorDetected(nullptr, &text),
      KLEM_GetProcessorCodeUsed(nullptr, &text), KLEM_GetProcessorDetails(nullptr, &text),
      KLEM_GetScaleFactor(nullptr, &i), KLEM_SetScaleFactor(nullptr, 3), KLEM_Create(nullptr, 1, 1, 8),
      KLEM_AttachNoFree(nullptr, px, 3, 1, 1, 24), KLEM_AttachNoFreeEx(nullptr, px, 3, 1, 1, 3, 25),
      KLEM_Clear(nullptr), KLEM_GetWidth(nullptr, &i), KLEM_GetHeight(nullptr, &i),
      KLEM_GetBitsPerPixel(nullptr, &u), KLEM_GetWidthBytes(nullptr, &i), KLEM_GetImageMemory(nullptr, &memory),
      KLEM_GetImageSizeInBytes(nullptr, &u), KLEM_GetRoiForFilter(nullptr, 3, 3, &i, &i, &i),
      KLEM_GetRoiForFilterEx(nullptr, 3, 3, 1, 1, &i, &i, &i), KLEM_GetFilterBorder(nullptr, 3, 3, &i, &i),
      KLEM_GetFilterBorderEx(nullptr, 3, 3, 1, 1, &i, &i), KLEM_RGBtoBGR(nullptr, px, 6, px + 12, 6, 2, 2, 1),
      KLEM_RGBAtoBGRA(nullptr, px, 8, px + 16, 8, 2, 1, 0),
      KLEM_GetError(o, nullptr), KLEM_GetVersion(o, nullptr), KLEM_GetProcessorDetected(o, nullptr),
      KLEM_GetProcessorCodeUsed(o, nullptr), KLEM_GetProcessorDetails(o, nullptr),
      KLEM_GetScaleFactor(o, nullptr), KLEM_GetWidth(o, nullptr), KLEM_GetHeight(o, nullptr),
      KLEM_GetBitsPerPixel(o, nullptr), KLEM_GetWidthBytes(o, nullptr), KLEM_GetImageMemory(o, nullptr),
      KLEM_GetImageSizeInBytes(o, nullptr), KLEM_GetRoiForFilter(o, 3, 3, nullptr, &i, &i),
      KLEM_GetRoiForFilter(o, 3, 3, &i, nullptr, &i), KLEM_GetRoiForFilter(o, 3, 3, &i, &i, nullptr),
      KLEM_GetRoiForFilterEx(o, 3, 3, 1, 1, &i, &i, nullptr), KLEM_GetFilterBorder(o, 3, 3, nullptr, &i),
      KLEM_GetFilterBorder(o, 3, 3, &i, nullptr), KLEM_GetFilterBorderEx(o, 3, 3, 1, 1, &i, nullptr),
      ZEV_FreeCFastMath(nullptr), ZEV_GetError(nullptr, buffer), ZEV_SetError(nullptr, "x"),
      ZEV_GetVersion(nullptr, &text), ZEV_GetProcessorDetected(nullptr, &text),
      ZEV_GetProcessorCodeUsed(nullptr, &text), ZEV_Add(nullptr, v, 1, v, v + 3, 1),
      ZEV_Sub(nullptr, v, 1, v, v + 3, 1), ZEV_Mul(nullptr, v, 1, v, v + 3, 1),
      ZEV_MulMatrix(nullptr, v, 3, 1, v, 1, v, 1), ZEV_GetError(m, nullptr), ZEV_GetVersion(m, nullptr),
      ZEV_GetProcessorDetected(m, nullptr), ZEV_GetProcessorCodeUsed(m, nullptr),
  };
  for (size_t k = 0; k < std::size(results); ++k) EXPECT_EQ(results[k], KLEM_INVALID_ARG) << "call " << k;
  EXPECT_EQ(std::vector<double>(v, v + 9), std::vector<double>(9, 7));
  EXPECT_EQ((std::pair{i, u}), (std::pair{5, 5u}));
  EXPECT_EQ(memory, &i);
  EXPECT_STREQ(text, "untouched");
  EXPECT_STREQ(buffer, "untouched");
  EXPECT_EQ(pixels, pixelsBefore);
  EXPECT_EQ(image.Hash(), before);
  EXPECT_EQ(image.host.Error(), kStale);
  char zev[KLEM_ERROR_BUFFER_SIZE];
  ZEV_GetError(m, zev);
  EXPECT_STREQ(zev, kStale);
}

#define NULL_STATUS " Error(-8)krnStsNullPtrErr: Null pointer error"

// Every array of the vector operations may be null: refused with the
// operation's text and the null-pointer status, nothing written.
TEST(BadInputSweep, VectorOperationsRefuseNullArrays) {
  using VectorOp = uint32_t (*)(ZEV_HANDLE, const double*, int32_t, const double*, double*, int32_t);
  const std::pair<VectorOp, std::string> ops[] = {
      {ZEV_Add, "Can't add!"}, {ZEV_Sub, "Can't sub!"}, {ZEV_Mul, "Can't mul!"},
      {[](ZEV_HANDLE h, const double* source, int32_t count, const double* matrix, double* dest, int32_t dc) {
         return ZEV_MulMatrix(h, matrix, 3, 3, source, count, dest, dc);
       }, "Can't multiply with matrix!"}};
  const double values[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  for (const auto& [op, message] : ops) {
    for (int null = 0; null < 3; ++null) {  // the source, the vector or matrix, the destination
      HostMath math;
      double dest[6] = {7, 7, 7, 7, 7, 7};
      EXPECT_EQ(op(math.h(), null == 0 ? nullptr : values, 2, null == 1 ? nullptr : values,
                   null == 2 ? nullptr : dest, 2), KLEM_FAILED) << message << null;
      EXPECT_EQ(math.Error(), message + NULL_STATUS);
      EXPECT_EQ(std::vector<double>(dest, dest + 6), std::vector<double>(6, 7)) << message << null;
    }
  }
}

}  // namespace
}  // namespace klem::test
