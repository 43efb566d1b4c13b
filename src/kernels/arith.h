// Arithmetic kernels on 8-bit samples: add, subtract, multiply and divide in
// place (scaled by 2^-scale with ties to even, then saturated), and the
// absolute difference (exact, not scaled). Three-channel images run the
// one-channel image kernels over 3 * width samples.
#pragma once

#include <cstdint>

#include "kernels/dispatch.h"
#include "kernels/kernel_types.h"

namespace klem::kernels {

// srcDst := op(srcDst, src), scaled.
using ImageInPlace8uFn = KernelStatus(const uint8_t* src, int32_t srcStep, uint8_t* srcDst,
                                      int32_t srcDstStep, ROI roi, int32_t scale);
// srcDst := op(srcDst, value), scaled.
using ConstantInPlace8uFn = KernelStatus(uint8_t* srcDst, int32_t srcDstStep, ROI roi,
                                         uint8_t value, int32_t scale);
// As above with one constant per channel of a three-channel image (roi in pixels).
using ConstantInPlace8uC3Fn = KernelStatus(uint8_t* srcDst, int32_t srcDstStep, ROI roi,
                                           const uint8_t value[3], int32_t scale);
// dst := |a - b|.
using AbsDiffImages8uFn = KernelStatus(const uint8_t* a, int32_t aStep, const uint8_t* b,
                                       int32_t bStep, uint8_t* dst, int32_t dstStep, ROI roi);
// dst := |src - value|, value clamped to 0..255.
using AbsDiffConstant8uFn = KernelStatus(const uint8_t* src, int32_t srcStep, uint8_t* dst,
                                         int32_t dstStep, ROI roi, int32_t value);

// Every path defines the same kernels in its own namespace.
#define KLEM_ARITH_KERNELS(path)                                                         \
  namespace path {                                                                      \
  ImageInPlace8uFn AddImages8u, SubtractImages8u, MultiplyImages8u, DivideImages8u;     \
  ConstantInPlace8uFn AddConstant8u, SubtractConstant8u, MultiplyConstant8u,            \
      DivideConstant8u;                                                                 \
  ConstantInPlace8uC3Fn AddConstant8uC3, SubtractConstant8uC3, MultiplyConstant8uC3,    \
      DivideConstant8uC3;                                                               \
  AbsDiffImages8uFn AbsDiffImages8u;                                                    \
  AbsDiffConstant8uFn AbsDiffConstant8u;                                                \
  }
KLEM_ARITH_KERNELS(generic)
KLEM_ARITH_KERNELS(sse2)
KLEM_ARITH_KERNELS(avx2)
#undef KLEM_ARITH_KERNELS

// AVX-512 pays for the scaled kernels only.
namespace avx512 {
ImageInPlace8uFn AddImages8u, SubtractImages8u, MultiplyImages8u, DivideImages8u;
ConstantInPlace8uFn AddConstant8u, SubtractConstant8u, MultiplyConstant8u, DivideConstant8u;
ConstantInPlace8uC3Fn AddConstant8uC3, SubtractConstant8uC3, MultiplyConstant8uC3, DivideConstant8uC3;
}  // namespace avx512

extern const KernelDispatchTable<ImageInPlace8uFn> kAddImages8u, kSubtractImages8u,
    kMultiplyImages8u, kDivideImages8u;
extern const KernelDispatchTable<ConstantInPlace8uFn> kAddConstant8u, kSubtractConstant8u,
    kMultiplyConstant8u, kDivideConstant8u;
extern const KernelDispatchTable<ConstantInPlace8uC3Fn> kAddConstant8uC3,
    kSubtractConstant8uC3, kMultiplyConstant8uC3, kDivideConstant8uC3;
extern const KernelDispatchTable<AbsDiffImages8uFn> kAbsDiffImages8u;
extern const KernelDispatchTable<AbsDiffConstant8uFn> kAbsDiffConstant8u;

}  // namespace klem::kernels
