// Resize of an image onto this object's image. Formats 8 and 24 go straight
// to the kernels; a 1-bit image goes through two temporary 8-bit images. The
// factors come from the requested size, the written region from the
// destination's own size.
#include <cstdint>
#include <cstring>

#include "frame/export_frame.h"
#include "frame/pelora.h"
#include "kernels/resize.h"
#include "ops/geometry/interpolation.h"
#include "ops/operation_shapes.h"

namespace klem {

using namespace kernels;
using ops::PixelsOf;

namespace {

constexpr const char* kResizeFailed = "Can't resize image!";

KernelStatus ResizeImage(const CKorImgBase& src, CKorImgBase& dst, double xFactor, double yFactor,
                         uint32_t code) {
  auto* const kernel = dst.GetBitsPerPixel() == 24 ? Resize8uC3 : Resize8uC1;
  return kernel(src.GetImageMemory(), PixelsOf(src), src.GetWidthBytes(),
                Rect{0, 0, src.GetWidth(), src.GetHeight()}, dst.GetImageMemory(), dst.GetWidthBytes(),
                PixelsOf(dst), xFactor, yFactor, code);
}

}  // namespace

bool CPelora::Resize(const CPelora& src, int32_t width, int32_t height, int32_t mode) {
  SetErrorText("");
  if (!CheckSameFormat(src)) return false;
  if (width < 1 || height < 1) return Fail("Invalid resize dimensions!");
  if (mode < ops::InterpolationDefault || mode > ops::InterpolationSupersample) {
    return Fail("Unsupported interpolation mode!");
  }
  // Area averaging only shrinks.
  if (mode == ops::InterpolationSupersample && (width > src.GetWidth() || height > src.GetHeight())) {
    mode = ops::InterpolationDefault;
  }
  const double xFactor = static_cast<double>(width) / src.GetWidth();
  const double yFactor = static_cast<double>(height) / src.GetHeight();
  const uint32_t code = ops::ToKernelInterpolation(mode);
  switch (GetBitsPerPixel()) {
    case 1: {
      ops::OneBitWorkImages work(*this);
      if (!work.Prepare(src, src.GetWidth(), src.GetHeight(), width, height)) return false;
      const KernelStatus status = ResizeImage(work.Source8(), work.Result8(), xFactor, yFactor, code);
      if (status != kStsNoErr) return KernelResult(kResizeFailed, status);
      return work.Finish(0);
    }
    case 8:
    case 24: {
      if (&src != this) return KernelResult(kResizeFailed, ResizeImage(src, *this, xFactor, yFactor, code));
      // Onto itself: the kernel reads a copy, never the rows it is writing.
      CPelora copy;
      if (!copy.Create(GetWidth(), GetHeight(), GetBitsPerPixel())) return Fail(kOutOfMemoryText);
      std::memcpy(copy.GetImageMemory(), GetImageMemory(), GetImageSizeInBytes());
      return KernelResult(kResizeFailed, ResizeImage(copy, *this, xFactor, yFactor, code));
    }
    default:
      return FormatNotSupported();
  }
}

}  // namespace klem
