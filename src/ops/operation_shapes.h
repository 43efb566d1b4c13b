// What the operations of every family share: the image's region, and the
// common shapes of the per-sample operations on formats 8 and 24 (clear the
// error text, validate, pick the kernel by format, call it on the whole image,
// a 24-bit image being 3 * width samples per row, report its status).
#pragma once

#include <array>
#include <cstdint>

#include "frame/pelora.h"
#include "kernels/dispatch.h"

namespace klem::ops {

// Samples per pixel of the 8-bit formats these operations accept: 1 for
// format 8, 3 for format 24, 0 for every other (9 and 25 included).
inline int32_t Channels8u(const CKorImgBase& image) {
  switch (image.GetBitsPerPixel()) {
    case 8: return 1;
    case 24: return 3;
    default: return 0;
  }
}

// The whole image as a kernel region, in pixels.
inline kernels::ROI PixelsOf(const CKorImgBase& image) { return {image.GetWidth(), image.GetHeight()}; }

inline kernels::ROI SampleRegion(const CKorImgBase& image, int32_t channels) {
  return {image.GetWidth() * channels, image.GetHeight()};
}

// One byte per channel of a packed constant: bits 0-7 for the first byte of a
// pixel, 8-15 for the second, 16-23 for the third.
inline std::array<uint8_t, 3> ChannelBytes(uint32_t constant) {
  return {static_cast<uint8_t>(constant), static_cast<uint8_t>(constant >> 8),
          static_cast<uint8_t>(constant >> 16)};
}

// this := op(this, src) by an in-place image kernel
// (src, srcStep, srcDst, srcDstStep, roi, extra...).
template <typename Fn, typename... Extra>
bool RunImageInPlace(CPelora& self, const CPelora& src, const kernels::KernelDispatchTable<Fn>& kernel,
                     const char* message, Extra... extra) {
  self.SetErrorText("");
  if (!self.CheckSameSizeAndFormat(src)) return false;
  const int32_t channels = Channels8u(self);
  if (channels == 0) return self.FormatNotSupported();
  return self.KernelResult(message, kernel(src.GetImageMemory(), src.GetWidthBytes(),
                                           self.GetImageMemory(), self.GetWidthBytes(),
                                           SampleRegion(self, channels), extra...));
}

// this := op(this, constant) by a one-channel kernel (format 8, lowest byte)
// or a three-channel kernel (format 24, three bytes); kernels take
// (srcDst, step, roi, value, extra...).
template <typename Fn1, typename Fn3, typename... Extra>
bool RunConstantInPlace(CPelora& self, uint32_t constant,
                        const kernels::KernelDispatchTable<Fn1>& one,
                        const kernels::KernelDispatchTable<Fn3>& three, const char* message,
                        Extra... extra) {
  self.SetErrorText("");
  const kernels::ROI pixels = PixelsOf(self);
  const std::array<uint8_t, 3> bytes = ChannelBytes(constant);
  switch (Channels8u(self)) {
    case 1:
      return self.KernelResult(
          message, one(self.GetImageMemory(), self.GetWidthBytes(), pixels, bytes[0], extra...));
    case 3:
      return self.KernelResult(message, three(self.GetImageMemory(), self.GetWidthBytes(), pixels,
                                              bytes.data(), extra...));
    default:
      return self.FormatNotSupported();
  }
}

}  // namespace klem::ops
