// Rotation, shear and perspective warp of 8-bit images by backward mapping.
//
// Affine warp (rotate, rotate about a centre, shear), checks in this order:
//   -8 a null image pointer; -6 an empty source, a source or destination
//   rectangle with x or y below 0 or an empty one; -22 an interpolation code
//   whose method (without the smooth-edge bit) is not nearest, linear or
//   cubic; -56 a non-finite or singular transform; then a 1-pixel-wide or
//   -high source samples nearest and a source under 4 pixels wide or high
//   turns cubic into linear; 29 a source rectangle that starts outside the
//   source; -57 an effective rectangle (cut at the source's edges) under
//   2 x 2; -56 a mapped rectangle that is degenerate or not convex; 30 no
//   destination pixel centre inside it.
// The perspective warp makes the same checks with -14 for a row step below 1
// after the rectangles, any top bit refused with its method, and a vanishing
// c8 singular too. The shear kernels refuse row steps below 1 first of all.
//
// Written are the pixels of the destination rectangle whose centres lie
// inside the mapped effective rectangle or on its border, found row by row:
// the row's crossings of the quadrangle's edges, rounded inwards with a
// tolerance of 1e-14 of the coordinates' size for centres that rounding
// moved just outside. Every other pixel keeps its value.
//
// A rotation by exactly 90, 180 or 270 degrees with whole shifts moves pixels
// by index, whatever the interpolation code: only the checks of the null
// pointers, the rectangles and the source rectangle's start apply, and 29
// tells that the turned rectangle misses the destination rectangle.
#include "kernels/warp.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "kernels/round_to_nearest.h"
#include "kernels/warp_core.h"
#include "kernels/warp_rules.h"
#include "kernels/warp_transforms.h"

namespace klem::kernels {

namespace generic {

#define KLEM_WARP_SPAN(name, method, channels)                                               \
  void name(const WarpSource& s, const WarpInverse& inverse, int32_t y, int32_t xBegin,      \
            int32_t xEnd, uint8_t* dstRow) {                                                 \
    const WarpRowTerms row = RowTerms(inverse, y);                                           \
    if (inverse.projective)                                                                  \
      SampleScalar<WarpMethod::method, channels, true>(s, inverse, row, xBegin, xEnd, dstRow); \
    else                                                                                     \
      SampleScalar<WarpMethod::method, channels, false>(s, inverse, row, xBegin, xEnd, dstRow); \
  }
KLEM_WARP_SPAN(WarpNearest8uC1, kNearest, 1)
KLEM_WARP_SPAN(WarpNearest8uC3, kNearest, 3)
KLEM_WARP_SPAN(WarpLinear8uC1, kLinear, 1)
KLEM_WARP_SPAN(WarpLinear8uC3, kLinear, 3)
KLEM_WARP_SPAN(WarpCubic8uC1, kCubic, 1)
KLEM_WARP_SPAN(WarpCubic8uC3, kCubic, 3)
#undef KLEM_WARP_SPAN

}  // namespace generic

#define KLEM_WARP_TABLE(name)                                                              \
  constinit const KernelDispatchTable<WarpSpanFn> k##name =                                \
      Dispatch(generic::name).Sse41(sse41::name).Avx2(avx2::name).Avx512(avx512::name);
KLEM_WARP_TABLE(WarpNearest8uC1)
KLEM_WARP_TABLE(WarpNearest8uC3)
KLEM_WARP_TABLE(WarpLinear8uC1)
KLEM_WARP_TABLE(WarpLinear8uC3)
KLEM_WARP_TABLE(WarpCubic8uC1)
KLEM_WARP_TABLE(WarpCubic8uC3)
#undef KLEM_WARP_TABLE

namespace {

// The arguments every warp kernel shares.
struct WarpImages {
  const uint8_t* src;
  ROI srcSize;
  int32_t srcStep;
  Rect srcRect;
  uint8_t* dst;
  int32_t dstStep;
  Rect dstRect;
  int32_t channels;
};

bool BadRect(Rect r) { return r.x < 0 || r.y < 0 || r.width < 1 || r.height < 1; }

KernelStatus CheckImages(const WarpImages& w) {
  if (w.src == nullptr || w.dst == nullptr) return kStsNullPtrErr;
  if (w.srcSize.width < 1 || w.srcSize.height < 1 || BadRect(w.srcRect) || BadRect(w.dstRect))
    return kStsSizeErr;
  return kStsNoErr;
}

bool KnownMethod(uint32_t interpolation) {
  const uint32_t method = interpolation & ~uint32_t{kInterSmoothEdge};
  return method == kInterNearest || method == kInterLinear || method == kInterCubic;
}

WarpMethod MethodFor(uint32_t interpolation, ROI srcSize) {
  const uint32_t method = interpolation & ~uint32_t{kInterSmoothEdge};
  if (method == kInterNearest || srcSize.width == 1 || srcSize.height == 1)
    return WarpMethod::kNearest;
  if (method == kInterLinear || srcSize.width < 4 || srcSize.height < 4) return WarpMethod::kLinear;
  return WarpMethod::kCubic;
}

bool StartsOutside(const WarpImages& w) {
  return w.srcRect.x >= w.srcSize.width || w.srcRect.y >= w.srcSize.height;
}

// The source rectangle cut at the source's right and bottom edges.
Rect EffectiveRect(const WarpImages& w) {
  const Rect r = w.srcRect;
  return {r.x, r.y, std::min(r.width, w.srcSize.width - r.x),
          std::min(r.height, w.srcSize.height - r.y)};
}

const KernelDispatchTable<WarpSpanFn>& SpanTable(WarpMethod method, int32_t channels) {
  switch (method) {
    case WarpMethod::kNearest: return channels == 1 ? kWarpNearest8uC1 : kWarpNearest8uC3;
    case WarpMethod::kLinear: return channels == 1 ? kWarpLinear8uC1 : kWarpLinear8uC3;
    default: return channels == 1 ? kWarpCubic8uC1 : kWarpCubic8uC3;
  }
}

// The x range of the convex quadrangle on the line at height y, widened by
// the tolerance; false when the line misses it.
bool RowCrossings(const Quadrangle& q, double y, double tolerance, double* left, double* right) {
  double lo = INFINITY, hi = -INFINITY;
  for (int32_t i = 0; i < 4; ++i) {
    const Point2 a = q[i], b = q[(i + 1) % 4];
    const double top = std::min(a.y, b.y), bottom = std::max(a.y, b.y);
    if (y < top - tolerance || y > bottom + tolerance) continue;
    if (bottom - top <= tolerance) {
      lo = std::min({lo, a.x, b.x}), hi = std::max({hi, a.x, b.x});
      continue;
    }
    const double t = std::clamp((y - a.y) / (b.y - a.y), 0.0, 1.0);
    const double x = a.x + t * (b.x - a.x);
    lo = std::min(lo, x), hi = std::max(hi, x);
  }
  *left = lo - tolerance, *right = hi + tolerance;
  return lo <= hi;
}

// Steps 9 on: the spans of the destination rectangle inside the quadrangle,
// each sampled through the inverse.
KernelStatus WarpSpans(const WarpImages& w, Rect effective, const Quadrangle& quad,
                       const WarpInverse& inverse, WarpMethod method) {
  RoundToNearest rounding;
  const WarpSource source{w.src,
                          w.srcStep,
                          w.srcSize.width * w.channels,
                          effective.x,
                          effective.y,
                          effective.x + effective.width - 1,
                          effective.y + effective.height - 1};
  const KernelDispatchTable<WarpSpanFn>& span = SpanTable(method, w.channels);
  const BoundingBox box = BoxOf(quad);
  const double size = std::max({std::fabs(box.x0), std::fabs(box.x1), std::fabs(box.y0),
                                std::fabs(box.y1), 1.0});
  const double tolerance = 1e-14 * size;
  // Clipped in doubles first: the quadrangle may lie far outside int range.
  const double firstColumn = w.dstRect.x, lastColumn = w.dstRect.x + (w.dstRect.width - 1.0);
  const double top = std::max(std::ceil(box.y0 - tolerance), double(w.dstRect.y));
  const double bottom = std::min(std::floor(box.y1 + tolerance), w.dstRect.y + (w.dstRect.height - 1.0));
  bool any = false;
  for (double y = top; y <= bottom; ++y) {
    double left, right;
    if (!RowCrossings(quad, y, tolerance, &left, &right)) continue;
    left = std::max(std::ceil(left), firstColumn), right = std::min(std::floor(right), lastColumn);
    if (left > right) continue;
    const int32_t row = static_cast<int32_t>(y);
    span(source, inverse, row, static_cast<int32_t>(left), static_cast<int32_t>(right) + 1,
         w.dst + std::ptrdiff_t{row} * w.dstStep);
    any = true;
  }
  return any ? kStsNoErr : kStsWrongIntersectQuad;
}

// x = (a11 (x' - a02) - a01 (y' - a12)) / det and likewise y, as a projective
// inverse with w = 1.
WarpInverse AffineInverse(const AffineTransform& a) {
  const double det = a[0] * a[4] - a[1] * a[3];
  const double i0 = a[4] / det, i1 = -a[1] / det, i3 = -a[3] / det, i4 = a[0] / det;
  return {{i0, i1, -(i0 * a[2] + i1 * a[5]), i3, i4, -(i3 * a[2] + i4 * a[5]), 0.0, 0.0, 1.0},
          false};
}

KernelStatus AffineWarp(const WarpImages& w, const AffineTransform& m, uint32_t interpolation) {
  if (KernelStatus status = CheckImages(w)) return status;
  if (!KnownMethod(interpolation)) return kStsInterpolationErr;
  if (!AllFinite(m) || IsSingularAffine(m)) return kStsCoeffErr;
  const WarpMethod method = MethodFor(interpolation, w.srcSize);
  if (StartsOutside(w)) return kStsWrongIntersectROI;
  const Rect effective = EffectiveRect(w);
  if (effective.width < 2 || effective.height < 2) return kStsRectErr;
  const Quadrangle quad = MappedCorners(effective, m);
  if (!IsConvexQuadrangle(quad)) return kStsCoeffErr;
  return WarpSpans(w, effective, quad, AffineInverse(m), method);
}

bool IsWhole(double v) { return std::isfinite(v) && std::trunc(v) == v; }

// Destination pixels (X, Y) of [x0, x1] x [y0, y1] from source byte offsets
// origin + X xStep + Y yStep, in square tiles: a turn by 90 or 270 degrees
// walks the source down its columns, and a tile's source rows stay in the
// cache while its destination rows are written.
template <int32_t kChannels>
void TurnTiles(const uint8_t* src, int64_t origin, int64_t xStep, int64_t yStep, uint8_t* dst,
               int32_t dstStep, int32_t x0, int32_t x1, int32_t y0, int32_t y1) {
  constexpr int32_t kTile = 32;
  for (int32_t tileY = y0; tileY <= y1; tileY += kTile) {
    const int32_t lastY = std::min(y1, tileY + (kTile - 1));
    for (int32_t tileX = x0; tileX <= x1; tileX += kTile) {
      const int32_t lastX = std::min(x1, tileX + (kTile - 1));
      for (int32_t y = tileY; y <= lastY; ++y) {
        uint8_t* out = dst + std::ptrdiff_t{y} * dstStep + std::ptrdiff_t{tileX} * kChannels;
        int64_t at = origin + tileX * xStep + y * yStep;
        for (int32_t x = tileX; x <= lastX; ++x, at += xStep, out += kChannels)
          std::memcpy(out, src + at, kChannels);
      }
    }
  }
}

// A turn by a right angle with whole shifts: destination pixel (X, Y) is
// source pixel (c dx - s dy, s dx + c dy), dx = X - xShift, dy = Y - yShift.
KernelStatus TurnByIndex(const WarpImages& w, const AffineTransform& m) {
  if (KernelStatus status = CheckImages(w)) return status;
  if (StartsOutside(w)) return kStsWrongIntersectROI;
  const Rect e = EffectiveRect(w);
  const BoundingBox turned = BoxOf(MappedCorners(e, m));
  const Rect d = w.dstRect;
  const double x0 = std::max(turned.x0, double(d.x)), x1 = std::min(turned.x1, d.x + (d.width - 1.0));
  const double y0 = std::max(turned.y0, double(d.y)), y1 = std::min(turned.y1, d.y + (d.height - 1.0));
  if (x0 > x1 || y0 > y1) return kStsWrongIntersectROI;
  // The shifts are whole and, the turned rectangle meeting the destination,
  // within a few times the int range.
  const int64_t c = static_cast<int64_t>(m[0]), s = static_cast<int64_t>(m[1]);
  const int64_t xShift = static_cast<int64_t>(m[2]), yShift = static_cast<int64_t>(m[5]);
  const int64_t channels = w.channels, step = w.srcStep;
  // offset(X, Y) = sy step + sx channels, linear in X and Y.
  const int64_t xStep = s * step + c * channels, yStep = c * step - s * channels;
  const int64_t origin = -(xShift * xStep + yShift * yStep);
  const int32_t tx0 = static_cast<int32_t>(x0), tx1 = static_cast<int32_t>(x1);
  const int32_t ty0 = static_cast<int32_t>(y0), ty1 = static_cast<int32_t>(y1);
  if (w.channels == 1) TurnTiles<1>(w.src, origin, xStep, yStep, w.dst, w.dstStep, tx0, tx1, ty0, ty1);
  else TurnTiles<3>(w.src, origin, xStep, yStep, w.dst, w.dstStep, tx0, tx1, ty0, ty1);
  return kStsNoErr;
}

KernelStatus RotateImage(const WarpImages& w, double angle, double xShift, double yShift,
                         uint32_t interpolation) {
  const double a = NormalisedAngle(angle);
  const AffineTransform m = RotationTransform(a, xShift, yShift);
  if ((a == 90.0 || a == 180.0 || a == 270.0) && IsWhole(xShift) && IsWhole(yShift))
    return TurnByIndex(w, m);
  return AffineWarp(w, m, interpolation);
}

KernelStatus RotateAbout(const WarpImages& w, double angle, double xCentre, double yCentre,
                         uint32_t interpolation) {
  const Point2 shift = RotationCentreShift(angle, xCentre, yCentre);
  return RotateImage(w, angle, shift.x, shift.y, interpolation);
}

KernelStatus ShearImage(const WarpImages& w, double xShear, double yShear, double xShift,
                        double yShift, uint32_t interpolation) {
  if (w.srcStep < 1 || w.dstStep < 1) return kStsStepErr;
  return AffineWarp(w, ShearTransform(xShear, yShear, xShift, yShift), interpolation);
}

KernelStatus PerspectiveWarp(const WarpImages& w, const PerspectiveCoefficients& c,
                             uint32_t interpolation) {
  if (KernelStatus status = CheckImages(w)) return status;
  if (w.srcStep < 1 || w.dstStep < 1) return kStsStepErr;
  if (!KnownMethod(interpolation)) return kStsInterpolationErr;
  if (!AllFinite(c) || IsSingularPerspective(c)) return kStsCoeffErr;
  const WarpMethod method = MethodFor(interpolation, w.srcSize);
  if (StartsOutside(w)) return kStsWrongIntersectROI;
  const Rect effective = EffectiveRect(w);
  if (effective.width < 2 || effective.height < 2) return kStsRectErr;
  const Quadrangle quad = MappedCorners(effective, c);
  if (!IsConvexQuadrangle(quad)) return kStsCoeffErr;
  return WarpSpans(w, effective, quad, {Adjugate(c), true}, method);
}

}  // namespace

#define KLEM_WARP_IMAGES(channels) \
  WarpImages { src, srcSize, srcStep, srcRect, dst, dstStep, dstRect, channels }

KernelStatus Rotate8uC1(const uint8_t* src, ROI srcSize, int32_t srcStep, Rect srcRect,
                        uint8_t* dst, int32_t dstStep, Rect dstRect, double angle, double xShift,
                        double yShift, uint32_t interpolation) {
  return RotateImage(KLEM_WARP_IMAGES(1), angle, xShift, yShift, interpolation);
}
KernelStatus Rotate8uC3(const uint8_t* src, ROI srcSize, int32_t srcStep, Rect srcRect,
                        uint8_t* dst, int32_t dstStep, Rect dstRect, double angle, double xShift,
                        double yShift, uint32_t interpolation) {
  return RotateImage(KLEM_WARP_IMAGES(3), angle, xShift, yShift, interpolation);
}
KernelStatus RotateCenter8uC1(const uint8_t* src, ROI srcSize, int32_t srcStep, Rect srcRect,
                              uint8_t* dst, int32_t dstStep, Rect dstRect, double angle,
                              double xCentre, double yCentre, uint32_t interpolation) {
  return RotateAbout(KLEM_WARP_IMAGES(1), angle, xCentre, yCentre, interpolation);
}
KernelStatus RotateCenter8uC3(const uint8_t* src, ROI srcSize, int32_t srcStep, Rect srcRect,
                              uint8_t* dst, int32_t dstStep, Rect dstRect, double angle,
                              double xCentre, double yCentre, uint32_t interpolation) {
  return RotateAbout(KLEM_WARP_IMAGES(3), angle, xCentre, yCentre, interpolation);
}
KernelStatus Shear8uC1(const uint8_t* src, ROI srcSize, int32_t srcStep, Rect srcRect,
                       uint8_t* dst, int32_t dstStep, Rect dstRect, double xShear, double yShear,
                       double xShift, double yShift, uint32_t interpolation) {
  return ShearImage(KLEM_WARP_IMAGES(1), xShear, yShear, xShift, yShift, interpolation);
}
KernelStatus Shear8uC3(const uint8_t* src, ROI srcSize, int32_t srcStep, Rect srcRect,
                       uint8_t* dst, int32_t dstStep, Rect dstRect, double xShear, double yShear,
                       double xShift, double yShift, uint32_t interpolation) {
  return ShearImage(KLEM_WARP_IMAGES(3), xShear, yShear, xShift, yShift, interpolation);
}
KernelStatus WarpPerspective8uC1(const uint8_t* src, ROI srcSize, int32_t srcStep, Rect srcRect,
                                 uint8_t* dst, int32_t dstStep, Rect dstRect,
                                 const PerspectiveCoefficients& coeffs, uint32_t interpolation) {
  return PerspectiveWarp(KLEM_WARP_IMAGES(1), coeffs, interpolation);
}
KernelStatus WarpPerspective8uC3(const uint8_t* src, ROI srcSize, int32_t srcStep, Rect srcRect,
                                 uint8_t* dst, int32_t dstStep, Rect dstRect,
                                 const PerspectiveCoefficients& coeffs, uint32_t interpolation) {
  return PerspectiveWarp(KLEM_WARP_IMAGES(3), coeffs, interpolation);
}
#undef KLEM_WARP_IMAGES

}  // namespace klem::kernels
