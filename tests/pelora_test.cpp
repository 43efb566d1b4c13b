#include <gtest/gtest.h>

#include "frame/pelora.h"

namespace klem {
namespace {

TEST(Pelora, KernelErrorsAreComposedFromMessageStatusAndStatusText) {
  CPelora object;
  object.SetErrorText("previous");
  object.SetKernelError("Can't add image!", kernels::kStsNoErr);
  EXPECT_EQ(object.GetErrorText(), "previous");
  object.SetKernelError("Can't add image!", kernels::kStsSizeErr);
  EXPECT_EQ(object.GetErrorText(),
            "Can't add image! Error(-6)krnStsSizeErr: Wrong value of data size");
  object.SetKernelError("Can't add image!", kernels::kStsNoOperation);
  EXPECT_EQ(object.GetErrorText(),
            "Can't add image! Warning(1)krnStsNoOperation: No operation has been executed");
  object.SetKernelError("", kernels::kStsDivByZero);
  EXPECT_EQ(object.GetErrorText(),
            "Warning(6)krnStsDivByZero: Zero value(s) of the divisor in the function Div");
  object.SetKernelError("Can't divide!", -12345);  // unknown codes read as such
  EXPECT_EQ(object.GetErrorText(),
            "Can't divide! Error(-12345)krnStsUnknownStatusCodeErr: Unknown Status Code");
}

TEST(Pelora, StartsEmptyWithItsDefaults) {
  CPelora object;
  EXPECT_EQ(object.GetClassType(), 0x4444);
  EXPECT_EQ(object.GetColourValue(), 0xFFFFFFu);
  object.SetColourValue(0x123456);
  EXPECT_EQ(object.GetColourValue(), 0x123456u);
  EXPECT_EQ(object.GetScaleFactor(), 0);
  EXPECT_EQ(object.GetBitsPerPixel(), 0u);
  EXPECT_EQ(object.GetImageMemory(), nullptr);
  EXPECT_EQ(object.GetErrorText(), "");
}

}  // namespace
}  // namespace klem
