// Erosion and dilation of this image in place: a 3x3 square or the nonzero
// cells of a caller's byte mask with its centre over the sample, on the inner
// region where the whole neighbourhood fits; the margins keep their pixels.
#include <algorithm>

#include "kernels/morphology.h"
#include "ops/neighbourhood/filter_frame.h"
#include "ops/operation_shapes.h"

namespace klem {

using namespace kernels;

namespace {

// The kernel of the format's form (1 or 3 channels), or null for any other format.
template <typename Fn>
const KernelDispatchTable<Fn>* FormOf(const CKorImgBase& image, const KernelDispatchTable<Fn>& one,
                                      const KernelDispatchTable<Fn>& three) {
  switch (ops::Channels8u(image)) {
    case 1: return &one;
    case 3: return &three;
    default: return nullptr;
  }
}

bool Morphology3x3(CPelora& self, const KernelDispatchTable<Morphology3x3Fn>& one,
                   const KernelDispatchTable<Morphology3x3Fn>& three, const char* message) {
  self.SetErrorText("");
  if (!self.CheckMinSize(3)) return false;
  const ops::FilterMargins margins = ops::CentredMargins(3, 3);
  const auto* kernel = FormOf(self, one, three);
  if (kernel == nullptr) return self.FormatNotSupported();
  return self.KernelResult(message, (*kernel)(self.GetImageMemory() + ops::RegionOffset(self, margins),
                                              self.GetWidthBytes(), ops::RegionInside(self, margins)));
}

// A zero or negative mask side passes the size test when the other side fits
// and reaches the kernel, which refuses it; it places the region as a side of
// 0 would, so that the region pointer stays inside the image.
bool MorphologyMask(CPelora& self, const uint8_t* mask, int32_t maskWidth, int32_t maskHeight,
                    const KernelDispatchTable<MorphologyMaskFn>& one,
                    const KernelDispatchTable<MorphologyMaskFn>& three, const char* message) {
  self.SetErrorText("");
  if (!self.CheckMinSize(std::max(maskWidth, maskHeight))) return false;
  const ops::FilterMargins margins = ops::CentredMargins(std::max(maskWidth, 0), std::max(maskHeight, 0));
  const auto* kernel = FormOf(self, one, three);
  if (kernel == nullptr) return self.FormatNotSupported();
  return self.KernelResult(
      message, (*kernel)(self.GetImageMemory() + ops::RegionOffset(self, margins), self.GetWidthBytes(),
                         ops::RegionInside(self, margins), mask, ROI{maskWidth, maskHeight},
                         Anchor{maskWidth / 2, maskHeight / 2}));
}

}  // namespace

bool CPelora::Erode() {
  return Morphology3x3(*this, kErode3x3InPlace8uC1, kErode3x3InPlace8uC3, "Can't erode image!");
}

bool CPelora::Dilate() {
  return Morphology3x3(*this, kDilate3x3InPlace8uC1, kDilate3x3InPlace8uC3, "Can't dilate image!");
}

bool CPelora::ErodeEx(const uint8_t* mask, int32_t maskWidth, int32_t maskHeight) {
  return MorphologyMask(*this, mask, maskWidth, maskHeight, kErodeMaskInPlace8uC1, kErodeMaskInPlace8uC3,
                        "Can't erode image with mask!");
}

bool CPelora::DilateEx(const uint8_t* mask, int32_t maskWidth, int32_t maskHeight) {
  return MorphologyMask(*this, mask, maskWidth, maskHeight, kDilateMaskInPlace8uC1,
                        kDilateMaskInPlace8uC3, "Can't dilate image with mask!");
}

}  // namespace klem
