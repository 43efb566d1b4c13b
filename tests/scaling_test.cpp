#include <gtest/gtest.h>

#include "kernels/scaling.h"

namespace klem::kernels {
namespace {

// Straightforward reference: exact quotient and remainder, ties to even.
int32_t ReferenceScale(int64_t r, int32_t s, int32_t max) {
  int64_t value;
  if (s >= 0) {
    const int64_t divisor = int64_t{1} << s;
    const int64_t quotient = r / divisor;
    const int64_t twiceRemainder = 2 * (r % divisor);
    value = quotient;
    if (twiceRemainder > divisor || (twiceRemainder == divisor && quotient % 2 == 1)) ++value;
  } else {
    value = r;
    for (int32_t i = 0; i < -s && value <= max; ++i) value *= 2;
  }
  return static_cast<int32_t>(value > max ? max : value);
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

TEST(ScaleAndSaturate, WorkedExamples) {
  // Halves round to the even neighbour.
  EXPECT_EQ(ScaleAndSaturate8u(1, 1), 0);
  EXPECT_EQ(ScaleAndSaturate8u(3, 1), 2);
  EXPECT_EQ(ScaleAndSaturate8u(5, 1), 2);
  EXPECT_EQ(ScaleAndSaturate8u(7, 1), 4);
  EXPECT_EQ(ScaleAndSaturate8u(1 + 2, 1), 2);
  EXPECT_EQ(ScaleAndSaturate8u(1 + 0, 1), 0);
  EXPECT_EQ(ScaleAndSaturate8u(2 + 3, 1), 2);
  EXPECT_EQ(ScaleAndSaturate8u(200 + 100, 0), 255);
  EXPECT_EQ(ScaleAndSaturate8u(100 + 50, -1), 255);
  EXPECT_EQ(ScaleAndSaturate8u(0 + 1, -8), 255);
  EXPECT_EQ(ScaleAndSaturate8u(0, -8), 0);
  EXPECT_EQ(ScaleAndSaturate8u(510, 10), 0);
  EXPECT_EQ(ScaleAndSaturate8u(255 * 255, 8), 254);
  EXPECT_EQ(ScaleAndSaturate8u(128 * 2, 8), 1);
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
