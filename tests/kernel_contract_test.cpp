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

// The texts that this library's kernels return and that no exported call's
// test quotes already (6, 1, -8, -10 and -216 stand in the operation tests).
TEST(StatusTable, FixedTextsAreExactAndUnknownCodesFallBack) {
  const std::vector<std::pair<KernelStatus, std::string>> fixed = {
      {0, "krnStsNoErr: No error, it's OK"},
      {-6, "krnStsSizeErr: Wrong value of data size"},
      {-14, "krnStsStepErr: Step value is not valid"},
      {-182, "krnStsStrideMatrixErr: Stride value is not positive or not dividend to size of data type"},
      {-203, "krnStsCountMatrixErr: Count value is negative or equal to 0"},
      {-204, "krnStsSizeMatchMatrixErr: Unsuitable sizes of the source matrices"},
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
