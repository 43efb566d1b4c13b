// The scaling rule of every scaled integer kernel, in one place so that the
// generic loops and the scalar heads and tails of the SIMD paths agree.
//
//   result = saturate(r * 2^-s)
//   s > 0: r / 2^s rounded to nearest, ties to even:
//          (r + 2^(s-1) - 1 + ((r >> s) & 1)) >> s
//          The odd bit of the truncated quotient decides a tie: it adds the
//          missing 1 exactly when rounding up reaches the even neighbour.
//   s < 0: r * 2^-s; any non-zero r saturates once 2^-s exceeds the maximum.
//   s = 0: r.
// r is the exact, non-negative integer result of the sample operation.
#pragma once

#include <cstdint>

namespace klem::kernels {
// Internal linkage: SIMD files include this too, and their copies must never
// stand in for the generic path's.
namespace {

template <int32_t kMax>
constexpr int32_t ScaleAndSaturate(int32_t r, int32_t s) {
  int64_t scaled;
  if (s > 0) {
    // Beyond 32 bits of shift every int32 r is below one half: the result is 0.
    if (s > 32) return 0;
    const int64_t wide = r;
    scaled = (wide + (int64_t{1} << (s - 1)) - 1 + ((wide >> s) & 1)) >> s;
  } else if (s < 0) {
    if (r == 0) return 0;
    if (s < -30) return kMax;
    scaled = int64_t{r} << -s;
  } else {
    scaled = r;
  }
  return scaled > kMax ? kMax : static_cast<int32_t>(scaled);
}

inline constexpr int32_t kMax8u = 255;
inline constexpr int32_t kMax16u = 65535;

constexpr int32_t ScaleAndSaturate8u(int32_t r, int32_t s) { return ScaleAndSaturate<kMax8u>(r, s); }

}  // namespace
}  // namespace klem::kernels
