// The exported operations: those on every sample of an image (arithmetic,
// logic and scaling), their checks in order, the formats each accepts and
// their results; then those on arrays of vectors.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <string>

#include "frame/library_texts.h"
#include "handle_test_support.h"

namespace klem::test {
namespace {


using ImageOp = uint32_t (*)(KLEM_HANDLE, KLEM_HANDLE);

// 16-bit samples as the bytes of a little-endian image.
std::vector<uint8_t> Wide(const std::vector<uint16_t>& samples) {
  std::vector<uint8_t> bytes;
  for (uint16_t s : samples) bytes.insert(bytes.end(), {uint8_t(s), uint8_t(s >> 8)});
  return bytes;
}

// One operation on an image d (and a source s where it has one).
#define OP(...) [](KLEM_HANDLE d, [[maybe_unused]] KLEM_HANDLE s) -> uint32_t { return __VA_ARGS__; }

// Sources are checked size before format; a refused call leaves the image as
// it was. (Formats, null and empty images of every export: bad_input_sweep_test.)
TEST(PerSampleOps, ChecksComeInTheirOrder) {
  const ImageOp ops[] = {OP(KLEM_Add(d, s)), OP(KLEM_Subtract(d, s)), OP(KLEM_Multiply(d, s)),
                         OP(KLEM_Divide(d, s)), OP(KLEM_And(d, s)), OP(KLEM_Or(d, s)), OP(KLEM_Xor(d, s)),
                         OP(KLEM_Difference(d, s, s)), OP(KLEM_DifferenceConstant(d, s, 1))};
  for (size_t i = 0; i < std::size(ops); ++i) {
    HostImage dest(4, 3, 8, Pattern(12, 1)), taller(4, 4, 24), colour(4, 3, 24);
    for (const auto& [source, text] : {std::pair{taller.h(), kDifferentSize}, {colour.h(), kDifferentFormat}}) {
      EXPECT_EQ(ops[i](dest.h(), source), KLEM_FAILED) << i;
      EXPECT_EQ(dest.Error(), text) << i;
      EXPECT_EQ(dest.Bytes(), Pattern(12, 1)) << i;
    }
  }
  // Both sizes before either format.
  HostImage dest(4, 3, 8), taller(4, 4, 24), colour(4, 3, 24), black(4, 3, 32);
  EXPECT_EQ(KLEM_Difference(dest.h(), colour.h(), taller.h()), KLEM_FAILED);
  EXPECT_EQ(dest.Error(), kDifferentSize);
  EXPECT_EQ(KLEM_Difference(dest.h(), dest.h(), colour.h()), KLEM_FAILED);
  EXPECT_EQ(dest.Error(), kDifferentFormat);
  // The format is checked before zero counts make the call a no-op.
  EXPECT_EQ(KLEM_Scale(black.h(), 0, 0, 0, 0), KLEM_FAILED);
  EXPECT_EQ(black.Error(), kUnsupported);
}

struct Result {
  const char* name;
  uint32_t format;  // of both rows, unless the source has its own
  std::vector<uint8_t> dest, source;
  ImageOp op;
  std::vector<uint8_t> expected;
  int32_t scale = 0;
  const char* text = "";  // the failure text; the call succeeds when it is empty
  uint32_t sourceFormat = 0;
  int32_t width = 0;  // of the destination, when its bytes do not tell
};

const std::vector<uint8_t> kSix = {1, 200, 30, 0, 255, 7}, kSixMore = {5, 100, 30, 255, 0, 9};

const Result kResults[] = {
    {"add ties to even", 8, {200, 1, 2, 1}, {100, 2, 3, 0}, OP(KLEM_Add(d, s)), {150, 2, 2, 0}, 1},
    {"add scaled up", 8, {100, 0, 0}, {50, 1, 0}, OP(KLEM_Add(d, s)), {255, 2, 0}, -1},
    {"add saturated up", 8, {0, 0, 1}, {1, 0, 0}, OP(KLEM_Add(d, s)), {255, 0, 255}, -8},
    {"subtract below zero", 8, {10, 20}, {20, 20}, OP(KLEM_Subtract(d, s)), {0, 0}, -3},
    {"add at the last scale that keeps a sum", 8, {255, 1}, {2, 0}, OP(KLEM_Add(d, s)), {1, 0}, 9},
    {"add scaled to nothing", 24, {200, 200, 200}, {200, 200, 200}, OP(KLEM_Add(d, s)), {0, 0, 0}, 10},
    {"add itself", 8, {100, 3}, {}, OP(KLEM_Add(d, d)), {200, 6}},
    {"multiply", 8, {255, 128}, {255, 2}, OP(KLEM_Multiply(d, s)), {254, 1}, 8},
    {"divide by zero samples", 8, {5, 7, 3, 1, 9, 0}, {2, 2, 2, 2, 0, 0}, OP(KLEM_Divide(d, s)),
     {2, 4, 2, 0, 255, 0}, 0, "Can't divide image! Warning(6)krnStsDivByZero: Zero value(s) of "
     "the divisor in the function Div"},
    {"difference, unscaled", 24, kSix, kSixMore, OP(KLEM_Difference(d, d, s)),
     {4, 100, 0, 255, 255, 2}, 3},
    {"difference constant: its lowest byte", 24, std::vector<uint8_t>(6), kSix,
     OP(KLEM_DifferenceConstant(d, s, 0x00FFFF10)), {15, 184, 14, 16, 239, 9}},
    {"add constant", 24, {10, 10, 10, 20, 20, 20}, {}, OP(KLEM_AddConstant(d, 0xFF030201)),
     {11, 12, 13, 21, 22, 23}},
    {"multiply constant", 8, {3, 100, 200}, {}, OP(KLEM_MultiplyConstant(d, 2)), {6, 200, 255}},
    {"subtract constant", 8, {10, 250}, {}, OP(KLEM_SubtractConstant(d, 0x0114)), {0, 230}},
    {"divide by a zero first byte", 24, {22, 12, 0}, {}, OP(KLEM_DivideConstant(d, 0x0A0B00)),
     {22, 12, 0}, 0,
     "Can't divide constant! Error(-10)krnStsDivByZeroErr: An attempt to divide by zero"},
    {"and", 24, {0x0F, 0xF0, 0x55}, {0xFF, 0x0F, 0x0F}, OP(KLEM_And(d, s)), {0x0F, 0x00, 0x05}},
    {"or", 24, {0x0F, 0xF0, 0x55}, {0xFF, 0x0F, 0x0F}, OP(KLEM_Or(d, s)), {0xFF, 0xFF, 0x5F}},
    {"or constant", 24, {0, 0x34, 0}, {}, OP(KLEM_OrConstant(d, 0xFF0F0102)), {0x02, 0x35, 0x0F}},
    {"xor", 8, {0x0F, 0xF0, 0x55}, {0xFF, 0x0F, 0x0F}, OP(KLEM_Xor(d, s)), {0xF0, 0xFF, 0x5A}},
    {"and constant", 24, {0x12, 0x34, 0x56, 0xFF, 0x80, 0x01}, {},
     OP(KLEM_AndConstant(d, 0x0000FF00)), {0, 0x34, 0, 0, 0x80, 0}},
    {"xor constant: its lowest byte", 8, {0, 0x70, 0xFF}, {}, OP(KLEM_XorConstant(d, 0x1FF)),
     {0xFF, 0x8F, 0}},
    {"invert colour", 24, {1, 2, 3}, {}, OP(KLEM_Invert(d)), {254, 253, 252}},
    {"scale left by count1", 8, {128, 200, 255}, {}, OP(KLEM_Scale(d, 1, 9, 9, 7)), {0, 144, 254}},
    {"scale right by 8", 8, {128, 200, 255}, {}, OP(KLEM_Scale(d, 8, 0, 0, 0)), {0, 0, 0}},
    {"scale 16 bits", 16, Wide({65535, 0x1234}), {}, OP(KLEM_Scale(d, 4, 0, 0, 0)), Wide({4095, 0x0123})},
    {"scale by a negative count", 16, Wide({65535, 1}), {},  // a huge count shifts all out
     OP(KLEM_Scale(d, uint32_t(-1), 0, 0, 0)), Wide({0, 0})},
    {"scale by nothing", 24, {0xFF, 0x42, 0x24}, {}, OP(KLEM_Scale(d, 0, 0, 0, 0)), {0xFF, 0x42, 0x24}},
    {"scale channels", 24, {0xFF, 0xFF, 0xFF, 0x81, 0x42, 0x24}, {}, OP(KLEM_Scale(d, 1, 4, 9, 0)),
     {0x7F, 0x0F, 0, 0x40, 0x04, 0}},
    {"scale 48 bits", 48, Wide({0xFFFF, 0x0101, 0x00F0}), {}, OP(KLEM_Scale(d, 0, 8, 16, 1)),
     Wide({0xFFFF, 0x0100, 0})},
    {"hdr to gray", 8, std::vector<uint8_t>(5), Wide({65535, 256, 128, 32767, 0}),
     OP(KLEM_HDRScaleDown(d, s)), {255, 1, 1, 128, 0}, 0, "", 16},
    {"hdr to colour", 24, std::vector<uint8_t>(6), Wide({65535, 256, 0, 128, 32767, 1}),
     OP(KLEM_HDRScaleDown(d, s)), {255, 1, 0, 1, 128, 0}, 0, "", 48},
    {"hdr of another size", 8, {7, 7}, Wide({1}), OP(KLEM_HDRScaleDown(d, s)), {7, 7}, 0, kDifferentSize, 16},
    {"hdr of another size and format", 8, {7, 7}, {9}, OP(KLEM_HDRScaleDown(d, s)), {7, 7}, 0,
     kDifferentSize},
    // A 10-pixel-wide row is 2 bytes, the 6 unused bits included; twice restores them.
    {"invert black and white", 1, {0x00, 0xC0}, {}, OP(KLEM_Invert(d)), {0xFF, 0x3F}, 0, "", 0, 10},
    {"invert black and white twice", 1, {0xA5, 0x01}, {}, OP(KLEM_Invert(d) | KLEM_Invert(d)), {0xA5, 0x01},
     0, "", 0, 10},
};

int32_t BytesPerPixel(uint32_t format) { return format == 48 ? 6 : format / 8; }

TEST(PerSampleOps, Results) {
  for (const Result& r : kResults) {
    const uint32_t sourceFormat = r.sourceFormat ? r.sourceFormat : r.format;
    HostImage dest(r.width ? r.width : int32_t(r.dest.size()) / BytesPerPixel(r.format), 1, r.format, r.dest);
    HostImage source(r.source.empty() ? 1 : int32_t(r.source.size()) / BytesPerPixel(sourceFormat), 1,
                     sourceFormat, r.source);
    KLEM_SetScaleFactor(dest.h(), r.scale);
    KLEM_SetError(dest.h(), "stale");
    EXPECT_EQ(r.op(dest.h(), source.h()), *r.text ? KLEM_FAILED : KLEM_OK) << r.name;
    EXPECT_EQ(dest.Error(), r.text) << r.name;
    EXPECT_EQ(dest.Bytes(), r.expected) << r.name;
    EXPECT_TRUE(r.source.empty() || source.Bytes() == r.source) << r.name << ": the source changed";
  }
}

// The vector interface.

constexpr double kUnwritten = -777.25;
const double kSource[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
const std::string kMismatch = "Source datalength differs from destination length!";

TEST(FastMathExports, VectorOperationsComputeEveryComponentAndRefuseBadArguments) {
  struct Case {
    const char* message;
    uint32_t (*op)(ZEV_HANDLE, const double*, int32_t, const double*, double*, int32_t);
    double vector[3];
    double expected[6];
  };
  const Case cases[] = {
      {"Can't add!", ZEV_Add, {10, 20, 30}, {11, 22, 33, 14, 25, 36}},
      {"Can't sub!", ZEV_Sub, {10, 20, 30}, {-9, -18, -27, -6, -15, -24}},
      {"Can't mul!", ZEV_Mul, {2, 0, -1}, {2, 0, -3, 8, 0, -6}},
  };
  for (const Case& c : cases) {
    HostMath fm;
    std::vector<double> dst(7, kUnwritten), inPlace(kSource, kSource + 6);
    ASSERT_EQ(c.op(fm.h(), kSource, 2, c.vector, dst.data(), 2), KLEM_OK) << c.message;
    ASSERT_EQ(c.op(fm.h(), inPlace.data(), 2, c.vector, inPlace.data(), 2), KLEM_OK) << c.message;
    EXPECT_EQ(fm.Error(), "");
    for (int k = 0; k < 6; ++k) EXPECT_EQ(dst[k], c.expected[k]) << c.message << " " << k;
    for (int k = 0; k < 6; ++k) EXPECT_EQ(inPlace[k], c.expected[k]) << c.message << " in place " << k;
    EXPECT_EQ(dst[6], kUnwritten) << c.message;

    std::vector<double> untouched(9, kUnwritten);
    const auto refuse = [&](const double* src, int32_t count, const double* vec, int32_t dstCount,
                            const std::string& error) {
      ZEV_SetError(fm.h(), "earlier");
      EXPECT_EQ(c.op(fm.h(), src, count, vec, untouched.data(), dstCount), KLEM_FAILED) << c.message;
      EXPECT_EQ(fm.Error(), error) << c.message << " count " << count;
    };
    refuse(kSource, 0, c.vector, 0, "");  // no text for an empty count
    refuse(kSource, -1, c.vector, -1, "");
    refuse(kSource, 3, c.vector, 2, kMismatch);
    for (double v : untouched) EXPECT_EQ(v, kUnwritten) << c.message;
  }
}

TEST(FastMathExports, MatrixTimesVectors) {
  const double identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  const double rows[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  struct Case {
    const char* name;
    const double* matrix;
    int32_t width, height, count, dstCount;
    std::string error;
    double expected[6];  // kUnwritten where the destination keeps its value
  };
  const std::string message = "Can't multiply with matrix!";
  const Case cases[] = {
      {"identity", identity, 3, 3, 2, 2, "", {1, 2, 3, 4, 5, 6}},
      {"rows", rows, 3, 3, 2, 2, "", {14, 32, 50, 32, 77, 122}},
      {"two rows", rows, 3, 2, 2, 2, "", {14, 32, kUnwritten, 32, 77, kUnwritten}},
      {"one row", rows, 3, 1, 2, 2, "", {14, kUnwritten, kUnwritten, 32, kUnwritten, kUnwritten}},
      {"count 0", rows, 3, 3, 0, 0, "", {}},
      {"counts differ", rows, 3, 3, 3, 2, kMismatch, {}},
      {"width 4", rows, 4, 3, 2, 2, ComposeKernelErrorText(message, -204), {}},
      {"width 0", rows, 0, 3, 2, 2, ComposeKernelErrorText(message, -6), {}},
      {"height 4", rows, 3, 4, 2, 2, ComposeKernelErrorText(message, -204), {}},
  };
  for (const Case& c : cases) {
    HostMath fm;
    ZEV_SetError(fm.h(), "earlier");
    std::vector<double> dst(7, kUnwritten);
    const bool ok = c.error.empty() && c.count > 0;
    EXPECT_EQ(ZEV_MulMatrix(fm.h(), c.matrix, c.width, c.height, kSource, c.count, dst.data(), c.dstCount),
              ok ? KLEM_OK : KLEM_FAILED)
        << c.name;
    EXPECT_EQ(fm.Error(), c.error) << c.name;
    for (int k = 0; k < 7; ++k) {
      EXPECT_EQ(dst[k], ok && k < 6 ? c.expected[k] : kUnwritten) << c.name << " " << k;
    }
  }
  // In place, every row reads the whole source vector before it is written.
  HostMath fm;
  double data[6] = {1, 2, 3, 4, 5, 6};
  ASSERT_EQ(ZEV_MulMatrix(fm.h(), rows, 3, 3, data, 2, data, 2), KLEM_OK);
  EXPECT_EQ(std::vector<double>(data, data + 6), (std::vector<double>{14, 32, 50, 32, 77, 122}));
}

}  // namespace
}  // namespace klem::test
