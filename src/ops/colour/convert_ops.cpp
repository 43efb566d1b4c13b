// Colour-space conversions of 24-bit images, CMY as inversion, and the
// red/blue swaps of raw host buffers.
#include <algorithm>
#include <cstring>

#include "kernels/channels.h"
#include "kernels/colour_convert.h"
#include "ops/operation_shapes.h"

namespace klem {

using namespace kernels;
using ops::PixelsOf;

namespace {

// this := conversion of src; both 24-bit and of one size.
bool Convert(CPelora& self, const CPelora& src, const KernelDispatchTable<ConvertColour8uFn>& kernel) {
  self.SetErrorText("");
  if (!self.CheckSameSizeAndFormat(src)) return false;
  if (self.GetBitsPerPixel() != 24) return self.FormatNotSupported();
  return self.KernelResult("Can't convert color format!",
                           kernel(src.GetImageMemory(), src.GetWidthBytes(), self.GetImageMemory(),
                                  self.GetWidthBytes(), PixelsOf(self)));
}

// Whether the bytes a swap reads from the source and writes in the
// destination lie apart, so each row may be copied and swapped while it is
// still in the cache and the result is that of copying every row first.
bool Apart(const uint8_t* src, int32_t srcStep, const uint8_t* dst, int32_t dstStep, int32_t height,
           std::ptrdiff_t copyBytes) {
  const auto begin = [](const uint8_t* p) { return reinterpret_cast<std::uintptr_t>(p); };
  const std::uintptr_t srcEnd = begin(src) + std::ptrdiff_t{srcStep} * (height - 1) + copyBytes;
  const std::uintptr_t dstEnd = begin(dst) + std::ptrdiff_t{dstStep} * height;
  return srcEnd <= begin(dst) || dstEnd <= begin(src);
}

// Copies min(srcStep, dstStep) bytes of every row, flipped or not, then swaps
// bytes 0 and 2 of every pixel of width x height in the destination. Null
// buffers, or a destination step too short for width pixels, would write
// outside the host's rows: they are refused before anything is copied.
template <int32_t kBytes, typename Swap, typename Permute>
bool SwapRedBlue(CPelora& self, const char* message, const uint8_t* src, int32_t srcStep,
                 uint8_t* dst, int32_t dstStep, int32_t width, int32_t height, int32_t flip,
                 const KernelDispatchTable<Swap>& swap, const KernelDispatchTable<Permute>& permute,
                 const int32_t* order) {
  self.SetErrorText("");
  if (src == nullptr || dst == nullptr) return self.KernelResult(message, kStsNullPtrErr);
  if (width > 0 && int64_t{dstStep} < int64_t{kBytes} * width) {
    return self.KernelResult(message, kStsStepErr);
  }
  // A negative step copies nothing: only the bytes the host promised are read.
  const std::ptrdiff_t copyBytes = std::max(0, std::min(srcStep, dstStep));
  const auto target = [&](int32_t row) {
    return dst + std::ptrdiff_t{dstStep} * (flip != 0 ? height - 1 - row : row);
  };
  const std::ptrdiff_t pixelBytes = std::ptrdiff_t{kBytes} * width;
  if (width > 0 && height > 0 && copyBytes >= pixelBytes &&
      Apart(src, srcStep, dst, dstStep, height, copyBytes)) {
    for (int32_t row = 0; row < height; ++row) {
      const uint8_t* from = src + std::ptrdiff_t{srcStep} * row;
      uint8_t* to = target(row);
      // Swapping in place after the copy would pass over every row twice, and
      // storing 3-byte pixels in place stalls on the bytes the next loads
      // read: the permute from the source row does the same in one pass.
      if (!self.KernelResult(message, permute(from, srcStep, to, dstStep, ROI{width, 1}, order))) {
        return false;
      }
      std::memcpy(to + pixelBytes, from + pixelBytes, copyBytes - pixelBytes);
    }
    return true;
  }
  if (copyBytes > 0) {
    for (int32_t row = 0; row < height; ++row) {
      std::memmove(target(row), src + std::ptrdiff_t{srcStep} * row, copyBytes);
    }
  }
  return self.KernelResult(message, swap(dst, dstStep, ROI{width, height}, order));
}

}  // namespace

bool CPelora::RGBtoCMY() { return Invert(); }
bool CPelora::CMYtoRGB() { return Invert(); }

bool CPelora::RGBtoYUV(const CPelora& src) { return Convert(*this, src, kConvertRGBToYUV8u); }
bool CPelora::YUVtoRGB(const CPelora& src) { return Convert(*this, src, kConvertYUVToRGB8u); }
bool CPelora::RGBtoXYZ(const CPelora& src) { return Convert(*this, src, kConvertRGBToXYZ8u); }
bool CPelora::XYZtoRGB(const CPelora& src) { return Convert(*this, src, kConvertXYZToRGB8u); }
bool CPelora::RGBtoYCC(const CPelora& src) { return Convert(*this, src, kConvertRGBToYCC8u); }
bool CPelora::YCCtoRGB(const CPelora& src) { return Convert(*this, src, kConvertYCCToRGB8u); }

bool CPelora::RGBtoBGR(const uint8_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep,
                       int32_t width, int32_t height, int32_t flip) {
  static const int32_t kOrder[3] = {2, 1, 0};
  return SwapRedBlue<3>(*this, "Can't convert RGBtoBGR!", src, srcStep, dst, dstStep, width, height,
                        flip, kSwapChannelsInPlace8uC3, kPermuteChannels8uC3, kOrder);
}

bool CPelora::RGBAtoBGRA(const uint8_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep,
                         int32_t width, int32_t height, int32_t flip) {
  static const int32_t kOrder[4] = {2, 1, 0, 3};
  return SwapRedBlue<4>(*this, "Can't convert RGBAtoBGRA!", src, srcStep, dst, dstStep, width,
                        height, flip, kSwapChannelsInPlace8uC4, kPermuteChannels8uC4, kOrder);
}

}  // namespace klem
