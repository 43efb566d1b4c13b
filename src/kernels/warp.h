// Rotation, shear and perspective warp of 8-bit images, their bounding boxes
// and the coefficients that carry a rectangle onto a quadrangle. Every
// transform maps source coordinates to destination coordinates; the warps map
// each destination pixel back into the source and write only the pixels whose
// centres lie inside the mapped source rectangle or on its border. The C3
// forms interpolate each byte of a pixel on its own with the same weights.
#pragma once

#include <cstdint>

#include "kernels/geometry_types.h"
#include "kernels/kernel_types.h"

namespace klem::kernels {

// Angles are in degrees; x' = x cos a + y sin a + xShift,
// y' = -x sin a + y cos a + yShift. Statuses: -6 an empty or negative
// rectangle. The box is filled whenever the rectangle is valid.
KernelStatus RotateBoundingBox(Rect srcRect, BoundingBox* box, double angle, double xShift,
                               double yShift);
// x' = x + xShear y + xShift, y' = yShear x + y + yShift. Statuses: -6 as
// above, -56 a degenerate or non-convex mapped quadrangle (the box is filled
// all the same).
KernelStatus ShearBoundingBox(Rect srcRect, BoundingBox* box, double xShear, double yShear,
                              double xShift, double yShift);

// The warp kernels take the whole source (size and row step), the source
// rectangle to map, the destination's pixels and row step, the destination
// rectangle they may write, the transform and a kernel interpolation code.
#define KLEM_WARP_KERNEL(name, ...)                                                          \
  KernelStatus name(const uint8_t* src, ROI srcSize, int32_t srcStep, Rect srcRect, uint8_t* dst, \
                    int32_t dstStep, Rect dstRect, __VA_ARGS__, uint32_t interpolation)
KLEM_WARP_KERNEL(Rotate8uC1, double angle, double xShift, double yShift);
KLEM_WARP_KERNEL(Rotate8uC3, double angle, double xShift, double yShift);
// About the source pixel (xCentre, yCentre), which stays where it is.
KLEM_WARP_KERNEL(RotateCenter8uC1, double angle, double xCentre, double yCentre);
KLEM_WARP_KERNEL(RotateCenter8uC3, double angle, double xCentre, double yCentre);
KLEM_WARP_KERNEL(Shear8uC1, double xShear, double yShear, double xShift, double yShift);
KLEM_WARP_KERNEL(Shear8uC3, double xShear, double yShear, double xShift, double yShift);
KLEM_WARP_KERNEL(WarpPerspective8uC1, const PerspectiveCoefficients& coeffs);
KLEM_WARP_KERNEL(WarpPerspective8uC3, const PerspectiveCoefficients& coeffs);
#undef KLEM_WARP_KERNEL

// The coefficients that carry the corner pixels of srcRect to the
// quadrangle's corners. Statuses: -6 an empty or negative rectangle, -58 a
// degenerate or non-convex quadrangle, -57 a rectangle narrower or lower than
// two pixels.
KernelStatus WarpPerspectiveCoefficients(Rect srcRect, const Quadrangle& quad,
                                         PerspectiveCoefficients* coeffs);
// Where the corner pixels of srcRect land. Statuses: -6 as above, -56 a
// degenerate or non-convex quadrangle (the box is filled all the same).
KernelStatus WarpPerspectiveBoundingBox(Rect srcRect, BoundingBox* box,
                                        const PerspectiveCoefficients& coeffs);

}  // namespace klem::kernels
