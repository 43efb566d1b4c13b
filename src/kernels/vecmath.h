// Kernels on arrays of small vectors of doubles: add, subtract or multiply
// one vector element by element with every vector, scale every vector, and multiply every vector by a matrix.
//
// Vectors and their elements are laid out by strides in bytes, so the same
// kernel walks packed 3-vectors, padded vectors or one component of every
// vector. Results are the plain double operations in a fixed order
// (src op vec; matrix rows summed left to right starting from the first
// product), so every code path gives the same bits. The one exception is an
// operation on two NaNs: the result is a NaN on every path, but which operand's
// sign and payload it carries is left to the compiler (it may commute the
// scalar operation). Source and destination may be the same array with the
// same layout; partly overlapping arrays are not supported.
#pragma once

#include <cstdint>

#include "kernels/dispatch.h"
#include "kernels/kernel_types.h"

namespace klem::kernels {

// dst[i][e] = src[i][e] op vec[e] for i < count, e < length.
using VectorArrayVector64fFn = KernelStatus(const double* src, int32_t srcVectorStride,
                                            int32_t srcElementStride, const double* vec,
                                            int32_t vecElementStride, double* dst,
                                            int32_t dstVectorStride, int32_t dstElementStride,
                                            int32_t length, int32_t count);
// dst[i][e] = src[i][e] * factor.
using VectorArrayScalar64fFn = KernelStatus(const double* src, int32_t srcVectorStride,
                                            int32_t srcElementStride, double factor, double* dst,
                                            int32_t dstVectorStride, int32_t dstElementStride,
                                            int32_t length, int32_t count);
// dst[i][r] = sum over c < width of matrix[r][c] * src[i][c], for r < height.
using MatrixVectorArray64fFn = KernelStatus(const double* matrix, int32_t matrixRowStride,
                                            int32_t matrixElementStride, int32_t width,
                                            int32_t height, const double* src,
                                            int32_t srcVectorStride, int32_t srcElementStride,
                                            int32_t srcLength, double* dst,
                                            int32_t dstVectorStride, int32_t dstElementStride,
                                            int32_t count);

// The argument checks of each kernel shape, in their fixed order; every path
// calls these (they live in the generic file), so statuses cannot drift apart.
VectorArrayVector64fFn CheckVectorArrayVector64f;
VectorArrayScalar64fFn CheckVectorArrayScalar64f;
MatrixVectorArray64fFn CheckMatrixVectorArray64f;

namespace generic {
VectorArrayVector64fFn AddVectorArrayVector64f, SubVectorArrayVector64f, MulVectorArrayVector64f;
VectorArrayScalar64fFn MulVectorArrayScalar64f;
MatrixVectorArray64fFn MulMatrixVectorArray64f;
}  // namespace generic

namespace sse2 {
VectorArrayVector64fFn AddVectorArrayVector64f, SubVectorArrayVector64f, MulVectorArrayVector64f;
VectorArrayScalar64fFn MulVectorArrayScalar64f;
MatrixVectorArray64fFn MulMatrixVectorArray64f;
}  // namespace sse2

// The wide entries have flat-array versions of the element-wise kernels, and
// AVX2 one of the matrix product of packed vectors.
namespace avx2 {
VectorArrayVector64fFn AddVectorArrayVector64f, SubVectorArrayVector64f, MulVectorArrayVector64f;
VectorArrayScalar64fFn MulVectorArrayScalar64f;
MatrixVectorArray64fFn MulMatrixVectorArray64f;
}  // namespace avx2

namespace avx512 {
VectorArrayVector64fFn AddVectorArrayVector64f, SubVectorArrayVector64f, MulVectorArrayVector64f;
VectorArrayScalar64fFn MulVectorArrayScalar64f;
}  // namespace avx512

extern const KernelDispatchTable<VectorArrayVector64fFn> kAddVectorArrayVector64f,
    kSubVectorArrayVector64f, kMulVectorArrayVector64f;
extern const KernelDispatchTable<VectorArrayScalar64fFn> kMulVectorArrayScalar64f;
extern const KernelDispatchTable<MatrixVectorArray64fFn> kMulMatrixVectorArray64f;

}  // namespace klem::kernels
