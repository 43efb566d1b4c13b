// Arithmetic of the object's image with another image or a constant.
#include "kernels/arith.h"
#include "ops/operation_shapes.h"

namespace klem {

using namespace kernels;
using ops::RunConstantInPlace;
using ops::RunImageInPlace;

bool CPelora::Add(const CPelora& src) {
  return RunImageInPlace(*this, src, kAddImages8u, "Can't add image!", GetScaleFactor());
}

bool CPelora::AddConstant(uint32_t constant) {
  return RunConstantInPlace(*this, constant, kAddConstant8u, kAddConstant8uC3,
                            "Can't add constant!", GetScaleFactor());
}

bool CPelora::Subtract(const CPelora& src) {
  return RunImageInPlace(*this, src, kSubtractImages8u, "Can't subtract image!", GetScaleFactor());
}

bool CPelora::SubtractConstant(uint32_t constant) {
  return RunConstantInPlace(*this, constant, kSubtractConstant8u, kSubtractConstant8uC3,
                            "Can't subtract constant!", GetScaleFactor());
}

bool CPelora::Multiply(const CPelora& src) {
  return RunImageInPlace(*this, src, kMultiplyImages8u, "Can't multiply image!", GetScaleFactor());
}

bool CPelora::MultiplyConstant(uint32_t constant) {
  return RunConstantInPlace(*this, constant, kMultiplyConstant8u, kMultiplyConstant8uC3,
                            "Can't multiply constant!", GetScaleFactor());
}

bool CPelora::Divide(const CPelora& src) {
  return RunImageInPlace(*this, src, kDivideImages8u, "Can't divide image!", GetScaleFactor());
}

bool CPelora::DivideConstant(uint32_t constant) {
  return RunConstantInPlace(*this, constant, kDivideConstant8u, kDivideConstant8uC3,
                            "Can't divide constant!", GetScaleFactor());
}

bool CPelora::Difference(const CPelora& first, const CPelora& second) {
  SetErrorText("");
  if (!CheckSameSizeAndFormat3(first, second)) return false;
  const int32_t channels = ops::Channels8u(*this);
  if (channels == 0) return FormatNotSupported();
  return KernelResult("Can't difference image!",
                      kAbsDiffImages8u(first.GetImageMemory(), first.GetWidthBytes(),
                                       second.GetImageMemory(), second.GetWidthBytes(),
                                       GetImageMemory(), GetWidthBytes(),
                                       ops::SampleRegion(*this, channels)));
}

bool CPelora::DifferenceConstant(const CPelora& src, uint32_t constant) {
  SetErrorText("");
  if (!CheckSameSizeAndFormat(src)) return false;
  const int32_t channels = ops::Channels8u(*this);
  if (channels == 0) return FormatNotSupported();
  // One byte for every channel: the lowest of the constant.
  return KernelResult("Can't difference constant!",
                      kAbsDiffConstant8u(src.GetImageMemory(), src.GetWidthBytes(),
                                         GetImageMemory(), GetWidthBytes(),
                                         ops::SampleRegion(*this, channels), constant & 0xFF));
}

}  // namespace klem
