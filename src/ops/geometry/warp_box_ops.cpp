// What the host asks before a rotation, shear or perspective warp: where the
// source's corner pixels land (the box to size the destination by) and the
// coefficients that carry the source onto a quadrangle. Only the source's
// size is read; its pixels and format play no part.
#include <algorithm>

#include "kernels/geometry_types.h"
#include "kernels/warp.h"
#include "ops/operation_shapes.h"

namespace klem {

using kernels::BoundingBox;
using kernels::KernelStatus;

namespace {

kernels::Rect WholeRect(const CKorImgBase& image) { return {0, 0, image.GetWidth(), image.GetHeight()}; }

// The box of query(&box) into the four out pointers, also when the query
// fails. A null out pointer fails the operation before anything is written.
template <typename Query>
bool BoxQuery(CPelora& self, const char* message, double* x0, double* y0, double* x1, double* y1,
              Query query) {
  self.SetErrorText("");
  if (x0 == nullptr || y0 == nullptr || x1 == nullptr || y1 == nullptr) {
    return self.KernelResult(message, kernels::kStsNullPtrErr);
  }
  BoundingBox box{0.0, 0.0, 0.0, 0.0};  // what a refused rectangle leaves
  const KernelStatus status = query(&box);
  *x0 = box.x0, *y0 = box.y0, *x1 = box.x1, *y1 = box.y1;
  return self.KernelResult(message, status);
}

}  // namespace

// The kernels turn by the angle anticlockwise in their y-down coordinates;
// the host's positive angle turns clockwise on screen.
bool CPelora::RotateBox(const CPelora& src, double angle, double* x0, double* y0, double* x1,
                        double* y1) {
  return BoxQuery(*this, "Can't get rotate bounding box!", x0, y0, x1, y1, [&](BoundingBox* box) {
    return kernels::RotateBoundingBox(WholeRect(src), box, -angle, 0.0, 0.0);
  });
}

bool CPelora::ShearBox(const CPelora& src, double xShear, double yShear, double* x0, double* y0,
                       double* x1, double* y1) {
  return BoxQuery(*this, "Can't get shear bounding box!", x0, y0, x1, y1, [&](BoundingBox* box) {
    return kernels::ShearBoundingBox(WholeRect(src), box, xShear, yShear, 0.0, 0.0);
  });
}

bool CPelora::WarpPerspectiveCoefficients(const CPelora& src, const double* quad, double* coeffs) {
  SetErrorText("");
  const kernels::Quadrangle corners{{{quad[0], quad[1]}, {quad[2], quad[3]}, {quad[4], quad[5]},
                                     {quad[6], quad[7]}}};
  kernels::PerspectiveCoefficients result{};
  if (!KernelResult("Can't get warp perspective coefficients!",
                    kernels::WarpPerspectiveCoefficients(WholeRect(src), corners, &result))) {
    return false;
  }
  std::copy(result.begin(), result.end(), coeffs);
  return true;
}

bool CPelora::WarpPerspectiveBox(const CPelora& src, const double* coeffs, double* x0, double* y0,
                                 double* x1, double* y1) {
  kernels::PerspectiveCoefficients c{};
  std::copy(coeffs, coeffs + c.size(), c.begin());
  return BoxQuery(*this, "Can't get warp perspective bounding box!", x0, y0, x1, y1,
                  [&](BoundingBox* box) { return kernels::WarpPerspectiveBoundingBox(WholeRect(src), box, c); });
}

}  // namespace klem
