// AVX2 kernels of the vector family: flat arrays by the shared body of every
// width, and the matrix product of packed 3-vectors by a full 3 x 3 matrix.
//
// Four packed 3-vectors fill three registers, a0 = x0 y0 z0 x1,
// a1 = y1 z1 x2 y2, a2 = z2 x3 y3 z3. Two blends put the four x (y, z) in one
// register in the lane order (0 3 2 1) ((1 0 3 2), (2 1 0 3)), and one
// permutation sorts them; every row is m[r][0] * x + m[r][1] * y + m[r][2] * z
// added left to right (the generic path's order, each lane one vector), and
// the same permutations and blends run backwards put the rows into the packed
// order. Other layouts and heights go to the SSE2 kernels, which also do the
// element-wise kernels on layouts with gaps: wider registers gain nothing when
// each element is fetched on its own.
#include <numeric>

#include "kernels/avx2/width.h"
#include "kernels/kernel_support.h"
#include "kernels/vecmath.h"

namespace klem::kernels::avx2 {
namespace {

VectorArrayVector64fFn* const StridedAdd = sse2::AddVectorArrayVector64f;
VectorArrayVector64fFn* const StridedSub = sse2::SubVectorArrayVector64f;
VectorArrayVector64fFn* const StridedMulVector = sse2::MulVectorArrayVector64f;
VectorArrayScalar64fFn* const StridedMul = sse2::MulVectorArrayScalar64f;

constexpr int32_t kPacked = 24;  // bytes of a packed 3-vector
constexpr int32_t kVectorsPerBlock = 4;

// The registers a, b, c with lane 1 taken from b and lane 2 from c.
inline __m256d Lanes(__m256d a, __m256d b, __m256d c) {
  return _mm256_blend_pd(_mm256_blend_pd(a, b, 0b0010), c, 0b0100);
}

}  // namespace

#include "kernels/simd/vecmath.inc"

KernelStatus MulMatrixVectorArray64f(const double* matrix, int32_t matrixRowStride,
                                     int32_t matrixElementStride, int32_t width, int32_t height,
                                     const double* src, int32_t srcVectorStride,
                                     int32_t srcElementStride, int32_t srcLength, double* dst,
                                     int32_t dstVectorStride, int32_t dstElementStride,
                                     int32_t count) {
  if (KernelStatus status = CheckMatrixVectorArray64f(matrix, matrixRowStride, matrixElementStride, width,
                                                      height, src, srcVectorStride, srcElementStride,
                                                      srcLength, dst, dstVectorStride, dstElementStride, count)) {
    return status;
  }
  if (width != 3 || height != 3 || srcVectorStride != kPacked || dstVectorStride != kPacked ||
      srcElementStride != 8 || dstElementStride != 8 || count < kVectorsPerBlock) {
    return sse2::MulMatrixVectorArray64f(matrix, matrixRowStride, matrixElementStride, width, height, src,
                                         srcVectorStride, srcElementStride, srcLength, dst, dstVectorStride,
                                         dstElementStride, count);
  }
  __m256d m[3][3];
  for (int32_t r = 0; r < 3; ++r) {
    for (int32_t c = 0; c < 3; ++c) m[r][c] = _mm256_set1_pd(*RowAt(RowAt(matrix, matrixRowStride, r), matrixElementStride, c));
  }
  const std::ptrdiff_t blocks = count / kVectorsPerBlock;
  for (std::ptrdiff_t b = 0; b < blocks; ++b) {
    const double* in = src + 12 * b;
    double* out = dst + 12 * b;
    const __m256d a0 = _mm256_loadu_pd(in), a1 = _mm256_loadu_pd(in + 4), a2 = _mm256_loadu_pd(in + 8);
    const __m256d x = _mm256_permute4x64_pd(Lanes(a0, a2, a1), 0b01101100);
    const __m256d y = _mm256_permute4x64_pd(_mm256_blend_pd(_mm256_blend_pd(a0, a1, 0b1001), a2, 0b0100), 0b10110001);
    const __m256d z = _mm256_permute4x64_pd(_mm256_blend_pd(_mm256_blend_pd(a0, a1, 0b0010), a2, 0b1001), 0b11000110);
    __m256d rows[3];
    for (int32_t r = 0; r < 3; ++r) {
      __m256d sum = _mm256_mul_pd(m[r][0], x);
      sum = _mm256_add_pd(sum, _mm256_mul_pd(m[r][1], y));
      rows[r] = _mm256_add_pd(sum, _mm256_mul_pd(m[r][2], z));
    }
    const __m256d xp = _mm256_permute4x64_pd(rows[0], 0b01101100);
    const __m256d yp = _mm256_permute4x64_pd(rows[1], 0b10110001);
    const __m256d zp = _mm256_permute4x64_pd(rows[2], 0b11000110);
    _mm256_storeu_pd(out, Lanes(xp, yp, zp));
    _mm256_storeu_pd(out + 4, Lanes(yp, zp, xp));
    _mm256_storeu_pd(out + 8, Lanes(zp, xp, yp));
  }
  const std::ptrdiff_t done = blocks * kVectorsPerBlock;
  if (done == count) return kStsNoErr;
  return sse2::MulMatrixVectorArray64f(matrix, matrixRowStride, matrixElementStride, width, height, src + 3 * done,
                                       srcVectorStride, srcElementStride, srcLength, dst + 3 * done,
                                       dstVectorStride, dstElementStride, static_cast<int32_t>(count - done));
}

}  // namespace klem::kernels::avx2
