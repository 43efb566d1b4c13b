// Colour conversions and red/blue swaps: every entry against the plain
// formulas over the colour cube, the kernels' statuses in their order, and
// the exported calls' checks, messages and the images they leave.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "handle_test_support.h"
#include "kernel_test_support.h"
#include "kernels/colour_convert.h"

namespace klem::test {
namespace {

using kernels::ConvertColour8uFn;
using kernels::KernelDispatchTable;
using kernels::ROI;

// floor(x / 2^k) by real division (exact for these magnitudes), clamped.
int32_t F(double x, int32_t k) { return static_cast<int32_t>(std::floor(x / std::ldexp(1.0, k))); }
uint8_t C(int32_t v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); }

using Out = std::array<uint8_t, 3>;

struct Conversion {
  const char* name;
  const KernelDispatchTable<ConvertColour8uFn>& table;
  Out (*reference)(double, double, double);
};

const Conversion kConversions[] = {
    {"RGB to YUV", kernels::kConvertRGBToYUV8u, [](double r, double g, double b) -> Out {
       const double s = 19595 * r + 38470 * g + 7471 * b;
       const int32_t tu = F(65536 * b - s + 32767, 16), tv = F(65536 * r - s + 32767, 16);
       return {C(F(s, 16)), C(F(tu * 32244.0, 16) + 128), C(F(tv * 57475.0, 16) + 128)};
     }},
    {"YUV to RGB", kernels::kConvertYUVToRGB8u, [](double y, double u, double v) -> Out {
       u -= 128, v -= 128;
       return {C(F(65536 * y + 74711 * v, 16)), C(F(65536 * y - 25821 * u - 38076 * v, 16)),
               C(F(65536 * y + 133169 * u, 16))};
     }},
    {"RGB to XYZ", kernels::kConvertRGBToXYZ8u, [](double r, double g, double b) -> Out {
       return {C(F(27030 * r + 23434 * g + 11824 * b, 16)), C(F(13937 * r + 46868 * g + 4729 * b, 16)),
               C(F(1267 * r + 7811 * g + 62274 * b, 16))};
     }},
    {"XYZ to RGB", kernels::kConvertXYZToRGB8u, [](double x, double y, double z) -> Out {
       return {C(F(212368 * x - 100738 * y - 32671 * z, 16)), C(F(-63521 * x + 122944 * y + 2723 * z, 16)),
               C(F(3646 * x - 13372 * y + 69291 * z, 16))};
     }},
    {"RGB to YCC", kernels::kConvertRGBToYCC8u, [](double r, double g, double b) -> Out {
       const double s = 4898 * r + 9617 * g + 1867 * b;
       return {C(F(F(s, 10) * 2921.0, 16)), C(F(F(16384 * b - s, 10) * 1789.0, 16) + 156),
               C(F(F(16384 * r - s, 10) * 2178.0, 16) + 137)};
     }},
    {"YCC to RGB", kernels::kConvertYCCToRGB8u, [](double y, double c1, double c2) -> Out {
       const double a = 5564 * y, b = 9084 * (c1 - 156), c = 7460 * (c2 - 137);
       return {C(F(a + c, 12)), C(F(16 * a - 794.0 * F(b, 8) - 2084.0 * F(c, 8), 16)), C(F(a + b, 12))};
     }},
};

// A dense sample of the 2^24 colours (the whole cube takes some ten seconds
// over every entry: set the stride to 1 to run it), sparser where the build
// is slow (Debug and sanitizers).
#ifdef NDEBUG
constexpr uint32_t kColourStride = 13;
#else
constexpr uint32_t kColourStride = 211;
#endif

TEST(ColourConversions, EveryEntryFollowsTheFormulasOverTheColourCube) {
  std::vector<uint8_t> colours;
  for (uint32_t i = 0; i < (1u << 24); i += kColourStride) {
    colours.insert(colours.end(), {uint8_t(i), uint8_t(i >> 8), uint8_t(i >> 16)});
  }
  const int32_t pixels = static_cast<int32_t>(colours.size() / 3);
  for (const Conversion& conversion : kConversions) {
    std::vector<uint8_t> expected(colours.size());
    for (int32_t p = 0; p < pixels; ++p) {
      const Out out = conversion.reference(colours[3 * p], colours[3 * p + 1], colours[3 * p + 2]);
      std::copy(out.begin(), out.end(), expected.begin() + 3 * p);
    }
    ForEachImplementation(conversion.table, [&](int32_t entry, ConvertColour8uFn* fn) {
      std::vector<uint8_t> actual = colours;  // in place, as one long row
      ASSERT_EQ(fn(actual.data(), 3 * pixels, actual.data(), 3 * pixels, ROI{pixels, 1}), 0);
      const auto diff = std::mismatch(actual.begin(), actual.end(), expected.begin());
      EXPECT_TRUE(diff.first == actual.end())
          << conversion.name << " " << EntryName(entry) << " pixel " << (diff.first - actual.begin()) / 3;
    });
  }
}

TEST(ColourConversions, KernelStatusesComeInTheirOrder) {
  using namespace kernels;
  uint8_t bytes[16] = {};
  static const int32_t kReverse4[4] = {2, 1, 0, 3}, kBad3[3] = {0, 3, 1}, kBad4[4] = {0, 1, 2, 4};
  ExpectStatusesOnEveryEntry({
      Refusal("null source", kStsNullPtrErr, kConvertRGBToYUV8u, nullptr, 3, bytes, 3, ROI{0, 1}),
      Refusal("null destination", kStsNullPtrErr, kConvertYCCToRGB8u, bytes, 3, nullptr, 3, ROI{1, 1}),
      Refusal("empty region", kStsSizeErr, kConvertXYZToRGB8u, bytes, 3, bytes, 3, ROI{1, 0}),
      Refusal("any step", kStsNoErr, kConvertRGBToXYZ8u, bytes, -3, bytes, 0, ROI{1, 1}),
      Refusal("C3 null order", kStsNullPtrErr, kSwapChannelsInPlace8uC3, bytes, 0, ROI{0, 1}, nullptr),
      Refusal("C3 size before step", kStsSizeErr, kSwapChannelsInPlace8uC3, bytes, 0, ROI{0, 1}, kBad3),
      Refusal("C3 step before order", kStsStepErr, kSwapChannelsInPlace8uC3, bytes, 0, ROI{1, 1}, kBad3),
      Refusal("C3 order", kStsChannelOrderErr, kSwapChannelsInPlace8uC3, bytes, 3, ROI{1, 1}, kBad3),
      Refusal("C4 null buffer", kStsNullPtrErr, kSwapChannelsInPlace8uC4, nullptr, 0, ROI{0, 1}, kReverse4),
      Refusal("C4 step before size", kStsStepErr, kSwapChannelsInPlace8uC4, bytes, 0, ROI{0, 1}, kBad4),
      Refusal("C4 size before order", kStsSizeErr, kSwapChannelsInPlace8uC4, bytes, 4, ROI{1, 0}, kBad4),
      Refusal("C4 order", kStsChannelOrderErr, kSwapChannelsInPlace8uC4, bytes, 4, ROI{1, 1}, kBad4),
  });
}

std::string KernelText(const char* message, kernels::KernelStatus status) {
  return std::string(message) + " Error(" + std::to_string(status) + ")" + kernels::StatusToText(status);
}

using Convert = uint32_t (*)(KLEM_HANDLE, KLEM_HANDLE);
const Convert kConverts[] = {KLEM_RGBtoYUV, KLEM_YUVtoRGB, KLEM_RGBtoXYZ,
                             KLEM_XYZtoRGB, KLEM_RGBtoYCC, KLEM_YCCtoRGB};

// Size before format; a refused call leaves the destination as it was.
TEST(ColourConversions, ChecksComeInTheirOrderAndLeaveTheImageAlone) {
  for (Convert convert : kConverts) {
    HostImage dest(5, 3, 24, Pattern(45, 1)), source(5, 3, 24, Pattern(45, 2));
    HostImage taller8(5, 4, 8), gray(5, 3, 8);
    const std::vector<uint8_t> before = dest.Bytes();
    for (const auto& [from, text] : {std::pair{taller8.h(), kDifferentSize}, {gray.h(), kDifferentFormat}}) {
      EXPECT_EQ(convert(dest.h(), from), KLEM_FAILED);
      EXPECT_EQ(dest.Error(), text);
    }
    EXPECT_EQ(dest.Bytes(), before);
    EXPECT_EQ(convert(dest.h(), source.h()), KLEM_OK);
    EXPECT_EQ(dest.Error(), "");
    // In place gives what a copy of the source gives.
    const std::vector<uint8_t> converted = dest.Bytes();
    EXPECT_EQ(convert(source.h(), source.h()), KLEM_OK);
    EXPECT_EQ(source.Bytes(), converted);
  }
}

// The red/blue swaps on host buffers: what they copy and swap, and the
// arguments that would take them outside the host's rows, refused before
// anything is written.
struct SwapRow {
  const char* what;
  int32_t bytes;  // per pixel: 3 or 4
  int32_t srcStep, dstStep, width, height, flip;
  bool nullSource = false, nullDest = false;
  kernels::KernelStatus status = kernels::kStsNoErr;  // the refusal's status
  bool copiedFirst = false;  // the rows are copied before the refusal
};

TEST(RedBlueSwaps, CopySwapAndRefuseWhatWouldLeaveTheRows) {
  using namespace kernels;
  const SwapRow rows[] = {
      {"RGB", 3, 9, 9, 3, 2, 0},
      {"RGB flipped, padded rows", 3, 11, 10, 3, 3, 1},
      {"RGBA, source rows longer", 4, 14, 12, 3, 2, 0},
      {"RGBA flipped", 4, 8, 8, 2, 3, 1},
      {"short source rows copy what they hold", 3, 4, 9, 3, 2, 0},
      {"negative source step copies nothing", 3, -9, 9, 3, 2, 0},
      {"width 0 copies, then fails", 3, 9, 9, 0, 2, 0, false, false, kStsSizeErr, true},
      {"RGBA width 0 step 0: the step first", 4, 8, 0, 0, 2, 0, false, false, kStsStepErr, false},
      {"null source", 3, 9, 9, 3, 2, 0, true, false, kStsNullPtrErr},
      {"null destination", 4, 12, 12, 3, 2, 0, false, true, kStsNullPtrErr},
      {"destination step below the row", 3, 9, 8, 3, 2, 0, false, false, kStsStepErr},
      {"negative destination step", 4, 12, -12, 3, 2, 1, false, false, kStsStepErr},
      {"height 0 copies nothing", 4, 12, 12, 3, 0, 0, false, false, kStsSizeErr},
  };
  for (const SwapRow& row : rows) {
    SCOPED_TRACE(row.what);
    const bool rgba = row.bytes == 4;
    const char* message = rgba ? "Can't convert RGBAtoBGRA!" : "Can't convert RGBtoBGR!";
    const int32_t rows3 = std::max(row.height, 1);
    const std::vector<uint8_t> src = Pattern(std::abs(row.srcStep) * rows3, 3);
    std::vector<uint8_t> dst = Pattern(std::abs(row.dstStep) * rows3 + 1, 4);
    // What the copy and swap leave: rows of min(steps) bytes, then bytes 0, 2 swapped.
    std::vector<uint8_t> expected = dst;
    const int32_t copy = std::max(0, std::min(row.srcStep, row.dstStep));
    for (int32_t i = 0; i < row.height && (row.status == kStsNoErr || row.copiedFirst); ++i) {
      std::copy_n(src.begin() + i * row.srcStep, copy, expected.begin() + (row.flip ? row.height - 1 - i : i) * row.dstStep);
      for (int32_t x = 0; x < row.width && row.status == kStsNoErr; ++x) {
        std::swap(expected[(row.flip ? row.height - 1 - i : i) * row.dstStep + row.bytes * x],
                  expected[(row.flip ? row.height - 1 - i : i) * row.dstStep + row.bytes * x + 2]);
      }
    }
    HostImage handle(2, 2, 24);
    const std::vector<uint8_t> image = handle.Bytes();
    const uint8_t* from = row.nullSource ? nullptr : src.data();
    uint8_t* to = row.nullDest ? nullptr : row.dstStep < 0 ? dst.data() + dst.size() - 1 + row.dstStep : dst.data();
    const auto call = rgba ? KLEM_RGBAtoBGRA : KLEM_RGBtoBGR;
    EXPECT_EQ(call(handle.h(), from, row.srcStep, to, row.dstStep, row.width, row.height, row.flip),
              row.status == kStsNoErr ? KLEM_OK : KLEM_FAILED);
    EXPECT_EQ(handle.Error(), row.status == kStsNoErr ? "" : KernelText(message, row.status));
    EXPECT_EQ(dst, expected);
    EXPECT_EQ(handle.Bytes(), image);  // the handle's own image is never touched
  }
}

// One buffer as source and destination: each row copied onto itself, then swapped.
TEST(RedBlueSwaps, InPlace) {
  std::vector<uint8_t> pixels = Pattern(4 * 4 * 5, 5), expected = pixels;
  for (size_t p = 0; p < expected.size(); p += 4) std::swap(expected[p], expected[p + 2]);
  EXPECT_EQ(KLEM_RGBAtoBGRA(HostImage().h(), pixels.data(), 20, pixels.data(), 20, 5, 4, 0), KLEM_OK);
  EXPECT_EQ(pixels, expected);
}

}  // namespace
}  // namespace klem::test
