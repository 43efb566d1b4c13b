// The host may have set another rounding mode, or unmasked floating-point
// exceptions; kernels whose results go through floating point need
// round-to-nearest-even for their products and conversions (and the division
// divides zero lanes on purpose). For the call's length they get both, and
// the host's control word and flags come back unchanged. SSE is part of the
// base instruction set, so every path may hold this.
#pragma once

#include <xmmintrin.h>

namespace klem::kernels {

class RoundToNearest {
 public:
  RoundToNearest() : saved_(_mm_getcsr()) {
    _mm_setcsr((saved_ & ~kRoundingBits) | kAllExceptionsMasked);
  }
  ~RoundToNearest() { _mm_setcsr(saved_); }
  RoundToNearest(const RoundToNearest&) = delete;
  RoundToNearest& operator=(const RoundToNearest&) = delete;

 private:
  static constexpr unsigned kRoundingBits = 0x6000;
  static constexpr unsigned kAllExceptionsMasked = 0x1F80;
  unsigned saved_;
};

}  // namespace klem::kernels
