// Argument checks and generic kernels of the vector family, and its dispatch
// tables.
#include "kernels/vecmath.h"

#include "kernels/kernel_support.h"

namespace klem::kernels {
namespace {

// Elements are addressed by byte strides, which must keep them aligned.
bool StridesValid(std::initializer_list<int32_t> strides) {
  for (int32_t stride : strides) {
    if (stride < 1 || stride % 8 != 0) return false;
  }
  return true;
}

template <typename T>
T* Element(T* base, int32_t vectorStride, int32_t elementStride, int32_t i, int32_t e) {
  return RowAt(RowAt(base, vectorStride, i), elementStride, e);
}

}  // namespace

KernelStatus CheckVectorArrayVector64f(const double* src, int32_t srcVectorStride,
                                       int32_t srcElementStride, const double* vec,
                                       int32_t vecElementStride, double* dst,
                                       int32_t dstVectorStride, int32_t dstElementStride,
                                       int32_t length, int32_t count) {
  if (src == nullptr || vec == nullptr || dst == nullptr) return kStsNullPtrErr;
  if (length < 1) return kStsSizeErr;
  if (!StridesValid({srcVectorStride, srcElementStride, vecElementStride, dstVectorStride,
                     dstElementStride})) {
    return kStsStrideMatrixErr;
  }
  if (count < 1) return kStsCountMatrixErr;
  return kStsNoErr;
}

KernelStatus CheckVectorArrayScalar64f(const double* src, int32_t srcVectorStride,
                                       int32_t srcElementStride, double, double* dst,
                                       int32_t dstVectorStride, int32_t dstElementStride,
                                       int32_t length, int32_t count) {
  if (src == nullptr || dst == nullptr) return kStsNullPtrErr;
  if (count < 1) return kStsCountMatrixErr;
  if (length < 1) return kStsSizeErr;
  if (!StridesValid({srcVectorStride, srcElementStride, dstVectorStride, dstElementStride})) {
    return kStsStrideMatrixErr;
  }
  return kStsNoErr;
}

KernelStatus CheckMatrixVectorArray64f(const double* matrix, int32_t matrixRowStride,
                                       int32_t matrixElementStride, int32_t width,
                                       int32_t height, const double* src,
                                       int32_t srcVectorStride, int32_t srcElementStride,
                                       int32_t srcLength, double* dst, int32_t dstVectorStride,
                                       int32_t dstElementStride, int32_t count) {
  if (matrix == nullptr || src == nullptr || dst == nullptr) return kStsNullPtrErr;
  if (count < 1) return kStsCountMatrixErr;
  if (srcLength < 1 || width < 1 || height < 1) return kStsSizeErr;
  if (width != srcLength) return kStsSizeMatchMatrixErr;
  if (!StridesValid({matrixRowStride, matrixElementStride, srcVectorStride, srcElementStride,
                     dstVectorStride, dstElementStride})) {
    return kStsStrideMatrixErr;
  }
  // More rows than a destination vector holds would write into the next one
  // (and past the last).
  if (height > dstVectorStride / dstElementStride) return kStsSizeMatchMatrixErr;
  return kStsNoErr;
}

namespace generic {
namespace {

template <typename Op>
KernelStatus VectorArrayVector(const double* src, int32_t srcVectorStride,
                               int32_t srcElementStride, const double* vec,
                               int32_t vecElementStride, double* dst, int32_t dstVectorStride,
                               int32_t dstElementStride, int32_t length, int32_t count, Op op) {
  if (KernelStatus status = CheckVectorArrayVector64f(
          src, srcVectorStride, srcElementStride, vec, vecElementStride, dst, dstVectorStride,
          dstElementStride, length, count)) {
    return status;
  }
  for (int32_t i = 0; i < count; ++i) {
    for (int32_t e = 0; e < length; ++e) {
      *Element(dst, dstVectorStride, dstElementStride, i, e) =
          op(*Element(src, srcVectorStride, srcElementStride, i, e), *RowAt(vec, vecElementStride, e));
    }
  }
  return kStsNoErr;
}

}  // namespace

KernelStatus AddVectorArrayVector64f(const double* src, int32_t srcVectorStride,
                                     int32_t srcElementStride, const double* vec,
                                     int32_t vecElementStride, double* dst,
                                     int32_t dstVectorStride, int32_t dstElementStride,
                                     int32_t length, int32_t count) {
  return VectorArrayVector(src, srcVectorStride, srcElementStride, vec, vecElementStride, dst,
                           dstVectorStride, dstElementStride, length, count,
                           [](double s, double v) { return s + v; });
}

KernelStatus SubVectorArrayVector64f(const double* src, int32_t srcVectorStride,
                                     int32_t srcElementStride, const double* vec,
                                     int32_t vecElementStride, double* dst,
                                     int32_t dstVectorStride, int32_t dstElementStride,
                                     int32_t length, int32_t count) {
  return VectorArrayVector(src, srcVectorStride, srcElementStride, vec, vecElementStride, dst,
                           dstVectorStride, dstElementStride, length, count,
                           [](double s, double v) { return s - v; });
}

KernelStatus MulVectorArrayVector64f(const double* src, int32_t srcVectorStride,
                                     int32_t srcElementStride, const double* vec,
                                     int32_t vecElementStride, double* dst,
                                     int32_t dstVectorStride, int32_t dstElementStride,
                                     int32_t length, int32_t count) {
  return VectorArrayVector(src, srcVectorStride, srcElementStride, vec, vecElementStride, dst,
                           dstVectorStride, dstElementStride, length, count,
                           [](double s, double v) { return s * v; });
}

KernelStatus MulVectorArrayScalar64f(const double* src, int32_t srcVectorStride,
                                     int32_t srcElementStride, double factor, double* dst,
                                     int32_t dstVectorStride, int32_t dstElementStride,
                                     int32_t length, int32_t count) {
  if (KernelStatus status =
          CheckVectorArrayScalar64f(src, srcVectorStride, srcElementStride, factor, dst,
                                    dstVectorStride, dstElementStride, length, count)) {
    return status;
  }
  for (int32_t i = 0; i < count; ++i) {
    for (int32_t e = 0; e < length; ++e) {
      *Element(dst, dstVectorStride, dstElementStride, i, e) =
          *Element(src, srcVectorStride, srcElementStride, i, e) * factor;
    }
  }
  return kStsNoErr;
}

KernelStatus MulMatrixVectorArray64f(const double* matrix, int32_t matrixRowStride,
                                     int32_t matrixElementStride, int32_t width, int32_t height,
                                     const double* src, int32_t srcVectorStride,
                                     int32_t srcElementStride, int32_t srcLength, double* dst,
                                     int32_t dstVectorStride, int32_t dstElementStride,
                                     int32_t count) {
  if (KernelStatus status = CheckMatrixVectorArray64f(
          matrix, matrixRowStride, matrixElementStride, width, height, src, srcVectorStride,
          srcElementStride, srcLength, dst, dstVectorStride, dstElementStride, count)) {
    return status;
  }
  const auto product = [&](int32_t i, int32_t r, int32_t c) {
    return *Element(matrix, matrixRowStride, matrixElementStride, r, c) *
           *Element(src, srcVectorStride, srcElementStride, i, c);
  };
  for (int32_t i = 0; i < count; ++i) {
    for (int32_t r = 0; r < height; ++r) {
      double sum = product(i, r, 0);
      for (int32_t c = 1; c < width; ++c) sum += product(i, r, c);
      *Element(dst, dstVectorStride, dstElementStride, i, r) = sum;
    }
  }
  return kStsNoErr;
}

}  // namespace generic

// --- dispatch tables ----------------------------------------------------------

constinit const KernelDispatchTable<VectorArrayVector64fFn> kAddVectorArrayVector64f =
    Dispatch(generic::AddVectorArrayVector64f).Sse2(sse2::AddVectorArrayVector64f).Avx2(avx2::AddVectorArrayVector64f).Avx512(avx512::AddVectorArrayVector64f);
constinit const KernelDispatchTable<VectorArrayVector64fFn> kSubVectorArrayVector64f =
    Dispatch(generic::SubVectorArrayVector64f).Sse2(sse2::SubVectorArrayVector64f).Avx2(avx2::SubVectorArrayVector64f).Avx512(avx512::SubVectorArrayVector64f);
constinit const KernelDispatchTable<VectorArrayVector64fFn> kMulVectorArrayVector64f =
    Dispatch(generic::MulVectorArrayVector64f).Sse2(sse2::MulVectorArrayVector64f).Avx2(avx2::MulVectorArrayVector64f).Avx512(avx512::MulVectorArrayVector64f);
constinit const KernelDispatchTable<VectorArrayScalar64fFn> kMulVectorArrayScalar64f =
    Dispatch(generic::MulVectorArrayScalar64f).Sse2(sse2::MulVectorArrayScalar64f).Avx2(avx2::MulVectorArrayScalar64f).Avx512(avx512::MulVectorArrayScalar64f);
constinit const KernelDispatchTable<MatrixVectorArray64fFn> kMulMatrixVectorArray64f =
    Dispatch(generic::MulMatrixVectorArray64f).Sse2(sse2::MulMatrixVectorArray64f).Avx2(avx2::MulMatrixVectorArray64f);

}  // namespace klem::kernels
