// The status table is only reachable through StatusToText, so these tests
// walk every code in the valid range and treat a code as present when it does
// not fall back to the unknown-code text.
#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "kernels/kernel_types.h"

namespace klem::kernels {
namespace {

constexpr KernelStatus kLowestCode = -9999;
constexpr KernelStatus kHighestCode = 42;

bool IsLoaderCode(KernelStatus code) { return code <= -9700 && code >= -9702; }

std::string UnknownText() { return StatusToText(kStsUnknownStatusCodeErr); }

// Every code in [kLowestCode, kHighestCode] that has its own row.
std::vector<KernelStatus> CodesInTable() {
  const std::string unknown = UnknownText();
  std::vector<KernelStatus> codes;
  for (KernelStatus code = kLowestCode; code <= kHighestCode; ++code) {
    const char* text = StatusToText(code);
    if (code == kStsUnknownStatusCodeErr || (text != nullptr && unknown != text)) {
      codes.push_back(code);
    }
  }
  return codes;
}

// Every row is reachable by its own code, so the number of codes found in the
// range equals the row count only if no code is repeated and none lies outside.
TEST(StatusTable, HasExactlyTheDocumentedCodesAndWellFormedUniqueNames) {
  ASSERT_EQ(StatusTableSize(), 259);
  const std::vector<KernelStatus> codes = CodesInTable();
  EXPECT_EQ(codes.size(), 259u);

  std::set<std::string> names;
  for (KernelStatus code : codes) {
    SCOPED_TRACE(code);
    const std::string text = StatusToText(code);
    if (IsLoaderCode(code)) {
      EXPECT_GT(text.size(), 10u);
      EXPECT_EQ(text.rfind("krnSts", 0), std::string::npos);
      continue;
    }
    ASSERT_EQ(text.rfind("krnSts", 0), 0u) << text;
    const size_t colon = text.find(": ");
    ASSERT_NE(colon, std::string::npos) << text;
    const std::string name = text.substr(0, colon);
    ASSERT_GT(name.size(), 6u) << text;
    for (char c : name) EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c))) << text;
    EXPECT_GT(text.size(), colon + 2) << "empty description: " << text;
    EXPECT_TRUE(names.insert(name).second) << "duplicate name " << name;

    const bool endsInErr = name.size() > 3 && name.compare(name.size() - 3, 3, "Err") == 0;
    if (code > 0) {
      EXPECT_FALSE(endsInErr) << "warning named like an error: " << name;
    } else if (code < 0) {
      EXPECT_TRUE(endsInErr) << "error named like a warning: " << name;
    }
  }
  EXPECT_EQ(names.size(), 256u);
  for (KernelStatus loader : {-9700, -9701, -9702}) {
    EXPECT_NE(UnknownText(), StatusToText(loader)) << loader;
  }
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
    EXPECT_EQ(StatusToText(unknown), UnknownText()) << unknown;
  }
}

}  // namespace
}  // namespace klem::kernels
