#include <gtest/gtest.h>

#include "handle_test_support.h"

namespace klem::test {
namespace {

constexpr const char* kDifferentSize = "Pictures of different size!";
constexpr const char* kDifferentFormat = "Pictures have different format!";
constexpr const char* kUnsupported = "Colorformat not supported by the function!";

using ImageOp = uint32_t (*)(KLEM_HANDLE, KLEM_HANDLE);
using ConstantOp = uint32_t (*)(KLEM_HANDLE, uint32_t);

const ImageOp kImageOps[] = {KLEM_Add, KLEM_Subtract, KLEM_Multiply, KLEM_Divide};
const ConstantOp kConstantOps[] = {KLEM_AddConstant, KLEM_SubtractConstant,
                                   KLEM_MultiplyConstant, KLEM_DivideConstant};

TEST(ArithOps, ValidationOrderAndMessagesLeaveTheImageUnchanged) {
  const std::vector<uint8_t> original(4 * 3, 7);
  HostImage dest(4, 3, 8, original), taller(4, 4, 24), colour(4, 3, 24), wide(4, 3, 32);
  HostImage wideDest(4, 3, 32), empty;
  for (ImageOp op : kImageOps) {
    EXPECT_EQ(op(dest.h(), taller.h()), KLEM_FAILED);
    EXPECT_EQ(dest.Error(), kDifferentSize);  // size before format
    EXPECT_EQ(op(dest.h(), colour.h()), KLEM_FAILED);
    EXPECT_EQ(dest.Error(), kDifferentFormat);
    EXPECT_EQ(op(wideDest.h(), wide.h()), KLEM_FAILED);
    EXPECT_EQ(wideDest.Error(), kUnsupported);
    EXPECT_EQ(op(empty.h(), empty.h()), KLEM_FAILED);
    EXPECT_EQ(empty.Error(), kUnsupported);
    EXPECT_EQ(op(nullptr, dest.h()), KLEM_INVALID_ARG);
    EXPECT_EQ(op(dest.h(), nullptr), KLEM_FAILED);
    EXPECT_EQ(dest.Error(), "Invalid source image handle!");
  }
  for (ConstantOp op : kConstantOps) {
    EXPECT_EQ(op(wideDest.h(), 1), KLEM_FAILED);
    EXPECT_EQ(wideDest.Error(), kUnsupported);
    EXPECT_EQ(op(empty.h(), 1), KLEM_FAILED);
    EXPECT_EQ(empty.Error(), kUnsupported);
    EXPECT_EQ(op(nullptr, 1), KLEM_INVALID_ARG);
  }
  EXPECT_EQ(KLEM_Difference(dest.h(), colour.h(), taller.h()), KLEM_FAILED);
  EXPECT_EQ(dest.Error(), kDifferentSize);  // both sizes before either format
  EXPECT_EQ(KLEM_Difference(dest.h(), dest.h(), colour.h()), KLEM_FAILED);
  EXPECT_EQ(dest.Error(), kDifferentFormat);
  EXPECT_EQ(KLEM_Difference(dest.h(), dest.h(), nullptr), KLEM_FAILED);
  EXPECT_EQ(dest.Error(), "Invalid source image handle!");
  EXPECT_EQ(KLEM_DifferenceConstant(dest.h(), taller.h(), 1), KLEM_FAILED);
  EXPECT_EQ(dest.Error(), kDifferentSize);
  EXPECT_EQ(KLEM_DifferenceConstant(wideDest.h(), wide.h(), 1), KLEM_FAILED);
  EXPECT_EQ(wideDest.Error(), kUnsupported);
  EXPECT_EQ(dest.Bytes(), original);
}

TEST(ArithOps, AttachedHostFormatsAreNotArithmeticFormats) {
  std::vector<uint8_t> host(40 * 2);
  HostImage padded, source(10, 2, 24);
  ASSERT_EQ(KLEM_AttachNoFreeEx(padded.h(), host.data(), 80, 10, 2, 40, 25), KLEM_OK);
  EXPECT_EQ(KLEM_AddConstant(padded.h(), 1), KLEM_FAILED);
  EXPECT_EQ(padded.Error(), kUnsupported);
  EXPECT_EQ(KLEM_Add(padded.h(), source.h()), KLEM_FAILED);
  EXPECT_EQ(padded.Error(), kDifferentFormat);
}

TEST(ArithOps, ScaledResultsThroughTheInterface) {
  HostImage a(3, 1, 8, {200, 1, 2}), b(3, 1, 8, {100, 2, 3});
  EXPECT_EQ(KLEM_Add(a.h(), b.h()), KLEM_OK);
  EXPECT_EQ(a.Bytes(), (std::vector<uint8_t>{255, 3, 5}));
  EXPECT_EQ(a.Error(), "");

  HostImage c(3, 1, 8, {200, 1, 2});
  c.SetScaleFactor(1);
  EXPECT_EQ(KLEM_Add(c.h(), b.h()), KLEM_OK);
  EXPECT_EQ(c.Bytes(), (std::vector<uint8_t>{150, 2, 2}));  // 1.5 and 2.5 round to even

  HostImage m(2, 1, 8, {255, 128}), n(2, 1, 8, {255, 2});
  m.SetScaleFactor(8);
  EXPECT_EQ(KLEM_Multiply(m.h(), n.h()), KLEM_OK);
  EXPECT_EQ(m.Bytes(), (std::vector<uint8_t>{254, 1}));

  HostImage s(2, 1, 8, {10, 30}), t(2, 1, 8, {20, 20});
  EXPECT_EQ(KLEM_Subtract(s.h(), t.h()), KLEM_OK);
  EXPECT_EQ(s.Bytes(), (std::vector<uint8_t>{0, 10}));

  HostImage z(4, 2, 24, std::vector<uint8_t>(24, 200));
  z.SetScaleFactor(10);
  EXPECT_EQ(KLEM_Add(z.h(), z.h()), KLEM_OK);  // the source may be the destination itself
  EXPECT_EQ(z.Bytes(), std::vector<uint8_t>(24, 0));
}

TEST(ArithOps, DivisionByAZeroSampleWritesEverythingAndWarns) {
  HostImage d(6, 1, 8, {5, 7, 3, 1, 9, 0}), v(6, 1, 8, {2, 2, 2, 2, 0, 0});
  EXPECT_EQ(KLEM_Divide(d.h(), v.h()), KLEM_FAILED);
  EXPECT_EQ(d.Bytes(), (std::vector<uint8_t>{2, 4, 2, 0, 255, 0}));
  EXPECT_EQ(d.Error(),
            "Can't divide image! Warning(6)krnStsDivByZero: Zero value(s) of the divisor in the "
            "function Div");
}

TEST(ArithOps, ConstantsPackOneBytePerChannel) {
  HostImage colour(2, 1, 24, {10, 10, 10, 20, 20, 20});
  EXPECT_EQ(KLEM_AddConstant(colour.h(), 0xFF030201), KLEM_OK);  // bits 24-31 are ignored
  EXPECT_EQ(colour.Bytes(), (std::vector<uint8_t>{11, 12, 13, 21, 22, 23}));
  EXPECT_EQ(KLEM_MultiplyConstant(colour.h(), 0x00000102), KLEM_OK);
  EXPECT_EQ(colour.Bytes(), (std::vector<uint8_t>{22, 12, 0, 42, 22, 0}));

  HostImage gray(2, 1, 8, {10, 250});
  EXPECT_EQ(KLEM_SubtractConstant(gray.h(), 0x0114), KLEM_OK);  // only the lowest byte counts
  EXPECT_EQ(gray.Bytes(), (std::vector<uint8_t>{0, 230}));
  EXPECT_EQ(KLEM_DivideConstant(gray.h(), 0x0100), KLEM_FAILED);
  EXPECT_EQ(gray.Error(),
            "Can't divide constant! Error(-10)krnStsDivByZeroErr: An attempt to divide by zero");
  EXPECT_EQ(gray.Bytes(), (std::vector<uint8_t>{0, 230}));

  const std::vector<uint8_t> before = colour.Bytes();
  EXPECT_EQ(KLEM_DivideConstant(colour.h(), 0x000A0B00), KLEM_FAILED);  // its first byte is 0
  EXPECT_EQ(colour.Bytes(), before);
  EXPECT_EQ(KLEM_DivideConstant(colour.h(), 0x00020302), KLEM_OK);
  EXPECT_EQ(colour.Bytes(), (std::vector<uint8_t>{11, 4, 0, 21, 7, 0}));
}

TEST(ArithOps, DifferencesCoverEveryByteWithoutScaling) {
  HostImage a(2, 1, 24, {1, 200, 30, 0, 255, 7}), b(2, 1, 24, {5, 100, 30, 255, 0, 9});
  HostImage dest(2, 1, 24);
  dest.SetScaleFactor(3);
  EXPECT_EQ(KLEM_Difference(dest.h(), a.h(), b.h()), KLEM_OK);
  EXPECT_EQ(dest.Bytes(), (std::vector<uint8_t>{4, 100, 0, 255, 255, 2}));
  // The lowest byte of the constant serves every channel.
  EXPECT_EQ(KLEM_DifferenceConstant(dest.h(), a.h(), 0x00FFFF10), KLEM_OK);
  EXPECT_EQ(dest.Bytes(), (std::vector<uint8_t>{15, 184, 14, 16, 239, 9}));
}

}  // namespace
}  // namespace klem::test
