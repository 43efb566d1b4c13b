// The sampling rules of the warps, one definition each, used by the generic
// spans and by the scalar tails of every SIMD path. The blend formulas are
// templates over the number type, so a vector path runs the very same
// operations, in the same order, on its lanes (GCC vector types take the
// arithmetic operators and scalar operands).
//
// Positions: u = m0 x + (m1 y + m2), the bracket computed once per row, and
// likewise v and w; (u / w, v / w) in the projective case. Before any
// conversion a coordinate is held inside [first - 1, last + 1] of the
// effective rectangle: positions of pixels inside the quadrangle are there
// anyway (up to rounding), and nothing converted can overflow.
//
// Nearest: (trunc(sx + 0.5), trunc(sy + 0.5)), held inside the rectangle.
// Linear: ix = trunc(sx + 1e-7) (at least the first column); at or past the
//   last column ix = last - 1 and fx = 1, else fx = sx - ix; rows likewise;
//   top and bottom blended along x, then the two along y; trunc(value + 0.5).
// Cubic: ix = trunc(sx + 1e-7); the first tap is max(first, ix - 1) when ix <
//   last - 1, else last - 3; t = sx - (first tap + 1); the four interpolating
//   weights of t for the taps at -1, 0, 1, 2 (-t^3/6 + t^2/2 - t/3,
//   t^3/2 - t^2 - t/2 + 1, -t^3/2 + t^2/2 + t, (t^3 - t)/6), applied in x and then in y;
//   clamped to 0 .. 255, then trunc(value + 0.5).
// Positions, tap indices and fractions are doubles; the fractions (fx, fy, t)
// are then rounded to float once, and the weights and blends are computed in
// single precision: twice the lanes per vector, and the taps are whole
// numbers, exact as floats. Every path runs the same float operations in the
// same order, so the bytes agree bit for bit.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "kernels/warp_core.h"

namespace klem::kernels {
namespace {

constexpr double kTapOffset = 1e-7;

struct WarpRowTerms {
  double u, v, w;
};

inline WarpRowTerms RowTerms(const WarpInverse& inverse, int32_t y) {
  const std::array<double, 9>& m = inverse.m;
  const double yd = y;
  return {m[1] * yd + m[2], m[4] * yd + m[5], m[7] * yd + m[8]};
}

// The min and max of the vector instructions: the second operand wins a tie
// and a NaN.
template <typename T>
T MinOf(T a, T b) {
  return a < b ? a : b;
}
template <typename T>
T MaxOf(T a, T b) {
  return a > b ? a : b;
}

template <typename T>
T Lerp(T a, T b, T f) {
  return a + (b - a) * f;
}

// The weights of the taps at -1, 0, 1, 2 for an offset t from tap 0.
template <typename T>
void CubicWeightsAt(T t, T (&w)[4]) {
  const T t2 = t * t;
  const T t3 = t2 * t;
  // Sixths and thirds as products with their reciprocals: divisions would
  // cost more than the rest of a pixel's arithmetic.
  constexpr float kSixth = 1.0f / 6.0f, kThird = 1.0f / 3.0f;
  w[0] = -t3 * kSixth + t2 * 0.5f - t * kThird;
  w[1] = t3 * 0.5f - t2 - t * 0.5f + 1.0f;
  w[2] = -t3 * 0.5f + t2 * 0.5f + t;
  w[3] = (t3 - t) * kSixth;
}

template <typename T>
T CubicSum(const T (&w)[4], T p0, T p1, T p2, T p3) {
  return w[0] * p0 + w[1] * p1 + w[2] * p2 + w[3] * p3;
}

// A blended value clamped to 0 .. 255 and offset by 0.5: its truncation is
// the byte.
inline float ByteValue(float value) { return MinOf(MaxOf(value, 0.0f), 255.0f) + 0.5f; }

struct WarpAxis {
  double first, last;
};

inline double HeldInside(double s, WarpAxis a) { return MinOf(MaxOf(s, a.first - 1.0), a.last + 1.0); }

inline int32_t NearestTap(double s, WarpAxis a) {
  return static_cast<int32_t>(MinOf(MaxOf(std::trunc(HeldInside(s, a) + 0.5), a.first), a.last));
}

struct LinearTap {
  int32_t index;
  float fraction;
};
inline LinearTap LinearTapAt(double s, WarpAxis a) {
  s = HeldInside(s, a);
  const double i = MaxOf(std::trunc(s + kTapOffset), a.first);
  if (i >= a.last) return {static_cast<int32_t>(a.last - 1.0), 1.0f};
  return {static_cast<int32_t>(i), static_cast<float>(s - i)};
}

struct CubicTap {
  int32_t first;
  float t;
};
inline CubicTap CubicTapAt(double s, WarpAxis a) {
  s = HeldInside(s, a);
  const double i = std::trunc(s + kTapOffset);
  const double first = i < a.last - 1.0 ? MaxOf(i - 1.0, a.first) : a.last - 3.0;
  return {static_cast<int32_t>(first), static_cast<float>(s - (first + 1.0))};
}

inline const uint8_t* PixelAt(const WarpSource& s, int32_t x, int32_t y, int32_t channels) {
  return s.pixels + y * s.step + std::ptrdiff_t{x} * channels;
}

template <int32_t kChannels>
void SampleNearest(const WarpSource& s, double sx, double sy, uint8_t* out) {
  const uint8_t* p = PixelAt(s, NearestTap(sx, {double(s.x0), double(s.x1)}),
                             NearestTap(sy, {double(s.y0), double(s.y1)}), kChannels);
  std::memcpy(out, p, kChannels);
}

template <int32_t kChannels>
void SampleLinear(const WarpSource& s, double sx, double sy, uint8_t* out) {
  const LinearTap tx = LinearTapAt(sx, {double(s.x0), double(s.x1)});
  const LinearTap ty = LinearTapAt(sy, {double(s.y0), double(s.y1)});
  const uint8_t* r0 = PixelAt(s, tx.index, ty.index, kChannels);
  const uint8_t* r1 = r0 + s.step;
  for (int32_t c = 0; c < kChannels; ++c) {
    const float top = Lerp<float>(r0[c], r0[c + kChannels], tx.fraction);
    const float bottom = Lerp<float>(r1[c], r1[c + kChannels], tx.fraction);
    out[c] = static_cast<uint8_t>(static_cast<int32_t>(ByteValue(Lerp(top, bottom, ty.fraction))));
  }
}

template <int32_t kChannels>
void SampleCubic(const WarpSource& s, double sx, double sy, uint8_t* out) {
  const CubicTap tx = CubicTapAt(sx, {double(s.x0), double(s.x1)});
  const CubicTap ty = CubicTapAt(sy, {double(s.y0), double(s.y1)});
  float wx[4], wy[4];
  CubicWeightsAt(tx.t, wx);
  CubicWeightsAt(ty.t, wy);
  const uint8_t* p = PixelAt(s, tx.first, ty.first, kChannels);
  for (int32_t c = 0; c < kChannels; ++c) {
    float rows[4];
    for (int32_t r = 0; r < 4; ++r) {
      const uint8_t* q = p + r * s.step + c;
      rows[r] = CubicSum<float>(wx, q[0], q[kChannels], q[2 * kChannels], q[3 * kChannels]);
    }
    const float value = CubicSum(wy, rows[0], rows[1], rows[2], rows[3]);
    out[c] = static_cast<uint8_t>(static_cast<int32_t>(ByteValue(value)));
  }
}

enum class WarpMethod { kNearest, kLinear, kCubic };

template <WarpMethod kMethod, int32_t kChannels>
void SamplePixel(const WarpSource& s, double sx, double sy, uint8_t* out) {
  if constexpr (kMethod == WarpMethod::kNearest) SampleNearest<kChannels>(s, sx, sy, out);
  else if constexpr (kMethod == WarpMethod::kLinear) SampleLinear<kChannels>(s, sx, sy, out);
  else SampleCubic<kChannels>(s, sx, sy, out);
}

// Pixels x .. xEnd - 1 of a span, one at a time.
template <WarpMethod kMethod, int32_t kChannels, bool kProjective>
void SampleScalar(const WarpSource& s, const WarpInverse& inverse, const WarpRowTerms& row,
                  int32_t x, int32_t xEnd, uint8_t* dstRow) {
  const std::array<double, 9>& m = inverse.m;
  for (; x < xEnd; ++x) {
    const double xd = x;
    double sx = m[0] * xd + row.u, sy = m[3] * xd + row.v;
    if constexpr (kProjective) {
      const double w = m[6] * xd + row.w;
      sx = sx / w, sy = sy / w;
    }
    SamplePixel<kMethod, kChannels>(s, sx, sy, dstRow + std::ptrdiff_t{x} * kChannels);
  }
}

}  // namespace
}  // namespace klem::kernels
