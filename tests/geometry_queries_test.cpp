// Mirroring, and the box and coefficient queries of the warps, through the
// exported interface: the pixels a mirror moves, the values each query
// gives, what each refuses, the texts it tells and what it leaves untouched.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "frame/library_texts.h"
#include "handle_test_support.h"
#include "kernel_test_support.h"
#include "kernels/mirror.h"
#include "kernels/warp.h"
#include "kernels/warp_transforms.h"

namespace klem::test {
namespace {

using MirrorFn = uint32_t (*)(KLEM_HANDLE);
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// What each mirror moves is in the table below; that the vector paths move
// the same is proven in kernel_paths_test.cpp.
TEST(Mirror, TwiceRestores) {
  for (uint32_t bpp : {8u, 24u}) {
    for (const MirrorFn op : {KLEM_MirrorHorizontal, KLEM_MirrorVertical}) {
      const std::vector<uint8_t> original = Pattern(301 * 7 * bpp / 8, bpp);
      HostImage image(301, 7, bpp, original);
      ASSERT_EQ(op(image.h()), KLEM_OK);
      EXPECT_NE(image.Bytes(), original);
      ASSERT_EQ(op(image.h()), KLEM_OK);
      EXPECT_EQ(image.Bytes(), original) << bpp;
    }
  }
}

TEST(Mirror, SmallImagesAndRefusals) {
  const std::string single = ComposeKernelErrorText("Can't mirror image!", -6);
  const std::vector<uint8_t> nine{1, 2, 3, 4, 5, 6, 7, 8, 9}, four{1, 2, 3, 4};
  const struct {
    int32_t w, h;
    uint32_t bpp;
    MirrorFn op;
    std::vector<uint8_t> before, after;
    std::string text;  // empty: the call succeeds
  } cases[] = {
      // Pixels 2, 1, 0 with their bytes in order; row 2 of 5 stays.
      {3, 1, 24, KLEM_MirrorHorizontal, nine, {7, 8, 9, 4, 5, 6, 1, 2, 3}, ""},
      {2, 5, 8, KLEM_MirrorVertical, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {8, 9, 6, 7, 4, 5, 2, 3, 0, 1}, ""},
      {1, 3, 24, KLEM_MirrorVertical, nine, {7, 8, 9, 4, 5, 6, 1, 2, 3}, ""},
      {4, 1, 8, KLEM_MirrorHorizontal, four, {4, 3, 2, 1}, ""},
      {1, 3, 24, KLEM_MirrorHorizontal, nine, nine, single},
      {3, 1, 24, KLEM_MirrorVertical, nine, nine, single},
  };
  for (const auto& c : cases) {
    HostImage image(c.w, c.h, c.bpp, c.before);
    KLEM_SetError(image.h(), "stale");
    EXPECT_EQ(c.op(image.h()), c.text.empty() ? KLEM_OK : KLEM_FAILED) << c.w << "x" << c.h;
    EXPECT_EQ(image.Error(), c.text);
    EXPECT_EQ(image.Bytes(), c.after) << c.w << "x" << c.h;
  }
}

// The kernels' checks in their order: pointer, region, axis, then the extent
// the axis needs.
TEST(Mirror, KernelChecksComeInTheirOrder) {
  using kernels::ROI;
  uint8_t p[12] = {};
  test::ExpectStatusesOnEveryEntry({
      Refusal("null before size", -8, kernels::kMirrorInPlace8uC1, nullptr, 4, ROI{0, 1}, 2),
      Refusal("size before axis", -6, kernels::kMirrorInPlace8uC3, p, 12, ROI{4, 0}, 2),
      Refusal("axis before width", -21, kernels::kMirrorInPlace8uC1, p, 4, ROI{1, 1}, -1),
      Refusal("one column", -6, kernels::kMirrorInPlace8uC3, p, 12, ROI{1, 3}, 1),
      Refusal("one row", -6, kernels::kMirrorInPlace8uC1, p, 4, ROI{4, 1}, 0),
  });
}

// Equal, or within the tolerance; NaN matches NaN.
bool Same(double a, double b, double tolerance) {
  return a == b || std::fabs(a - b) <= tolerance || (std::isnan(a) && std::isnan(b));
}

using Box = std::array<double, 4>;

TEST(GeometryQueries, BoxesAreWrittenAlsoWhenTheyFail) {
  HostImage dest(1, 1, 8), wide(4, 2, 24), square(100, 100, 8), empty;
  const std::string rotate = "Can't get rotate bounding box!", shear = "Can't get shear bounding box!";
  const std::string warp = "Can't get warp perspective bounding box!";
  const std::array<double, 9> doubled{2, 0, 0, 0, 2, 0, 0, 0, 1}, broken{1, 0, 0, 0, kNaN, 0, 0, 0, 1};
  const struct {
    const char* name;
    KLEM_HANDLE source;
    uint32_t (*query)(KLEM_HANDLE, KLEM_HANDLE, const double*, double*);  // out: x0, y0, x1, y1
    const double* args;
    Box expected;
    std::string text;
    double tolerance = 0;
  } cases[] = {
#define QUERY(...) \
  [](KLEM_HANDLE d, KLEM_HANDLE s, [[maybe_unused]] const double* a, double* b) -> uint32_t { return __VA_ARGS__; }
      {"90 degrees", wide.h(), QUERY(KLEM_RotateBox(d, s, 90, b, b + 1, b + 2, b + 3)), nullptr, {-1, 0, 0, 3}, ""},
      // Right angles are exact, whatever turn they are given as.
      {"-90 degrees", wide.h(), QUERY(KLEM_RotateBox(d, s, -450, b, b + 1, b + 2, b + 3)), nullptr, {0, -3, 1, 0}, ""},
      {"180 degrees", wide.h(), QUERY(KLEM_RotateBox(d, s, 180, b, b + 1, b + 2, b + 3)), nullptr, {-3, -1, 0, 0}, ""},
      {"-30 degrees", wide.h(), QUERY(KLEM_RotateBox(d, s, -390, b, b + 1, b + 2, b + 3)), nullptr,
       {0, -1.5, 3 * std::cos(M_PI / 6) + 0.5, std::cos(M_PI / 6)}, "", 1e-12},
      {"empty source", empty.h(), QUERY(KLEM_RotateBox(d, s, 1, b, b + 1, b + 2, b + 3)), nullptr, {0, 0, 0, 0},
       ComposeKernelErrorText(rotate, -6)},
      {"NaN angle", wide.h(), QUERY(KLEM_RotateBox(d, s, kNaN, b, b + 1, b + 2, b + 3)), nullptr,
       {kNaN, kNaN, kNaN, kNaN}, ComposeKernelErrorText(rotate, -56)},
      {"shear", wide.h(), QUERY(KLEM_ShearBox(d, s, 0.5, 0, b, b + 1, b + 2, b + 3)), nullptr, {0, 0, 3.5, 1}, ""},
      {"singular shear", wide.h(), QUERY(KLEM_ShearBox(d, s, 1, 1, b, b + 1, b + 2, b + 3)), nullptr, {0, 0, 4, 4},
       ComposeKernelErrorText(shear, -56)},
      {"infinite shear", wide.h(), QUERY(KLEM_ShearBox(d, s, 0, kInf, b, b + 1, b + 2, b + 3)), nullptr,
       {0, kNaN, 3, kNaN}, ComposeKernelErrorText(shear, -56)},
      {"doubled", square.h(), QUERY(KLEM_WarpPerspectiveBox(d, s, a, 9, b, b + 1, b + 2, b + 3)), doubled.data(),
       {0, 0, 198, 198}, ""},
      {"NaN coefficient", square.h(), QUERY(KLEM_WarpPerspectiveBox(d, s, a, 9, b, b + 1, b + 2, b + 3)),
       broken.data(), {0, kNaN, 99, kNaN}, ComposeKernelErrorText(warp, -56)},
      // A null out pointer: the operation's text with the null-pointer status, nothing written.
      {"null y1", wide.h(), QUERY(KLEM_RotateBox(d, s, 0, b, b + 1, b + 2, nullptr)), nullptr, {7, 7, 7, 7},
       ComposeKernelErrorText(rotate, -8)},
      {"null x0", wide.h(), QUERY(KLEM_ShearBox(d, s, 0, 0, nullptr, b + 1, b + 2, b + 3)), nullptr, {7, 7, 7, 7},
       ComposeKernelErrorText(shear, -8)},
      {"null y0", square.h(), QUERY(KLEM_WarpPerspectiveBox(d, s, a, 9, b, nullptr, b + 2, b + 3)), doubled.data(),
       {7, 7, 7, 7}, ComposeKernelErrorText(warp, -8)},
  };
  for (const auto& c : cases) {
    Box box{7, 7, 7, 7};
    KLEM_SetError(dest.h(), "stale");
    EXPECT_EQ(c.query(dest.h(), c.source, c.args, box.data()), c.text.empty() ? KLEM_OK : KLEM_FAILED) << c.name;
    EXPECT_EQ(dest.Error(), c.text) << c.name;
    for (int32_t i = 0; i < 4; ++i) EXPECT_TRUE(Same(box[i], c.expected[i], c.tolerance)) << c.name << " " << i << " " << box[i];
  }
}
#undef QUERY

// A rectangle whose right edge lies past the 32-bit range.
TEST(GeometryQueries, FarRectangles) {
  kernels::BoundingBox box{};
  ASSERT_EQ(kernels::RotateBoundingBox({2147483600, 7, 100, 2}, &box, 0, 0, 0), 0);
  EXPECT_EQ(box.x1, 2147483699.0);
  EXPECT_EQ(box.y1, 8.0);
}

// Both orientations pass; a dart, a bow-tie, three corners on a line, a
// repeated corner and corners at infinity or NaN do not.
TEST(GeometryQueries, QuadrangleTest) {
  using Q = kernels::Quadrangle;
  const std::pair<Q, bool> cases[] = {
      {Q{{{0, 0}, {4, 0}, {4, 3}, {0, 3}}}, true},    {Q{{{0, 0}, {0, 3}, {4, 3}, {4, 0}}}, true},
      {Q{{{0, 0}, {4, 0}, {1, 1}, {0, 4}}}, false},   {Q{{{0, 0}, {4, 3}, {4, 0}, {0, 3}}}, false},
      {Q{{{0, 0}, {2, 0}, {4, 0}, {0, 3}}}, false},   {Q{{{0, 0}, {4, 0}, {4, 0}, {0, 3}}}, false},
      {Q{{{1, 2}, {kInf, 3}, {5, 7}, {2, 6}}}, false}, {Q{{{0, 0}, {4, 0}, {4, kNaN}, {0, 3}}}, false},
  };
  for (const auto& [quad, convex] : cases) EXPECT_EQ(kernels::IsConvexQuadrangle(quad), convex) << quad[2].x;
}

// The centre stays where it is, exactly at the right angles.
TEST(GeometryQueries, RotationCentreShift) {
  for (const double angle : {0.0, 90.0, 180.0, 270.0, -90.0, 450.0, 30.0, -123.4}) {
    const kernels::Point2 shift = kernels::RotationCentreShift(angle, 10, 20);
    const kernels::Point2 centre = kernels::Map(kernels::RotationTransform(angle, shift.x, shift.y), {10, 20});
    const double tolerance = std::fmod(angle, 90.0) == 0 ? 0.0 : 1e-12;
    EXPECT_NEAR(centre.x, 10, tolerance) << angle;
    EXPECT_NEAR(centre.y, 20, tolerance) << angle;
  }
}

TEST(GeometryQueries, CoefficientsCarryTheCornersOntoTheQuadrangle) {
  HostImage dest(1, 1, 8), source(100, 100, 24);
  const std::string failed = "Can't get warp perspective coefficients!";
  const std::string quadCount = "quad must be an array of 8 double values!";
  const std::string coeffsCount = "coeffs must be an array of 9 double values!";
  using Quad = std::array<double, 8>;
  using Coeffs = std::array<double, 9>;
  const Coeffs kUntouched{5, 5, 5, 5, 5, 5, 5, 5, 5};
  const struct {
    const char* name;
    Quad quad;
    int32_t quadCount, coeffsCount;
    bool nullQuad, nullCoeffs;
    Coeffs expected;
    std::string destText, sourceText;
  } cases[] = {
      {"own corners", {0, 0, 99, 0, 99, 99, 0, 99}, 8, 9, false, false, {1, 0, 0, 0, 1, 0, 0, 0, 1}, "", ""},
      {"doubled", {0, 0, 198, 0, 198, 198, 0, 198}, 8, 9, false, false, {2, 0, 0, 0, 2, 0, 0, 0, 1}, "", ""},
      {"self-crossing", {0, 0, 99, 99, 99, 0, 0, 99}, 8, 9, false, false, kUntouched,
       ComposeKernelErrorText(failed, -58), ""},
      {"NaN corner", {0, 0, 99, 0, 99, kNaN, 0, 99}, 8, 9, false, false, kUntouched,
       ComposeKernelErrorText(failed, -58), ""},
      {"infinite corner", {1, 2, kInf, 3, 5, 7, 2, 6}, 8, 9, false, false, kUntouched,
       ComposeKernelErrorText(failed, -58), ""},
      {"coeffs count 8", {0, 0, 99, 0, 99, 99, 0, 99}, 8, 8, false, false, kUntouched, "stale", coeffsCount},
      {"both counts wrong", {0, 0, 99, 0, 99, 99, 0, 99}, 9, 8, false, false, kUntouched, "stale", quadCount},
      {"null quad", {}, 8, 9, true, false, kUntouched, "stale", quadCount},
      {"null coeffs", {0, 0, 99, 0, 99, 99, 0, 99}, 8, 9, false, true, kUntouched, "stale", coeffsCount},
  };
  for (const auto& c : cases) {
    Quad quad = c.quad;
    Coeffs coeffs = kUntouched;
    KLEM_SetError(dest.h(), "stale");
    KLEM_SetError(source.h(), "");
    EXPECT_EQ(KLEM_WarpPerspectiveCoefficients(dest.h(), source.h(), c.nullQuad ? nullptr : quad.data(),
                                               c.quadCount, c.nullCoeffs ? nullptr : coeffs.data(),
                                               c.coeffsCount),
              c.destText.empty() ? KLEM_OK : KLEM_FAILED)
        << c.name;
    EXPECT_EQ(dest.Error(), c.destText) << c.name;
    EXPECT_EQ(source.Error(), c.sourceText) << c.name;
    EXPECT_EQ(coeffs, c.expected) << c.name;
    EXPECT_EQ(std::memcmp(quad.data(), c.quad.data(), sizeof quad), 0) << c.name;
  }
  // The box of a quadrangle's own coefficients is the quadrangle's box.
  const Quad quad{10, 5, 90, 12, 80, 95, 3, 70};
  Coeffs coeffs{};
  ASSERT_EQ(KLEM_WarpPerspectiveCoefficients(dest.h(), source.h(), quad.data(), 8, coeffs.data(), 9), KLEM_OK);
  Box box{};
  ASSERT_EQ(KLEM_WarpPerspectiveBox(dest.h(), source.h(), coeffs.data(), 9, &box[0], &box[1], &box[2], &box[3]),
            KLEM_OK);
  const Box expected{3, 5, 90, 95};
  for (int32_t i = 0; i < 4; ++i) EXPECT_NEAR(box[i], expected[i], 1e-9) << i;
  // A wrong count is told on the source and leaves the box alone.
  box = {7, 7, 7, 7};
  KLEM_SetError(dest.h(), "stale");
  EXPECT_EQ(KLEM_WarpPerspectiveBox(dest.h(), source.h(), coeffs.data(), 8, &box[0], &box[1], &box[2], &box[3]),
            KLEM_FAILED);
  EXPECT_EQ(source.Error(), coeffsCount);
  EXPECT_EQ(dest.Error(), "stale");
  EXPECT_EQ(box, (Box{7, 7, 7, 7}));
}

}  // namespace
}  // namespace klem::test
