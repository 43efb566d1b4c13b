// Rotation: a00 = cos a, a01 = sin a, a10 = -sin a, a11 = cos a, the angle
// taken modulo 360 first and the right angles given their exact entries so
// that turned images are plain index permutations.
//
// Perspective coefficients for a rectangle X0..X1 x Y0..Y1 and a quadrangle
// (x0, y0) .. (x3, y3): the unit square is mapped onto the quadrangle
// (g, h from the two diagonals' offsets), then scaled and moved onto the
// rectangle; the result is not normalised further.
#include <algorithm>
#include <cmath>

#include "kernels/warp.h"
#include "kernels/warp_transforms.h"

namespace klem::kernels {

namespace {

constexpr double kPi = 3.141592653589793;

bool BadRect(Rect r) { return r.x < 0 || r.y < 0 || r.width < 1 || r.height < 1; }

}  // namespace

double NormalisedAngle(double angle) {
  double a = angle - 360.0 * std::trunc(angle / 360.0);
  if (a < 0) a += 360.0;
  return a;
}

AffineTransform RotationTransform(double angle, double xShift, double yShift) {
  const double a = NormalisedAngle(angle);
  double c, s;
  if (a == 0.0) {
    c = 1, s = 0;
  } else if (a == 90.0) {
    c = 0, s = 1;
  } else if (a == 180.0) {
    c = -1, s = 0;
  } else if (a == 270.0) {
    c = 0, s = -1;
  } else {
    const double radians = a / 180.0 * kPi;
    c = std::cos(radians), s = std::sin(radians);
  }
  return {c, s, xShift, -s, c, yShift};
}

AffineTransform ShearTransform(double xShear, double yShear, double xShift, double yShift) {
  return {1.0, xShear, xShift, yShear, 1.0, yShift};
}

Point2 RotationCentreShift(double angle, double xc, double yc) {
  const double a = NormalisedAngle(angle);
  if (a == 0.0) return {0.0, 0.0};
  if (a == 90.0) return {xc - yc, yc + xc};
  if (a == 180.0) return {2 * xc, 2 * yc};
  if (a == 270.0) return {xc + yc, yc - xc};
  const AffineTransform m = RotationTransform(a, 0.0, 0.0);
  return {xc - xc * m[0] - yc * m[1], yc - yc * m[0] + xc * m[1]};
}

BoundingBox BoxOf(const Quadrangle& quad) {
  BoundingBox box{quad[0].x, quad[0].y, quad[0].x, quad[0].y};
  for (const Point2& p : quad) {
    box.x0 = std::min(box.x0, p.x), box.x1 = std::max(box.x1, p.x);
    box.y0 = std::min(box.y0, p.y), box.y1 = std::max(box.y1, p.y);
  }
  return box;
}

bool IsConvexQuadrangle(const Quadrangle& q) {
  int positive = 0, negative = 0;
  for (int i = 0; i < 4; ++i) {
    const Point2 a = q[i], b = q[(i + 1) % 4], c = q[(i + 2) % 4];
    const double cross = (b.x - a.x) * (c.y - b.y) - (b.y - a.y) * (c.x - b.x);
    // A corner at infinity gives infinite or NaN products: no quadrangle.
    if (!std::isfinite(cross)) return false;
    if (cross > 0) ++positive;
    else if (cross < 0) ++negative;
    else return false;
  }
  return positive == 4 || negative == 4;
}

bool IsSingularAffine(const AffineTransform& m) {
  const double diagonal = m[0] * m[4];
  if (std::fabs(diagonal) > 1e-200) return std::fabs((diagonal - m[1] * m[3]) / diagonal) <= 1e-10;
  return std::fabs(m[1] * m[3]) <= 1e-10;
}

bool IsSingularPerspective(const PerspectiveCoefficients& c) {
  const double diagonal = c[0] * c[4];
  const bool singular = std::fabs(diagonal) > 1e-200
                            ? std::fabs((diagonal - c[1] * c[3]) / diagonal) <= 1e-10
                            : std::fabs(c[1] * c[3]) <= 1e-10;
  return singular || std::fabs(c[8]) <= 1e-200;
}

PerspectiveCoefficients Adjugate(const PerspectiveCoefficients& c) {
  return {c[4] * c[8] - c[7] * c[5], c[7] * c[2] - c[1] * c[8], c[1] * c[5] - c[4] * c[2],
          c[6] * c[5] - c[3] * c[8], c[0] * c[8] - c[6] * c[2], c[2] * c[3] - c[5] * c[0],
          c[3] * c[7] - c[6] * c[4], c[6] * c[1] - c[7] * c[0], c[0] * c[4] - c[1] * c[3]};
}

// --- the box and coefficient kernels ---

KernelStatus RotateBoundingBox(Rect srcRect, BoundingBox* box, double angle, double xShift,
                               double yShift) {
  if (BadRect(srcRect)) return kStsSizeErr;
  *box = BoxOf(MappedCorners(srcRect, RotationTransform(angle, xShift, yShift)));
  return AllFinite(angle, xShift, yShift) ? kStsNoErr : kStsCoeffErr;
}

KernelStatus ShearBoundingBox(Rect srcRect, BoundingBox* box, double xShear, double yShear,
                              double xShift, double yShift) {
  if (BadRect(srcRect)) return kStsSizeErr;
  const Quadrangle quad = MappedCorners(srcRect, ShearTransform(xShear, yShear, xShift, yShift));
  *box = BoxOf(quad);
  return AllFinite(xShear, yShear, xShift, yShift) && IsConvexQuadrangle(quad) ? kStsNoErr
                                                                                 : kStsCoeffErr;
}

KernelStatus WarpPerspectiveCoefficients(Rect srcRect, const Quadrangle& quad,
                                         PerspectiveCoefficients* coeffs) {
  if (BadRect(srcRect)) return kStsSizeErr;
  if (!IsConvexQuadrangle(quad)) return kStsQuadErr;  // non-finite corners fail it too
  if (srcRect.width < 2 || srcRect.height < 2) return kStsRectErr;
  const double X0 = srcRect.x, Y0 = srcRect.y;
  const double dX = srcRect.width - 1.0, dY = srcRect.height - 1.0;
  const auto [x0, y0] = quad[0];
  const auto [x1, y1] = quad[1];
  const auto [x2, y2] = quad[2];
  const auto [x3, y3] = quad[3];
  const double sx = x0 - x1 + x2 - x3, sy = y0 - y1 + y2 - y3;
  const double d = (x3 - x2) * (y2 - y1) - (x2 - x1) * (y3 - y2);
  const double g = ((y3 - y2) * sx - (x3 - x2) * sy) / d;
  const double h = ((y2 - y1) * sx - (x2 - x1) * sy) / d;
  const double a = x1 - x0 + g * x1, b = x3 - x0 + h * x3;
  const double e = y1 - y0 + g * y1, f = y3 - y0 + h * y3;
  PerspectiveCoefficients& c = *coeffs;
  c[0] = a / dX, c[1] = b / dY, c[2] = x0 - X0 * c[0] - Y0 * c[1];
  c[3] = e / dX, c[4] = f / dY, c[5] = y0 - X0 * c[3] - Y0 * c[4];
  c[6] = g / dX, c[7] = h / dY, c[8] = 1 - X0 * c[6] - Y0 * c[7];
  return kStsNoErr;
}

KernelStatus WarpPerspectiveBoundingBox(Rect srcRect, BoundingBox* box,
                                        const PerspectiveCoefficients& coeffs) {
  if (BadRect(srcRect)) return kStsSizeErr;
  const Quadrangle quad = MappedCorners(srcRect, coeffs);
  *box = BoxOf(quad);
  return AllFinite(coeffs) && IsConvexQuadrangle(quad) ? kStsNoErr : kStsCoeffErr;
}

}  // namespace klem::kernels
