// Conversions of colour and black-and-white images to 8-bit gray, to 24-bit
// gray and to black and white. The 24-bit gray and the black and white of a
// colour image go through a temporary 8-bit gray image, released on every
// path.
#include <cstdint>

#include "frame/export_frame.h"
#include "frame/pelora.h"
#include "kernels/gray.h"
#include "ops/operation_shapes.h"

namespace klem {

using namespace kernels;
using ops::PixelsOf;

namespace {

// The 8-bit gray of src in a new temporary, or false with the reason stored
// on `self`: no memory for it, or the gray step's own text.
bool GrayTemporary(CPelora& self, const CPelora& src, CPelora& gray) {
  if (!gray.Create(src.GetWidth(), src.GetHeight(), 8)) return self.Fail(kOutOfMemoryText);
  if (gray.Grayscale8Bit(src)) return true;
  return self.Fail(gray.GetErrorText());
}

}  // namespace

bool CPelora::Grayscale8Bit(const CPelora& src) {
  SetErrorText("");
  if (!CheckSameSize(src) || !CheckDest8Bit()) return false;
  KernelStatus status = kStsNoErr;
  switch (src.GetBitsPerPixel()) {
    case 1:
      status = kExpandBitsToBytes1u8u(src.GetImageMemory(), src.GetWidthBytes(), 0, GetImageMemory(),
                                      GetWidthBytes(), PixelsOf(*this));
      break;
    case 24:
      status = kConvertRGBToGray8u(src.GetImageMemory(), src.GetWidthBytes(), GetImageMemory(),
                                   GetWidthBytes(), PixelsOf(*this));
      break;
    default:
      return FormatNotSupported();
  }
  return KernelResult("Can't convert image to 8bit grayscale!", status);
}

bool CPelora::Grayscale(const CPelora& src) {
  SetErrorText("");
  if (!CheckSameSize(src) || !CheckDest24Bit()) return false;
  CPelora gray;
  return GrayTemporary(*this, src, gray) && FromChannels(gray, gray, gray);
}

bool CPelora::ConvertTo1Bit(const CPelora& src, uint32_t threshold) {
  SetErrorText("");
  if (!CheckSameSize(src) || !CheckDest1Bit()) return false;
  constexpr const char* kFailed = "Can't convert image to 1bit black&white!";
  const uint8_t level = static_cast<uint8_t>(threshold);
  const auto dither = [&](const CKorImgBase& gray) {
    return KernelResult(kFailed, kDitherToBits8u1u(gray.GetImageMemory(), gray.GetWidthBytes(),
                                                   GetImageMemory(), GetWidthBytes(), 0,
                                                   PixelsOf(*this), level));
  };
  switch (src.GetBitsPerPixel()) {
    case 1:
      return KernelResult(kFailed, kCopyBits1u(src.GetImageMemory(), src.GetWidthBytes(),
                                               GetImageMemory(), GetWidthBytes(), PixelsOf(*this)));
    case 8:
      return dither(src);
    case 24: {
      CPelora gray;
      return GrayTemporary(*this, src, gray) && dither(gray);
    }
    default:
      return FormatNotSupported();
  }
}

}  // namespace klem
