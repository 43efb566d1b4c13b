// AVX2 bitwise, shift and scale-down kernels: the shared vector bodies on
// 32-byte vectors.
#include "kernels/logic.h"

#include "kernels/avx2/width.h"
#include "kernels/logic_rules.h"
#include "kernels/simd/rows.h"

namespace klem::kernels::avx2 {
#include "kernels/simd/logic.inc"
}  // namespace klem::kernels::avx2
