// AVX-512 arithmetic kernels: the shared vector bodies on 64-byte vectors.
#include "kernels/arith.h"

#include <algorithm>
#include <cmath>

#include "kernels/arith_rules.h"
#include "kernels/round_to_nearest.h"
#include "kernels/avx512/width.h"
#include "kernels/simd/rows.h"

namespace klem::kernels::avx512 {
#include "kernels/simd/arith.inc"
}  // namespace klem::kernels::avx512
