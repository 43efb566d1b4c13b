// Alpha operations on the object's image: premultiplying it by its own alpha
// or a constant, composing two images into it, and writing its alpha bytes.
#include "kernels/alpha.h"
#include "frame/pelora.h"
#include "ops/operation_shapes.h"

namespace klem {

using namespace kernels;
using ops::PixelsOf;

namespace {

// Alphas arrive as 32-bit values and count by their low byte.
uint8_t LowByte(uint32_t value) { return static_cast<uint8_t>(value); }

// The kernel of formats 8, 24 and 32, or null for any other format.
template <typename Fn>
const KernelDispatchTable<Fn>* ByFormat(const CKorImgBase& image, const KernelDispatchTable<Fn>& c1,
                                        const KernelDispatchTable<Fn>& c3,
                                        const KernelDispatchTable<Fn>& c4) {
  switch (image.GetBitsPerPixel()) {
    case 8: return &c1;
    case 24: return &c3;
    case 32: return &c4;
    default: return nullptr;
  }
}

}  // namespace

bool CPelora::AlphaPremultiply() {
  SetErrorText("");
  if (!CheckHasImageData()) return false;
  if (GetBitsPerPixel() != 32) return FormatNotSupported();
  return KernelResult("Can't premultiply alphaplane!",
                      kAlphaPremultiply8uC4(GetImageMemory(), GetWidthBytes(), PixelsOf(*this)));
}

bool CPelora::AlphaPremultiplyWithConstant(uint32_t alpha) {
  SetErrorText("");
  if (!CheckHasImageData()) return false;
  const auto* kernel = ByFormat(*this, kAlphaPremultiplyConst8uC1, kAlphaPremultiplyConst8uC3,
                                kAlphaPremultiplyConst8uC4);
  if (kernel == nullptr) return FormatNotSupported();
  return KernelResult("Can't premultiply with alpha constant!",
                      (*kernel)(LowByte(alpha), GetImageMemory(), GetWidthBytes(), PixelsOf(*this)));
}

bool CPelora::AlphaOverlay(const CPelora& a, const CPelora& b, int32_t type) {
  SetErrorText("");
  if (!CheckHasImageData() || !CheckSameSizeAndFormat(a) || !CheckSameSizeAndFormat(b)) return false;
  if (GetBitsPerPixel() != 32) return FormatNotSupported();
  return KernelResult("Can't overlay with alphaplanes!",
                      kAlphaCompose8uC4(a.GetImageMemory(), a.GetWidthBytes(), b.GetImageMemory(),
                                        b.GetWidthBytes(), GetImageMemory(), GetWidthBytes(),
                                        PixelsOf(*this), type));
}

bool CPelora::AlphaOverlayWithConstant(const CPelora& a, uint32_t alphaA, const CPelora& b,
                                       uint32_t alphaB, int32_t type) {
  SetErrorText("");
  if (!CheckHasImageData() || !CheckSameSizeAndFormat(a) || !CheckSameSizeAndFormat(b)) return false;
  const auto* kernel =
      ByFormat(*this, kAlphaComposeConst8uC1, kAlphaComposeConst8uC3, kAlphaComposeConst8uC4);
  if (kernel == nullptr) return FormatNotSupported();
  return KernelResult("Can't overlay with constant alpha!",
                      (*kernel)(a.GetImageMemory(), a.GetWidthBytes(), LowByte(alphaA),
                                b.GetImageMemory(), b.GetWidthBytes(), LowByte(alphaB),
                                GetImageMemory(), GetWidthBytes(), PixelsOf(*this), type));
}

bool CPelora::ApplyAlphaChannelConstant(uint32_t alpha) {
  SetErrorText("");
  if (!CheckHasImageData()) return false;
  if (GetBitsPerPixel() != 32) return FormatNotSupported();
  return KernelResult("Can't set alpha channel to constant!",
                      kSetAlphaConst8uC4(LowByte(alpha), GetImageMemory() + 3, GetWidthBytes(),
                                         PixelsOf(*this)));
}

bool CPelora::ApplyAlphaChannel(const CPelora& alpha) {
  SetErrorText("");
  if (!CheckHasImageData() || !CheckSource8Bit(alpha)) return false;
  if (GetBitsPerPixel() != 32) return FormatNotSupported();
  return KernelResult("Can't apply alpha channel!",
                      kCopyToAlpha8u(alpha.GetImageMemory(), alpha.GetWidthBytes(),
                                     GetImageMemory() + 3, GetWidthBytes(), PixelsOf(*this)));
}

}  // namespace klem
