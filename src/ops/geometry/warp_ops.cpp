// Rotation, shear and perspective warp of a source image into this one. The
// destination is never re-sized: the host sizes it, normally from the
// bounding box. A positive host angle turns the picture clockwise on screen
// (y points down), so the kernels get the negated angle.
#include <cmath>

#include "kernels/warp.h"
#include "ops/geometry/interpolation.h"
#include "ops/operation_shapes.h"

namespace klem {

using namespace kernels;

namespace {

constexpr const char* kRotateFailed = "Can't rotate image!";
constexpr const char* kUnsupportedMode = "Unsupported interpolation mode!";

bool RotationMode(int32_t mode) {
  return (mode >= ops::InterpolationDefault && mode <= ops::InterpolationNearest) ||
         mode == ops::InterpolationSmoothEdge;
}
bool WarpMode(int32_t mode) {
  return mode >= ops::InterpolationDefault && mode <= ops::InterpolationNearest;
}

Rect WholeRect(const CKorImgBase& image) { return {0, 0, image.GetWidth(), image.GetHeight()}; }
ROI SizeOf(const CKorImgBase& image) { return {image.GetWidth(), image.GetHeight()}; }

// The validation every transform starts with; false with the text stored.
bool CheckTransform(CPelora& self, const CPelora& src, bool modeAccepted) {
  self.SetErrorText("");
  if (!self.CheckSameFormat(src)) return false;
  return modeAccepted || self.Fail(kUnsupportedMode);
}

// One kernel call from the whole source into the whole of this image.
template <typename Kernel, typename... Transform>
KernelStatus RunWarp(CPelora& self, const CPelora& src, Kernel kernel, uint32_t interpolation,
                     const Transform&... transform) {
  return kernel(src.GetImageMemory(), SizeOf(src), src.GetWidthBytes(), WholeRect(src),
                self.GetImageMemory(), self.GetWidthBytes(), WholeRect(self), transform...,
                interpolation);
}

// A 1-bit rotation goes through two 8-bit temporaries; the result spans one
// pixel less than the box's pixel centres in each direction.
bool RotateOneBit(CPelora& self, const CPelora& src, const BoundingBox& box, double angle,
                  uint32_t interpolation) {
  const double width = std::trunc(box.x1 - box.x0), height = std::trunc(box.y1 - box.y0);
  // A non-finite angle leaves no size to convert; the kernel would refuse it.
  if (!std::isfinite(width) || !std::isfinite(height)) return self.KernelResult(kRotateFailed, kStsCoeffErr);
  ops::OneBitWorkImages work(self);
  if (!work.Prepare(src, src.GetWidth(), src.GetHeight(), static_cast<int32_t>(width),
                    static_cast<int32_t>(height))) {
    return false;
  }
  const KernelStatus status = RunWarp(work.Result8(), work.Source8(), Rotate8uC1, interpolation,
                                      angle, -box.x0, -box.y0);
  if (status != kStsNoErr) return self.KernelResult(kRotateFailed, status);
  return work.Finish(0);
}

}  // namespace

bool CPelora::Rotate(const CPelora& src, double angle, int32_t mode) {
  if (!CheckTransform(*this, src, RotationMode(mode))) return false;
  const double kernelAngle = -angle;
  const uint32_t interpolation = ops::ToKernelInterpolation(mode);
  BoundingBox box{};
  RotateBoundingBox(WholeRect(src), &box, kernelAngle, 0.0, 0.0);
  switch (GetBitsPerPixel()) {
    case 1: return RotateOneBit(*this, src, box, kernelAngle, interpolation);
    case 8:
      return KernelResult(kRotateFailed, RunWarp(*this, src, Rotate8uC1, interpolation,
                                                 kernelAngle, -box.x0, -box.y0));
    case 24:
      return KernelResult(kRotateFailed, RunWarp(*this, src, Rotate8uC3, interpolation,
                                                 kernelAngle, -box.x0, -box.y0));
    default: return FormatNotSupported();
  }
}

bool CPelora::RotateCenter(const CPelora& src, double angle, int32_t xCentre, int32_t yCentre,
                           int32_t mode) {
  if (!CheckTransform(*this, src, RotationMode(mode))) return false;
  const double kernelAngle = -angle;
  const uint32_t interpolation = ops::ToKernelInterpolation(mode);
  const double xc = xCentre, yc = yCentre;
  switch (GetBitsPerPixel()) {
    case 8:
      return KernelResult(kRotateFailed,
                          RunWarp(*this, src, RotateCenter8uC1, interpolation, kernelAngle, xc, yc));
    case 24:
      return KernelResult(kRotateFailed,
                          RunWarp(*this, src, RotateCenter8uC3, interpolation, kernelAngle, xc, yc));
    default: return FormatNotSupported();
  }
}

bool CPelora::Shear(const CPelora& src, double xShear, double yShear, int32_t mode) {
  if (!CheckTransform(*this, src, WarpMode(mode))) return false;
  const uint32_t interpolation = ops::ToKernelInterpolation(mode);
  BoundingBox box{};
  ShearBoundingBox(WholeRect(src), &box, xShear, yShear, 0.0, 0.0);
  constexpr const char* kShearFailed = "Can't shear image!";
  switch (GetBitsPerPixel()) {
    case 8:
      return KernelResult(kShearFailed, RunWarp(*this, src, Shear8uC1, interpolation, xShear,
                                                yShear, -box.x0, -box.y0));
    case 24:
      return KernelResult(kShearFailed, RunWarp(*this, src, Shear8uC3, interpolation, xShear,
                                                yShear, -box.x0, -box.y0));
    default: return FormatNotSupported();
  }
}

bool CPelora::WarpPerspective(const CPelora& src, const double (&c)[9], int32_t mode) {
  if (!CheckTransform(*this, src, WarpMode(mode))) return false;
  const PerspectiveCoefficients coeffs{c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], c[8]};
  const uint32_t interpolation = ops::ToKernelInterpolation(mode);
  constexpr const char* kWarpFailed = "Can't warp perspective the image!";
  switch (GetBitsPerPixel()) {
    case 8:
      return KernelResult(kWarpFailed, RunWarp(*this, src, WarpPerspective8uC1, interpolation,
                                               coeffs));
    case 24:
      return KernelResult(kWarpFailed, RunWarp(*this, src, WarpPerspective8uC3, interpolation,
                                               coeffs));
    default: return FormatNotSupported();
  }
}

}  // namespace klem
