// What the geometry kernels share: the kernel interpolation codes, source and
// destination rectangles, bounding boxes, quadrangles and the coefficients of
// a projective transform. Coordinates name pixel centres: x to the right, y
// downwards, the corner pixels of a w x h rectangle at (x, y) at x .. x + w - 1
// and y .. y + h - 1.
#pragma once

#include <array>
#include <cstdint>

namespace klem::kernels {

// Kernel interpolation codes. The smooth-edge flag is a top bit that no
// kernel implements: alone it is refused, with a method bit the bit is
// ignored.
enum KernelInterpolation : uint32_t {
  kInterNearest = 1,
  kInterLinear = 2,
  kInterCubic = 4,
  kInterSupersample = 8,
  kInterSmoothEdge = 0x80000000u,
};

// A rectangle of pixels: its top-left pixel and its size.
struct Rect {
  int32_t x;
  int32_t y;
  int32_t width;
  int32_t height;
};

// The smallest and largest x and y of a set of points.
struct BoundingBox {
  double x0;
  double y0;
  double x1;
  double y1;
};

struct Point2 {
  double x;
  double y;
};

// The images of a rectangle's top-left, top-right, bottom-right and
// bottom-left corner pixels, in that order.
using Quadrangle = std::array<Point2, 4>;

// c0 .. c8 row by row: (x, y) goes to ((c0 x + c1 y + c2) / w, (c3 x + c4 y + c5) / w)
// with w = c6 x + c7 y + c8.
using PerspectiveCoefficients = std::array<double, 9>;

}  // namespace klem::kernels
