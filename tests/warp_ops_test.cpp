// Rotation, shear and perspective warp through the exported interface: each
// against a reference computed here from the sampling formulas, the edge
// cases, the checks in their order and images left alone when they fail.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include "handle_test_support.h"

namespace klem::test {
namespace {

struct Pt {
  double x, y;
};
using Map = std::function<Pt(Pt)>;

// Source samples by the three rules, straight from their formulas.
struct Reference {
  const std::vector<uint8_t>& px;
  int32_t w, h, step, c;
  int32_t At(int32_t x, int32_t y, int32_t k) const { return px[size_t(y) * step + x * c + k]; }
  uint8_t Sample(Pt s, int32_t mode, int32_t k) const {
    if (mode == 3) return uint8_t(At(int32_t(std::trunc(s.x + 0.5)), int32_t(std::trunc(s.y + 0.5)), k));
    if (mode != 2) {
      auto tap = [](double v, int32_t n, int32_t& i, double& f) {
        i = int32_t(std::trunc(v + 1e-7));
        if (i >= n - 1) i = n - 2, f = 1; else f = v - i;
      };
      int32_t ix, iy;
      double fx, fy;
      tap(s.x, w, ix, fx), tap(s.y, h, iy, fy);
      const double top = At(ix, iy, k) + (At(ix + 1, iy, k) - At(ix, iy, k)) * fx;
      const double bottom = At(ix, iy + 1, k) + (At(ix + 1, iy + 1, k) - At(ix, iy + 1, k)) * fx;
      return uint8_t(std::trunc(top + (bottom - top) * fy + 0.5));
    }
    auto taps = [](double v, int32_t n, int32_t& first, double wt[4]) {
      const int32_t i = int32_t(std::trunc(v + 1e-7));
      first = i < n - 2 ? std::max(0, i - 1) : n - 4;
      const double t = v - (first + 1);
      wt[0] = -t * t * t / 6 + t * t / 2 - t / 3, wt[1] = t * t * t / 2 - t * t - t / 2 + 1;
      wt[2] = -t * t * t / 2 + t * t / 2 + t, wt[3] = (t * t * t - t) / 6;
    };
    int32_t fx, fy;
    double wx[4], wy[4], value = 0;
    taps(s.x, w, fx, wx), taps(s.y, h, fy, wy);
    for (int32_t r = 0; r < 4; ++r) {
      double row = 0;
      for (int32_t j = 0; j < 4; ++j) row += wx[j] * At(fx + j, fy + r, k);
      value += wy[r] * row;
    }
    return value > 255 ? 255 : value < 0 ? 0 : uint8_t(std::trunc(value + 0.5));
  }
};

// Pixels whose centres lie clearly inside the mapped source corners hold the
// reference sample of the inverse position, those clearly outside their old
// bytes; the few within 1e-9 of the border may be either.
void ExpectWarp(const HostImage& src, const HostImage& dst, const std::vector<uint8_t>& before,
                const Map& forward, const Map& inverse, int32_t mode, const std::string& what) {
  const Geometry s = src.Shape(), d = dst.Shape();
  const int32_t c = d.bytesPerPixel;
  const std::vector<uint8_t> source = src.Bytes(), after = dst.Bytes();
  const Reference ref{source, s.width, s.height, s.widthBytes, c};
  const Pt q[4] = {forward({0, 0}), forward({s.width - 1.0, 0}),
                   forward({s.width - 1.0, s.height - 1.0}), forward({0, s.height - 1.0})};
  int32_t checked = 0;
  for (int32_t y = 0; y < d.height; ++y) {
    for (int32_t x = 0; x < d.width; ++x) {
      double lo = 1e300, hi = -1e300;
      for (int32_t i = 0; i < 4; ++i) {
        const Pt a = q[i], b = q[(i + 1) % 4];
        const double len = std::hypot(b.x - a.x, b.y - a.y);
        const double side = ((b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x)) / len;
        lo = std::min(lo, side), hi = std::max(hi, side);
      }
      const bool inside = lo > 1e-9 || hi < -1e-9, outside = lo < -1e-9 && hi > 1e-9;
      for (int32_t k = 0; k < c; ++k) {
        const size_t at = size_t(y) * d.widthBytes + x * c + k;
        if (inside) {
          ASSERT_EQ(after[at], ref.Sample(inverse({double(x), double(y)}), mode, k))
              << what << " mode " << mode << " at " << x << "," << y;
        } else if (outside) {
          ASSERT_EQ(after[at], before[at]) << what << " outside at " << x << "," << y;
        }
      }
      checked += inside;
    }
  }
  EXPECT_GT(checked, 0) << what;
}

// The affine map (a x + b y + e, c x + d y + f) and its inverse.
std::pair<Map, Map> Affine(double a, double b, double e, double c, double d, double f) {
  const double det = a * d - b * c;
  return {[=](Pt p) { return Pt{a * p.x + b * p.y + e, c * p.x + d * p.y + f}; },
          [=](Pt p) {
            const double u = p.x - e, v = p.y - f;
            return Pt{(d * u - b * v) / det, (a * v - c * u) / det};
          }};
}

// The kernel angle of a host angle, in radians, as the rotation builds it.
std::pair<double, double> CosSin(double hostAngle) {
  double a = std::fmod(-hostAngle, 360.0);
  if (a < 0) a += 360;
  const double r = a / 180 * 3.141592653589793;
  return {std::cos(r), std::sin(r)};
}

const int32_t kModes[] = {0, 1, 2, 3};

TEST(WarpOps, RotationsShearsAndPerspectiveMatchTheFormulas) {
  for (uint32_t bpp : {8u, 24u}) {
    HostImage src(23, 17, bpp);
    src.SetBytes(Pattern(src.Shape().size, 5));
    for (double angle : {0.0, 37.0, -123.5, 200.25}) {
      const auto [co, si] = CosSin(angle);
      const double xs[4] = {0, co * 22, co * 22 + si * 16, si * 16};
      const double ys[4] = {0, -si * 22, -si * 22 + co * 16, co * 16};
      const double x0 = *std::min_element(xs, xs + 4), y0 = *std::min_element(ys, ys + 4);
      const auto [fwd, inv] = Affine(co, si, -x0, -si, co, -y0);
      for (int32_t mode : kModes) {
        HostImage dst(int32_t(*std::max_element(xs, xs + 4) - x0) + 1,
                      int32_t(*std::max_element(ys, ys + 4) - y0) + 1, bpp);
        dst.SetBytes(Pattern(dst.Shape().size, 9));
        const std::vector<uint8_t> before = dst.Bytes();
        ASSERT_EQ(KLEM_Rotate(dst.h(), src.h(), angle, mode), KLEM_OK) << dst.Error();
        ExpectWarp(src, dst, before, fwd, inv, mode, "rotate " + std::to_string(angle));
      }
    }
    for (auto [sx, sy] : {std::pair{0.3, -0.2}, {-0.45, 0.15}}) {
      const double x0 = std::min({0.0, sx * 16, 22.0, 22 + sx * 16});
      const double y0 = std::min({0.0, sy * 22, 16.0, 16 + sy * 22});
      const auto [fwd, inv] = Affine(1, sx, -x0, sy, 1, -y0);
      for (int32_t mode : kModes) {
        HostImage dst(31, 23, bpp);
        const std::vector<uint8_t> before = dst.Bytes();
        ASSERT_EQ(KLEM_Shear(dst.h(), src.h(), sx, sy, mode), KLEM_OK) << dst.Error();
        ExpectWarp(src, dst, before, fwd, inv, mode, "shear");
      }
    }
    const double k[9] = {0.9, 0.12, 1.3, -0.05, 1.1, 2.2, 0.004, -0.006, 1.0};
    const Map fwd = [&](Pt p) {
      const double w = k[6] * p.x + k[7] * p.y + k[8];
      return Pt{(k[0] * p.x + k[1] * p.y + k[2]) / w, (k[3] * p.x + k[4] * p.y + k[5]) / w};
    };
    const Map inv = [&](Pt p) {  // the adjugate, row by row
      const double u = (k[4] * k[8] - k[7] * k[5]) * p.x + (k[7] * k[2] - k[1] * k[8]) * p.y + (k[1] * k[5] - k[4] * k[2]);
      const double v = (k[6] * k[5] - k[3] * k[8]) * p.x + (k[0] * k[8] - k[6] * k[2]) * p.y + (k[2] * k[3] - k[5] * k[0]);
      const double w = (k[3] * k[7] - k[6] * k[4]) * p.x + (k[6] * k[1] - k[7] * k[0]) * p.y + (k[0] * k[4] - k[1] * k[3]);
      return Pt{u / w, v / w};
    };
    for (int32_t mode : kModes) {
      HostImage dst(27, 21, bpp);
      const std::vector<uint8_t> before = dst.Bytes();
      ASSERT_EQ(KLEM_WarpPerspective(dst.h(), src.h(), k, 9, mode), KLEM_OK) << dst.Error();
      ExpectWarp(src, dst, before, fwd, inv, mode, "perspective");
    }
  }
}

// Right angles move pixels by index, whatever the mode (5 included).
TEST(WarpOps, RightAnglesPermutePixels) {
  for (uint32_t bpp : {8u, 24u}) {
    const int32_t c = bpp / 8;
    HostImage src(4, 2, bpp);
    src.SetBytes(Pattern(src.Shape().size, 3));
    const std::vector<uint8_t> s = src.Bytes();
    const int32_t ss = src.Shape().widthBytes;
    struct Turn {
      double angle;
      int32_t w, h;
      std::function<Pt(int32_t, int32_t)> to;  // where source (x, y) lands
    } turns[] = {{90, 2, 4, [](int32_t x, int32_t y) { return Pt{1.0 - y, double(x)}; }},
                 {180, 4, 2, [](int32_t x, int32_t y) { return Pt{3.0 - x, 1.0 - y}; }},
                 {-90, 2, 4, [](int32_t x, int32_t y) { return Pt{double(y), 3.0 - x}; }}};
    for (const Turn& t : turns) {
      for (int32_t mode : {0, 2, 3, 5}) {
        HostImage dst(t.w, t.h, bpp);
        ASSERT_EQ(KLEM_Rotate(dst.h(), src.h(), t.angle, mode), KLEM_OK) << dst.Error();
        const std::vector<uint8_t> d = dst.Bytes();
        for (int32_t y = 0; y < 2; ++y)
          for (int32_t x = 0; x < 4; ++x)
            for (int32_t k = 0; k < c; ++k) {
              const Pt p = t.to(x, y);
              EXPECT_EQ(d[size_t(p.y) * dst.Shape().widthBytes + int32_t(p.x) * c + k], s[size_t(y) * ss + x * c + k])
                  << t.angle << " mode " << mode;
            }
      }
    }
  }
}

TEST(WarpOps, EdgeCases) {
  // 45 degrees leaves the corners alone.
  HostImage src(20, 20, 8, Pattern(20 * 20, 1)), dst(28, 28, 8);
  const std::vector<uint8_t> before = dst.Bytes();
  ASSERT_EQ(KLEM_Rotate(dst.h(), src.h(), 45, 1), KLEM_OK);
  for (size_t at : {size_t(0), size_t(27), size_t(27 * 28), size_t(28 * 28 - 1)}) EXPECT_EQ(dst.Bytes()[at], before[at]);
  // The centre stays where it is, whatever the mode.
  HostImage big(40, 40, 8, Pattern(1600, 2)), same(40, 40, 8);
  for (int32_t mode : kModes) {
    ASSERT_EQ(KLEM_RotateCenter(same.h(), big.h(), 30, 10, 20, mode), KLEM_OK);
    EXPECT_EQ(same.Bytes()[20 * 40 + 10], big.Bytes()[20 * 40 + 10]) << mode;
  }
  // A 1-bit rotation by 0 of 10 x 8 needs 9 x 7.
  HostImage bits(10, 8, 1), wrong(10, 8, 1), right(9, 7, 1);
  EXPECT_EQ(KLEM_Rotate(right.h(), bits.h(), 0, 1), KLEM_OK) << right.Error();
  EXPECT_EQ(KLEM_Rotate(wrong.h(), bits.h(), 0, 1), 1u);
  EXPECT_EQ(wrong.Error(), kDifferentSize);
  // Identity coefficients copy the pixels, every mode.
  const double identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  for (int32_t mode : kModes) {
    HostImage copy(20, 20, 8);
    ASSERT_EQ(KLEM_WarpPerspective(copy.h(), src.h(), identity, 9, mode), KLEM_OK);
    EXPECT_EQ(copy.Bytes(), src.Bytes()) << mode;
  }
  // A one-pixel-wide source turns by 90 but not by 45.
  HostImage thin(1, 6, 8), turned(6, 1, 8);
  thin.SetBytes(Pattern(thin.Shape().size, 4));
  EXPECT_EQ(KLEM_Rotate(turned.h(), thin.h(), 90, 1), KLEM_OK);
  EXPECT_EQ(turned.Bytes()[0], thin.Bytes()[5 * thin.Shape().widthBytes]);
}

// Each refusal with its text (a kernel's with its status), the destination
// unchanged.
TEST(WarpOps, FailuresInOrderLeaveTheImageAlone) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = INFINITY;
  const double eight[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  const double bad[3][9] = {{nan, 0, 0, 0, 1, 0, 0, 0, 1}, {1, 0, inf, 0, 1, 0, 0, 0, 1}, {1, 0, 0, 0, 1, 0, 0, 0, 0}};
  using Call = std::function<uint32_t(KLEM_HANDLE, KLEM_HANDLE)>;
  const std::string rotate = "Can't rotate image! Error(", shear = "Can't shear image! Error(";
  const std::string warp = "Can't warp perspective the image! Error(";
  const struct {
    uint32_t dstBpp, srcBpp;
    int32_t srcWidth;
    Call call;
    std::string text;  // whole, or the start of a kernel's text
  } cases[] = {
      {8, 24, 9, [](auto d, auto s) { return KLEM_Rotate(d, s, 10, 1); }, kDifferentFormat},
      {8, 24, 9, [](auto d, auto s) { return KLEM_Shear(d, s, 0.1, 0, 9); }, kDifferentFormat},
      {8, 8, 9, [](auto d, auto s) { return KLEM_Rotate(d, s, 10, 4); }, "Unsupported interpolation mode!"},
      {8, 8, 9, [](auto d, auto s) { return KLEM_RotateCenter(d, s, 10, 1, 1, -1); }, "Unsupported interpolation mode!"},
      {8, 8, 9, [](auto d, auto s) { return KLEM_Shear(d, s, 0.1, 0, 5); }, "Unsupported interpolation mode!"},
      {8, 8, 9, [&](auto d, auto s) { return KLEM_WarpPerspective(d, s, eight, 9, 5); }, "Unsupported interpolation mode!"},
      {8, 8, 9, [](auto d, auto s) { return KLEM_Rotate(d, s, 45, 5); }, rotate + "-22)"},
      {24, 24, 9, [](auto d, auto s) { return KLEM_Shear(d, s, 1, 1, 1); }, shear + "-56)"},
      {8, 8, 1, [](auto d, auto s) { return KLEM_Rotate(d, s, 45, 1); }, rotate + "-57)"},
      {8, 8, 1, [](auto d, auto s) { return KLEM_Shear(d, s, 0.2, 0, 1); }, shear + "-57)"},
      {8, 8, 9, [=](auto d, auto s) { return KLEM_Rotate(d, s, nan, 1); }, rotate + "-56)"},
      // The mode is the warp's first check, the angle its second.
      {8, 8, 9, [=](auto d, auto s) { return KLEM_Rotate(d, s, inf, 5); }, rotate + "-22)"},
      {8, 8, 9, [=](auto d, auto s) { return KLEM_Rotate(d, s, inf, 1); }, rotate + "-56)"},
      {8, 8, 9, [=](auto d, auto s) { return KLEM_Rotate(d, s, nan, 0); }, rotate + "-56)"},
      {1, 1, 9, [=](auto d, auto s) { return KLEM_Rotate(d, s, nan, 0); }, rotate + "-56)"},
      {24, 24, 9, [=](auto d, auto s) { return KLEM_Shear(d, s, inf, 0, 3); }, shear + "-56)"},
      {8, 8, 9, [=](auto d, auto s) { return KLEM_WarpPerspective(d, s, bad[0], 9, 1); }, warp + "-56)"},
      {8, 8, 9, [=](auto d, auto s) { return KLEM_WarpPerspective(d, s, bad[1], 9, 2); }, warp + "-56)"},
      {8, 8, 9, [=](auto d, auto s) { return KLEM_WarpPerspective(d, s, bad[2], 9, 3); }, warp + "-56)"},
      // Moved wholly off the destination: nothing to compute.
      {8, 8, 9, [](auto d, auto s) { return KLEM_RotateCenter(d, s, 90, 100, 0, 1); }, "Can't rotate image! Warning(29)"},
      {8, 8, 9, [](auto d, auto s) { return KLEM_RotateCenter(d, s, 30, 100, 0, 1); }, "Can't rotate image! Warning(30)"},
  };
  for (const auto& c : cases) {
    HostImage src(c.srcWidth, 7, c.srcBpp), dst(9, 7, c.dstBpp);
    src.SetBytes(Pattern(src.Shape().size, 6));
    dst.SetBytes(Pattern(dst.Shape().size, 8));
    const std::vector<uint8_t> before = dst.Bytes();
    EXPECT_EQ(c.call(dst.h(), src.h()), 1u) << c.text;
    EXPECT_EQ(dst.Error().substr(0, c.text.size()), c.text);
    EXPECT_EQ(dst.Bytes(), before) << c.text;
  }
}

// The coefficient array: a wrong count or a null pointer puts the text on the
// source's object and touches nothing; a null source, checked first, is the
// handle's own.
TEST(WarpOps, CoefficientArrayIsCheckedOnTheSource) {
  HostImage src(9, 7, 8), dst(9, 7, 8);
  std::array<double, 9> coeffs = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  const std::array<double, 9> given = coeffs;
  KLEM_SetError(dst.h(), "kept");
  EXPECT_EQ(KLEM_WarpPerspective(dst.h(), src.h(), coeffs.data(), 8, 1), 1u);
  EXPECT_EQ(src.Error(), "coeffs must be an array of 9 double values!");
  EXPECT_EQ(dst.Error(), "kept");
  EXPECT_EQ(coeffs, given);
  KLEM_SetError(src.h(), "");
  EXPECT_EQ(KLEM_WarpPerspective(dst.h(), src.h(), nullptr, 9, 1), 1u);
  EXPECT_EQ(src.Error(), "coeffs must be an array of 9 double values!");
  EXPECT_EQ(KLEM_WarpPerspective(dst.h(), nullptr, coeffs.data(), 8, 1), 1u);
  EXPECT_EQ(dst.Error(), kNullSource);
}

}  // namespace
}  // namespace klem::test
