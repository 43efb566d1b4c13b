// SSE2 kernels of the vector family: flat arrays by the shared body of every
// width, layouts with gaps here.
//
// For those, the two lanes of a register hold the same element of two
// neighbouring vectors, so any stride works and each lane performs exactly the
// generic sequence of operations for its vector (same operands, same order, no
// fused multiply-add): the results are bit-identical. An odd last vector goes
// to the generic kernel.
#include <emmintrin.h>

#include <numeric>

#include "kernels/kernel_support.h"
#include "kernels/sse2/width.h"
#include "kernels/vecmath.h"

namespace klem::kernels::sse2 {
namespace {

template <typename T>
T* Element(T* base, int32_t vectorStride, int32_t elementStride, int32_t i, int32_t e) {
  return RowAt(RowAt(base, vectorStride, i), elementStride, e);
}

inline __m128d LoadPair(const double* low, const double* high) {
  return _mm_loadh_pd(_mm_load_sd(low), high);
}

inline void StorePair(double* low, double* high, __m128d v) {
  _mm_storel_pd(low, v);
  _mm_storeh_pd(high, v);
}

template <typename PairOp>
KernelStatus VectorArrayVector(const double* src, int32_t srcVectorStride,
                               int32_t srcElementStride, const double* vec,
                               int32_t vecElementStride, double* dst, int32_t dstVectorStride,
                               int32_t dstElementStride, int32_t length, int32_t count,
                               PairOp pairOp, VectorArrayVector64fFn* lastVector) {
  const auto s = [&](int32_t i, int32_t e) {
    return Element(src, srcVectorStride, srcElementStride, i, e);
  };
  const auto d = [&](int32_t i, int32_t e) {
    return Element(dst, dstVectorStride, dstElementStride, i, e);
  };
  // Counted in 64 bits: i + 2 would wrap for a count near 2^31.
  int64_t i = 0;
  for (; i + 2 <= count; i += 2) {
    for (int32_t e = 0; e < length; ++e) {
      const __m128d v = _mm_set1_pd(*RowAt(vec, vecElementStride, e));
      StorePair(d(i, e), d(i + 1, e), pairOp(LoadPair(s(i, e), s(i + 1, e)), v));
    }
  }
  if (i < count) {
    return lastVector(s(i, 0), srcVectorStride, srcElementStride, vec, vecElementStride, d(i, 0),
                      dstVectorStride, dstElementStride, length, 1);
  }
  return kStsNoErr;
}

KernelStatus StridedAdd(const double* src, int32_t srcVectorStride, int32_t srcElementStride,
                        const double* vec, int32_t vecElementStride, double* dst, int32_t dstVectorStride,
                        int32_t dstElementStride, int32_t length, int32_t count) {
  return VectorArrayVector(
      src, srcVectorStride, srcElementStride, vec, vecElementStride, dst, dstVectorStride,
      dstElementStride, length, count, [](__m128d s, __m128d v) { return _mm_add_pd(s, v); },
      generic::AddVectorArrayVector64f);
}

KernelStatus StridedSub(const double* src, int32_t srcVectorStride, int32_t srcElementStride,
                        const double* vec, int32_t vecElementStride, double* dst, int32_t dstVectorStride,
                        int32_t dstElementStride, int32_t length, int32_t count) {
  return VectorArrayVector(
      src, srcVectorStride, srcElementStride, vec, vecElementStride, dst, dstVectorStride,
      dstElementStride, length, count, [](__m128d s, __m128d v) { return _mm_sub_pd(s, v); },
      generic::SubVectorArrayVector64f);
}

KernelStatus StridedMulVector(const double* src, int32_t srcVectorStride, int32_t srcElementStride,
                              const double* vec, int32_t vecElementStride, double* dst,
                              int32_t dstVectorStride, int32_t dstElementStride, int32_t length,
                              int32_t count) {
  return VectorArrayVector(
      src, srcVectorStride, srcElementStride, vec, vecElementStride, dst, dstVectorStride,
      dstElementStride, length, count, [](__m128d s, __m128d v) { return _mm_mul_pd(s, v); },
      generic::MulVectorArrayVector64f);
}

KernelStatus StridedMul(const double* src, int32_t srcVectorStride, int32_t srcElementStride,
                        double factor, double* dst, int32_t dstVectorStride, int32_t dstElementStride,
                        int32_t length, int32_t count) {
  const auto s = [&](int32_t i, int32_t e) {
    return Element(src, srcVectorStride, srcElementStride, i, e);
  };
  const auto d = [&](int32_t i, int32_t e) {
    return Element(dst, dstVectorStride, dstElementStride, i, e);
  };
  const __m128d f = _mm_set1_pd(factor);
  // Counted in 64 bits: i + 2 would wrap for a count near 2^31.
  int64_t i = 0;
  for (; i + 2 <= count; i += 2) {
    for (int32_t e = 0; e < length; ++e) {
      StorePair(d(i, e), d(i + 1, e), _mm_mul_pd(LoadPair(s(i, e), s(i + 1, e)), f));
    }
  }
  if (i < count) {
    return generic::MulVectorArrayScalar64f(s(i, 0), srcVectorStride, srcElementStride, factor,
                                            d(i, 0), dstVectorStride, dstElementStride, length, 1);
  }
  return kStsNoErr;
}

}  // namespace

#include "kernels/simd/vecmath.inc"

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
  const auto m = [&](int32_t r, int32_t c) {
    return *Element(matrix, matrixRowStride, matrixElementStride, r, c);
  };
  const auto s = [&](int32_t i, int32_t c) {
    return Element(src, srcVectorStride, srcElementStride, i, c);
  };
  const auto d = [&](int32_t i, int32_t r) {
    return Element(dst, dstVectorStride, dstElementStride, i, r);
  };
  // Counted in 64 bits: i + 2 would wrap for a count near 2^31.
  int64_t i = 0;
  for (; i + 2 <= count; i += 2) {
    for (int32_t r = 0; r < height; ++r) {
      __m128d sum = _mm_mul_pd(_mm_set1_pd(m(r, 0)), LoadPair(s(i, 0), s(i + 1, 0)));
      for (int32_t c = 1; c < width; ++c) {
        sum = _mm_add_pd(sum, _mm_mul_pd(_mm_set1_pd(m(r, c)), LoadPair(s(i, c), s(i + 1, c))));
      }
      StorePair(d(i, r), d(i + 1, r), sum);
    }
  }
  if (i < count) {
    return generic::MulMatrixVectorArray64f(matrix, matrixRowStride, matrixElementStride, width,
                                            height, s(i, 0), srcVectorStride, srcElementStride,
                                            srcLength, d(i, 0), dstVectorStride, dstElementStride,
                                            1);
  }
  return kStsNoErr;
}

}  // namespace klem::kernels::sse2
