// AVX-512 bitwise, shift and scale-down kernels: the shared vector bodies on
// 64-byte vectors.
#include "kernels/logic.h"

#include "kernels/avx512/width.h"
#include "kernels/logic_rules.h"
#include "kernels/simd/rows.h"

namespace klem::kernels::avx512 {
#include "kernels/simd/logic.inc"
}  // namespace klem::kernels::avx512
