// Fill, whole and masked copies, rectangle copies (crop) and copies into a
// larger image with a constant or replicated border. The destination is
// always this image; sources and masks are other handles (or this one).
#include <cstddef>
#include <cstdint>

#include "kernels/copy.h"
#include "ops/operation_shapes.h"

namespace klem {

using namespace kernels;
using ops::PixelsOf;

namespace {

constexpr const char* kCropOutOfRange = "Crop coordinates out of range!";
constexpr const char* kCropFailed = "Can't crop image!";

// An inclusive rectangle with ordered corners, in 64 bits so that a corner
// plus an extent near the ends of the 32-bit range cannot wrap.
struct Rect {
  int64_t left, top, right, bottom;
  int32_t Width() const { return static_cast<int32_t>(right - left + 1); }
  int32_t Height() const { return static_cast<int32_t>(bottom - top + 1); }
};

Rect Ordered(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  return {left < right ? left : right, top < bottom ? top : bottom, left < right ? right : left,
          top < bottom ? bottom : top};
}

bool Inside(const Rect& r, const CKorImgBase& image) {
  const auto within = [](int64_t v, int32_t size) { return v >= 0 && v < size; };
  const int32_t w = image.GetWidth(), h = image.GetHeight();
  return within(r.left, w) && within(r.top, h) && within(r.right, w) && within(r.bottom, h);
}

template <typename T>
T* PixelAt(T* memory, const CKorImgBase& image, int64_t column, int64_t row) {
  return memory + static_cast<std::ptrdiff_t>(row * image.GetWidthBytes() + column * image.GetBytesPerPixel());
}

// The rectangle copy of formats 8 and 24; null for every other format.
const KernelDispatchTable<CopyRect8uFn>* RectCopyOf(const CKorImgBase& image) {
  switch (image.GetBitsPerPixel()) {
    case 8: return &kCopyRect8uC1;
    case 24: return &kCopyRect8uC3;
    default: return nullptr;
  }
}

// Copies take their region from the destination: a source narrower or lower
// than that would be read past its rows.
bool CheckSourceCovers(CPelora& self, const CKorImgBase& src) {
  return (src.GetWidth() >= self.GetWidth() && src.GetHeight() >= self.GetHeight()) ||
         self.Fail("Source image is smaller than the destination!");
}

bool CheckBorderedCopy(CPelora& self, const CKorImgBase& src, int32_t left, int32_t top) {
  if (!self.CheckSameFormat(src)) return false;
  return (self.GetHeight() >= int64_t{src.GetHeight()} + top &&
          self.GetWidth() >= int64_t{src.GetWidth()} + left) ||
         self.Fail(
             "Destination surface must be big enough to hold the source image plus top and left "
             "borders!");
}

}  // namespace

bool CPelora::Fill(uint32_t value) {
  constexpr const char* kFailed = "Can't fill image!";
  SetErrorText("");
  const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                            static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  uint8_t* dst = GetImageMemory();
  switch (GetBitsPerPixel()) {
    case 1:  // every byte of the rows, eight pixels each
      return KernelResult(kFailed, kSetValue8uC1(bytes[0], dst, GetWidthBytes(),
                                                 ROI{GetWidthBytes(), GetHeight()}));
    case 8: return KernelResult(kFailed, kSetValue8uC1(bytes[0], dst, GetWidthBytes(), PixelsOf(*this)));
    case 24: return KernelResult(kFailed, kSetValue8uC3(bytes, dst, GetWidthBytes(), PixelsOf(*this)));
    case 32: return KernelResult(kFailed, kSetValue8uC4(bytes, dst, GetWidthBytes(), PixelsOf(*this)));
    default: return FormatNotSupported();
  }
}

bool CPelora::Copy(const CPelora& src) {
  SetErrorText("");
  if (!CheckSameFormat(src) || !CheckSourceCovers(*this, src)) return false;
  const auto* copy = RectCopyOf(*this);
  if (copy == nullptr) return FormatNotSupported();
  return KernelResult("Can't copy image!", (*copy)(src.GetImageMemory(), src.GetWidthBytes(),
                                                   GetImageMemory(), GetWidthBytes(), PixelsOf(*this)));
}

bool CPelora::CopyWithMask(const CPelora& src, const CPelora& mask) {
  SetErrorText("");
  if (!CheckSameFormat(src) || !CheckSourceCovers(*this, src) || !CheckSource8Bit(mask)) return false;
  const KernelDispatchTable<CopyMasked8uFn>* copy = nullptr;
  switch (GetBitsPerPixel()) {
    case 8: copy = &kCopyMasked8uC1; break;
    case 24: copy = &kCopyMasked8uC3; break;
    default: return FormatNotSupported();
  }
  return KernelResult("Can't copy image with mask!",
                      (*copy)(src.GetImageMemory(), src.GetWidthBytes(), GetImageMemory(), GetWidthBytes(),
                              PixelsOf(*this), mask.GetImageMemory(), mask.GetWidthBytes()));
}

bool CPelora::Crop(const CPelora& src, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  SetErrorText("");
  const Rect rect = Ordered(left, top, right, bottom);
  if (!Inside(rect, src)) return Fail(kCropOutOfRange);
  if (!CheckSameFormat(src)) return false;
  if (GetWidth() != rect.Width() || GetHeight() != rect.Height()) {
    return Fail("Pictures of different size!");
  }
  const auto* copy = RectCopyOf(*this);
  if (copy == nullptr) return FormatNotSupported();
  return KernelResult(kCropFailed, (*copy)(PixelAt(src.GetImageMemory(), src, rect.left, rect.top),
                                           src.GetWidthBytes(), GetImageMemory(), GetWidthBytes(),
                                           PixelsOf(*this)));
}

bool CPelora::CropTo(const CPelora& src, int32_t left, int32_t top, int32_t right, int32_t bottom,
                     int32_t column, int32_t row) {
  SetErrorText("");
  return CopyRectTo(src, left, top, right, bottom, column, row);
}

bool CPelora::CopyRectTo(const CPelora& src, int32_t left, int32_t top, int32_t right, int32_t bottom,
                         int32_t column, int32_t row) {
  const Rect rect = Ordered(left, top, right, bottom);
  if (!Inside(rect, src)) return Fail(kCropOutOfRange);
  const ROI size{rect.Width(), rect.Height()};
  const Rect target{column, row, int64_t{column} + size.width - 1, int64_t{row} + size.height - 1};
  if (!Inside(target, *this)) return Fail(kCropOutOfRange);
  if (!CheckSameFormat(src)) return false;
  const auto* copy = RectCopyOf(*this);
  if (copy == nullptr) return FormatNotSupported();
  return KernelResult(kCropFailed,
                      (*copy)(PixelAt(src.GetImageMemory(), src, rect.left, rect.top), src.GetWidthBytes(),
                              PixelAt(GetImageMemory(), *this, column, row), GetWidthBytes(), size));
}

bool CPelora::CopyWithConstBorder(const CPelora& src, int32_t left, int32_t top, uint32_t value) {
  constexpr const char* kFailed = "Can't copy image and set the border!";
  SetErrorText("");
  if (!CheckBorderedCopy(*this, src, left, top)) return false;
  const std::array<uint8_t, 3> bytes = ops::ChannelBytes(value);
  const uint8_t* from = src.GetImageMemory();
  switch (GetBitsPerPixel()) {
    case 8:
      return KernelResult(kFailed, kCopyConstBorder8uC1(from, src.GetWidthBytes(), PixelsOf(src),
                                                        GetImageMemory(), GetWidthBytes(), PixelsOf(*this),
                                                        top, left, bytes[0]));
    case 24:
      return KernelResult(kFailed, kCopyConstBorder8uC3(from, src.GetWidthBytes(), PixelsOf(src),
                                                        GetImageMemory(), GetWidthBytes(), PixelsOf(*this),
                                                        top, left, bytes.data()));
    default: return FormatNotSupported();
  }
}

bool CPelora::CopyWithReplicateBorder(const CPelora& src, int32_t left, int32_t top) {
  SetErrorText("");
  if (!CheckBorderedCopy(*this, src, left, top)) return false;
  const KernelDispatchTable<CopyReplicateBorder8uFn>* copy = nullptr;
  switch (GetBitsPerPixel()) {
    case 8: copy = &kCopyReplicateBorder8uC1; break;
    case 24: copy = &kCopyReplicateBorder8uC3; break;
    default: return FormatNotSupported();
  }
  return KernelResult("Can't copy image and replicate the border!",
                      (*copy)(src.GetImageMemory(), src.GetWidthBytes(), PixelsOf(src), GetImageMemory(),
                              GetWidthBytes(), PixelsOf(*this), top, left));
}

}  // namespace klem
