// The contract every kernel shares: the status table, reachable only through
// StatusToText (a code is in it when its text is not the unknown-code text),
// and the scaled rounding rule.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "kernels/kernel_types.h"
#include "kernels/scaling.h"

namespace klem::kernels {
namespace {

// Every row is reachable by its own code, so finding as many codes as rows
// means that no code is repeated and none lies outside the range.
TEST(StatusTable, HasExactlyTheDocumentedCodesWithUniqueNames) {
  const std::string unknown = StatusToText(kStsUnknownStatusCodeErr);
  std::set<std::string> names;
  int found = 0;
  for (KernelStatus code = -9999; code <= 42; ++code) {
    const std::string text = StatusToText(code);
    if (text == unknown && code != kStsUnknownStatusCodeErr) continue;
    ++found;
    const std::string name = text.substr(0, text.find(": "));
    const bool loader = code <= -9700 && code >= -9702;  // its texts carry no name
    EXPECT_EQ(name.rfind("krnSts", 0) == 0 && names.insert(name).second, !loader) << text;
    EXPECT_TRUE(loader || code == 0 || name.ends_with("Err") == (code < 0)) << text;
  }
  EXPECT_EQ(StatusTableSize(), 259);
  EXPECT_EQ(found, 259);
}

TEST(StatusTable, FixedTextsAreExactAndUnknownCodesFallBack) {
  const std::vector<std::pair<KernelStatus, std::string>> fixed = {
      {30, "krnStsWrongIntersectQuad: Wrong quadrangle that has no intersection with the source or destination ROI. No operation"},
      {29, "krnStsWrongIntersectROI: Wrong ROI that has no intersection with the source or destination ROI. No operation"},
      {6, "krnStsDivByZero: Zero value(s) of the divisor in the function Div"},
      {1, "krnStsNoOperation: No operation has been executed"},
      {0, "krnStsNoErr: No error, it's OK"},
      {-4, "krnStsNoMemErr: Not enough memory for the operation"},
      {-5, "krnStsBadArgErr: Function arg/param is bad"},
      {-6, "krnStsSizeErr: Wrong value of data size"},
      {-8, "krnStsNullPtrErr: Null pointer error"},
      {-9, "krnStsMemAllocErr: Not enough memory allocated for the operation"},
      {-10, "krnStsDivByZeroErr: An attempt to divide by zero"},
      {-11, "krnStsOutOfRangeErr: Argument is out of range or point is outside the image"},
      {-14, "krnStsStepErr: Step value is not valid"},
      {-18, "krnStsThresholdErr: Invalid threshold bounds"},
      {-21, "krnStsMirrorFlipErr: Invalid flip mode"},
      {-22, "krnStsInterpolationErr: Invalid interpolation mode"},
      {-23, "krnStsResizeFactorErr: Resize factor(s) is less than or equal to zero"},
      {-33, "krnStsMaskSizeErr: Invalid mask size"},
      {-34, "krnStsAnchorErr: Anchor point is outside the mask"},
      {-37, "krnStsStrideErr: Stride value is less than the row length"},
      {-50, "krnStsAlphaTypeErr: Illegal type of image compositing operation"},
      {-51, "krnStsDivisorErr: Divisor is equal to zero, function is aborted"},
      {-56, "krnStsCoeffErr: Unallowable values of the transformation coefficients"},
      {-57, "krnStsRectErr: Size of the rectangle region is less than or equal to 1"},
      {-58, "krnStsQuadErr: The quadrangle is nonconvex or degenerates into triangle, line or point"},
      {-59, "krnStsZeroMaskValuesErr: All values of the mask are zero"},
      {-60, "krnStsChannelOrderErr: Wrong order of the destination channels"},
      {-106, "krnStsLUTNofLevelsErr: Number of levels for LUT is less than 2"},
      {-182, "krnStsStrideMatrixErr: Stride value is not positive or not dividend to size of data type"},
      {-201, "krnStsResizeNoOperationErr: One of the output image dimensions is less than 1 pixel"},
      {-203, "krnStsCountMatrixErr: Count value is negative or equal to 0"},
      {-204, "krnStsSizeMatchMatrixErr: Unsuitable sizes of the source matrices"},
      {-216, "krnStsUnknownStatusCodeErr: Unknown Status Code"},
      {-9999, "krnStsNotSupportedModeErr: The requested mode is currently not supported"},
  };
  for (const auto& [code, text] : fixed) EXPECT_EQ(StatusToText(code), text) << code;

  // Processor detection relies on these names; the descriptions may change.
  EXPECT_EQ(std::string(StatusToText(kStsCpuNotSupported)).rfind("krnStsCpuNotSupported: ", 0), 0u);
  EXPECT_EQ(std::string(StatusToText(kStsUnknownCacheSize)).rfind("krnStsUnknownCacheSize: ", 0), 0u);

  for (KernelStatus unknown : {12345, 43, -217, -10000, -9703, -9699}) {
    EXPECT_EQ(StatusToText(unknown), StatusToText(kStsUnknownStatusCodeErr)) << unknown;
  }
}

// The rule in floating point: r * 2^-s is exact in a double for these r and s,
// and nearbyint rounds its halves to even.
int32_t ReferenceScale(int32_t r, int32_t s, int32_t max) {
  return static_cast<int32_t>(std::min<double>(max, std::nearbyint(std::ldexp(r, -s))));
}

TEST(ScaleAndSaturate, MatchesExactRoundingForEveryProductAndFactor) {
  for (int32_t s = -16; s <= 20; ++s) {
    for (int32_t r = 0; r <= 65025; ++r) {
      ASSERT_EQ(ScaleAndSaturate8u(r, s), ReferenceScale(r, s, 255)) << "r=" << r << " s=" << s;
      ASSERT_EQ((ScaleAndSaturate<kMax16u>(r, s)), ReferenceScale(r, s, 65535))
          << "r=" << r << " s=" << s;
    }
  }
}

TEST(ScaleAndSaturate, ExtremeFactorsNeitherOverflowNorWrap) {
  EXPECT_EQ(ScaleAndSaturate8u(1, -31), 255);
  EXPECT_EQ(ScaleAndSaturate8u(1, INT32_MIN), 255);
  EXPECT_EQ(ScaleAndSaturate8u(0, INT32_MIN), 0);
  EXPECT_EQ(ScaleAndSaturate8u(65025, INT32_MAX), 0);
  EXPECT_EQ((ScaleAndSaturate<INT32_MAX>(INT32_MAX, 31)), 1);
  EXPECT_EQ((ScaleAndSaturate<INT32_MAX>(1 << 30, 31)), 0);  // exactly one half: even 0
  EXPECT_EQ((ScaleAndSaturate<INT32_MAX>(INT32_MAX, 32)), 0);
}

}  // namespace
}  // namespace klem::kernels
