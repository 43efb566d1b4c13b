// Bitwise operations of the object's image with another image or a constant,
// inversion, shifts of every sample, and the reduction of a 16-bit source to
// this 8-bit image.
#include "kernels/logic.h"
#include "ops/operation_shapes.h"

namespace klem {

using namespace kernels;
using ops::PixelsOf;
using ops::RunConstantInPlace;
using ops::RunImageInPlace;

namespace {

constexpr const char* kScaleFailed = "Can't Scale image!";

template <typename T>
T* SamplesOf(CPelora& image) {
  return reinterpret_cast<T*>(image.GetImageMemory());
}

// A zero count leaves the image as it is without calling the kernel.
template <typename T, typename Fn>
bool ShiftOneChannel(CPelora& self, uint32_t count, const KernelDispatchTable<Fn>& kernel) {
  if (count == 0) return true;
  return self.KernelResult(kScaleFailed,
                           kernel(SamplesOf<T>(self), self.GetWidthBytes(), PixelsOf(self), count));
}

template <typename T, typename Fn>
bool ShiftThreeChannels(CPelora& self, const uint32_t counts[3],
                        const KernelDispatchTable<Fn>& kernel) {
  if (counts[0] == 0 && counts[1] == 0 && counts[2] == 0) return true;
  return self.KernelResult(
      kScaleFailed, kernel(SamplesOf<T>(self), self.GetWidthBytes(), PixelsOf(self), counts));
}

}  // namespace

bool CPelora::And(const CPelora& src) {
  return RunImageInPlace(*this, src, kAndImages8u, "Can't AND image!");
}

bool CPelora::AndConstant(uint32_t constant) {
  return RunConstantInPlace(*this, constant, kAndConstant8u, kAndConstant8uC3,
                            "Can't AND constant!");
}

bool CPelora::Or(const CPelora& src) {
  return RunImageInPlace(*this, src, kOrImages8u, "Can't OR image!");
}

bool CPelora::OrConstant(uint32_t constant) {
  return RunConstantInPlace(*this, constant, kOrConstant8u, kOrConstant8uC3, "Can't OR constant!");
}

bool CPelora::Xor(const CPelora& src) {
  return RunImageInPlace(*this, src, kXorImages8u, "Can't XOR image!");
}

bool CPelora::XorConstant(uint32_t constant) {
  return RunConstantInPlace(*this, constant, kXorConstant8u, kXorConstant8uC3,
                            "Can't XOR constant!");
}

bool CPelora::Invert() {
  constexpr const char* kFailed = "Can't Invert image!";
  SetErrorText("");
  switch (GetBitsPerPixel()) {
    case 1:
      // Whole bytes of every row, the unused bits of the last one included.
      return KernelResult(kFailed, kXorConstant8u(GetImageMemory(), GetWidthBytes(),
                                                  ROI{GetWidthBytes(), GetHeight()}, 0xFF));
    case 8:
      return KernelResult(kFailed,
                          kXorConstant8u(GetImageMemory(), GetWidthBytes(), PixelsOf(*this), 0xFF));
    case 24: {
      const uint8_t all[3] = {0xFF, 0xFF, 0xFF};
      return KernelResult(
          kFailed, kXorConstant8uC3(GetImageMemory(), GetWidthBytes(), PixelsOf(*this), all));
    }
    default:
      return FormatNotSupported();
  }
}

bool CPelora::Scale(uint32_t count1, uint32_t count2, uint32_t count3, uint32_t direction) {
  SetErrorText("");
  const uint32_t counts[3] = {count1, count2, count3};
  const bool left = direction != 0;
  switch (GetBitsPerPixel()) {
    case 8:
      return ShiftOneChannel<uint8_t>(*this, count1, left ? kShiftLeft8u : kShiftRight8u);
    case 16:
      return ShiftOneChannel<uint16_t>(*this, count1, left ? kShiftLeft16u : kShiftRight16u);
    case 24:
      return ShiftThreeChannels<uint8_t>(*this, counts, left ? kShiftLeft8uC3 : kShiftRight8uC3);
    case 48:
      return ShiftThreeChannels<uint16_t>(*this, counts, left ? kShiftLeft16uC3 : kShiftRight16uC3);
    default:
      return FormatNotSupported();
  }
}

bool CPelora::HDRScaleDown(const CPelora& src) {
  constexpr const char* kFailed = "Can't Scale HDR image to non HDR!";
  constexpr int32_t kRoundedMode = 0;
  SetErrorText("");
  if (!CheckSameSize(src)) return false;
  const auto* samples = reinterpret_cast<const uint16_t*>(src.GetImageMemory());
  switch (src.GetBitsPerPixel()) {
    case 16:
      if (!CheckDest8Bit()) return false;
      return KernelResult(kFailed, kScaleDown16u8u(samples, src.GetWidthBytes(), GetImageMemory(),
                                                   GetWidthBytes(), PixelsOf(*this), kRoundedMode));
    case 48:
      if (!CheckDest24Bit()) return false;
      return KernelResult(kFailed,
                          kScaleDown16u8uC3(samples, src.GetWidthBytes(), GetImageMemory(),
                                            GetWidthBytes(), PixelsOf(*this), kRoundedMode));
    default:
      return FormatNotSupported();
  }
}

}  // namespace klem
