// Alpha kernels on 8-bit samples: premultiplying colour by a pixel's own
// alpha or by a constant, the twelve compositions of two images (Porter-Duff
// operators on straight or premultiplied colour, see alpha_rules.h), and
// writing the alpha byte of 4-byte pixels. None of them is scaled.
#pragma once

#include <cstdint>

#include "kernels/dispatch.h"
#include "kernels/kernel_types.h"

namespace klem::kernels {

// Colour bytes of every 4-byte pixel := mul(colour, its byte 3); byte 3 kept.
using AlphaPremultiply8uFn = KernelStatus(uint8_t* srcDst, int32_t srcDstStep, ROI roi);
// Every colour byte := mul(byte, alpha); for 4-byte pixels byte 3 := alpha.
using AlphaPremultiplyConst8uFn = KernelStatus(uint8_t alpha, uint8_t* srcDst, int32_t srcDstStep,
                                               ROI roi);
// dst := A composed with B by `type` (0..11, else -50), alphas from byte 3.
// dst may be A or B itself.
using AlphaCompose8uFn = KernelStatus(const uint8_t* srcA, int32_t srcAStep, const uint8_t* srcB,
                                      int32_t srcBStep, uint8_t* dst, int32_t dstStep, ROI roi,
                                      int32_t type);
// The colour of the same compositions with two constant alphas; on 4-byte
// pixels byte 3 of dst is not written.
using AlphaComposeConst8uFn = KernelStatus(const uint8_t* srcA, int32_t srcAStep, uint8_t alphaA,
                                           const uint8_t* srcB, int32_t srcBStep, uint8_t alphaB,
                                           uint8_t* dst, int32_t dstStep, ROI roi, int32_t type);
// alpha into every 4th byte from dstAlpha, which points at byte 3 of the first pixel.
using SetAlphaConst8uFn = KernelStatus(uint8_t alpha, uint8_t* dstAlpha, int32_t dstStep, ROI roi);
// src's bytes into every 4th byte from dstAlpha (byte 3 of the first pixel).
using CopyToAlpha8uFn = KernelStatus(const uint8_t* src, int32_t srcStep, uint8_t* dstAlpha,
                                     int32_t dstStep, ROI roi);

// Every path defines the same kernels in its own namespace.
#define KLEM_ALPHA_KERNELS(path)                                                              \
  namespace path {                                                                           \
  AlphaPremultiply8uFn AlphaPremultiply8uC4;                                                 \
  AlphaPremultiplyConst8uFn AlphaPremultiplyConst8uC1, AlphaPremultiplyConst8uC3,            \
      AlphaPremultiplyConst8uC4;                                                             \
  AlphaCompose8uFn AlphaCompose8uC4;                                                         \
  AlphaComposeConst8uFn AlphaComposeConst8uC1, AlphaComposeConst8uC3, AlphaComposeConst8uC4; \
  SetAlphaConst8uFn SetAlphaConst8uC4;                                                       \
  CopyToAlpha8uFn CopyToAlpha8u;                                                             \
  }
KLEM_ALPHA_KERNELS(generic)
KLEM_ALPHA_KERNELS(sse2)
KLEM_ALPHA_KERNELS(ssse3)
KLEM_ALPHA_KERNELS(avx2)
KLEM_ALPHA_KERNELS(avx512)
#undef KLEM_ALPHA_KERNELS

extern const KernelDispatchTable<AlphaPremultiply8uFn> kAlphaPremultiply8uC4;
extern const KernelDispatchTable<AlphaPremultiplyConst8uFn> kAlphaPremultiplyConst8uC1,
    kAlphaPremultiplyConst8uC3, kAlphaPremultiplyConst8uC4;
extern const KernelDispatchTable<AlphaCompose8uFn> kAlphaCompose8uC4;
extern const KernelDispatchTable<AlphaComposeConst8uFn> kAlphaComposeConst8uC1,
    kAlphaComposeConst8uC3, kAlphaComposeConst8uC4;
extern const KernelDispatchTable<SetAlphaConst8uFn> kSetAlphaConst8uC4;
extern const KernelDispatchTable<CopyToAlpha8uFn> kCopyToAlpha8u;

}  // namespace klem::kernels
