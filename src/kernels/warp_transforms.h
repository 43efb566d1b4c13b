// The transforms behind rotation, shear and perspective warp: how each is
// built from its arguments, how a point is mapped, the test a mapped
// rectangle must pass, and the inverse that the warps sample through.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>

#include "kernels/geometry_types.h"
#include "kernels/kernel_types.h"

namespace klem::kernels {

// x' = m[0] x + m[1] y + m[2], y' = m[3] x + m[4] y + m[5].
using AffineTransform = std::array<double, 6>;

// a brought into 0 <= a < 360 degrees.
double NormalisedAngle(double angle);
// The rotation by the angle (degrees) with exact entries at 0, 90, 180 and
// 270 degrees.
AffineTransform RotationTransform(double angle, double xShift, double yShift);
AffineTransform ShearTransform(double xShear, double yShear, double xShift, double yShift);
// The shifts that keep (xCentre, yCentre) in place under the rotation,
// exact at the right angles.
Point2 RotationCentreShift(double angle, double xCentre, double yCentre);

inline Point2 Map(const AffineTransform& m, Point2 p) {
  return {m[0] * p.x + m[1] * p.y + m[2], m[3] * p.x + m[4] * p.y + m[5]};
}
inline Point2 Map(const PerspectiveCoefficients& c, Point2 p) {
  const double w = c[6] * p.x + c[7] * p.y + c[8];
  return {(c[0] * p.x + c[1] * p.y + c[2]) / w, (c[3] * p.x + c[4] * p.y + c[5]) / w};
}

// The corner pixels of the rectangle, mapped, in the quadrangle's order.
template <typename Transform>
Quadrangle MappedCorners(Rect r, const Transform& t) {
  // In doubles from the start: x + width may pass the 32-bit range.
  const double x0 = r.x, y0 = r.y, x1 = x0 + (r.width - 1.0), y1 = y0 + (r.height - 1.0);
  return {Map(t, {x0, y0}), Map(t, {x1, y0}), Map(t, {x1, y1}), Map(t, {x0, y1})};
}

BoundingBox BoxOf(const Quadrangle& quad);
// True when the four cross products of consecutive edges are all finite,
// non-zero and of one sign: the quadrangle is convex and not degenerate.
bool IsConvexQuadrangle(const Quadrangle& quad);

template <typename... Values>
bool AllFinite(Values... values) {
  return (std::isfinite(values) && ...);
}
template <std::size_t N>
bool AllFinite(const std::array<double, N>& values) {
  for (double v : values)
    if (!std::isfinite(v)) return false;
  return true;
}

// Singular when a00 a11 - a01 a10 is negligible against a00 a11, or, where
// a00 a11 vanishes, a01 a10 does too.
bool IsSingularAffine(const AffineTransform& m);
// The same test on c0 c4 - c1 c3, and a vanishing c8.
bool IsSingularPerspective(const PerspectiveCoefficients& c);

// The adjugate of the coefficient matrix: a destination pixel (x, y) samples
// the source at (u / w, v / w), u = A0 x + A1 y + A2, v = A3 x + A4 y + A5,
// w = A6 x + A7 y + A8.
PerspectiveCoefficients Adjugate(const PerspectiveCoefficients& c);

}  // namespace klem::kernels
