// AVX-512 kernels of the vector family: flat arrays by the shared body of
// every width. Layouts with gaps go to the SSE2 kernels (wider registers gain
// nothing when each element is fetched on its own), and the matrix product to
// the AVX2 kernel: the masked stores its rows would need here measured slower.
#include <numeric>

#include "kernels/avx512/width.h"
#include "kernels/kernel_support.h"
#include "kernels/vecmath.h"

namespace klem::kernels::avx512 {
namespace {
VectorArrayVector64fFn* const StridedAdd = sse2::AddVectorArrayVector64f;
VectorArrayVector64fFn* const StridedSub = sse2::SubVectorArrayVector64f;
VectorArrayVector64fFn* const StridedMulVector = sse2::MulVectorArrayVector64f;
VectorArrayScalar64fFn* const StridedMul = sse2::MulVectorArrayScalar64f;
}  // namespace

#include "kernels/simd/vecmath.inc"
}  // namespace klem::kernels::avx512
