// AVX2 arithmetic kernels: the shared vector bodies on 32-byte vectors.
#include "kernels/arith.h"

#include <algorithm>
#include <cmath>

#include "kernels/arith_rules.h"
#include "kernels/round_to_nearest.h"
#include "kernels/avx2/width.h"
#include "kernels/simd/rows.h"

namespace klem::kernels::avx2 {
#include "kernels/simd/arith.inc"
#include "kernels/simd/difference.inc"
}  // namespace klem::kernels::avx2
