// Bitwise kernels on 8-bit samples (AND, OR, XOR with an image or constants),
// shifts of 8- and 16-bit samples by a count per channel, and the reduction
// of 16-bit samples to 8 bits. None of them is scaled. Three-channel images
// run the one-channel image kernels over 3 * width samples.
#pragma once

#include <cstdint>

#include "kernels/dispatch.h"
#include "kernels/kernel_types.h"

namespace klem::kernels {

// srcDst := srcDst op src.
using BitwiseImages8uFn = KernelStatus(const uint8_t* src, int32_t srcStep, uint8_t* srcDst,
                                       int32_t srcDstStep, ROI roi);
// srcDst := srcDst op value.
using BitwiseConstant8uFn = KernelStatus(uint8_t* srcDst, int32_t srcDstStep, ROI roi,
                                         uint8_t value);
// As above with one constant per channel of a three-channel image (roi in pixels).
using BitwiseConstant8uC3Fn = KernelStatus(uint8_t* srcDst, int32_t srcDstStep, ROI roi,
                                           const uint8_t value[3]);

// srcDst := srcDst >> count, or srcDst << count keeping the low bits of the
// sample; a count of at least the sample width gives 0.
using Shift8uFn = KernelStatus(uint8_t* srcDst, int32_t srcDstStep, ROI roi, uint32_t count);
using Shift8uC3Fn = KernelStatus(uint8_t* srcDst, int32_t srcDstStep, ROI roi,
                                 const uint32_t count[3]);
using Shift16uFn = KernelStatus(uint16_t* srcDst, int32_t srcDstStep, ROI roi, uint32_t count);
using Shift16uC3Fn = KernelStatus(uint16_t* srcDst, int32_t srcDstStep, ROI roi,
                                  const uint32_t count[3]);

// dst := (v - (v >> 8) + 128) >> 8 for every 16-bit sample v; the C3 form
// takes the region in pixels of three samples.
using ScaleDown16u8uFn = KernelStatus(const uint16_t* src, int32_t srcStep, uint8_t* dst,
                                      int32_t dstStep, ROI roi, int32_t mode);

// Every path defines the same kernels in its own namespace.
#define KLEM_LOGIC_KERNELS(path)                                         \
  namespace path {                                                      \
  BitwiseImages8uFn AndImages8u, OrImages8u, XorImages8u;               \
  BitwiseConstant8uFn AndConstant8u, OrConstant8u, XorConstant8u;       \
  BitwiseConstant8uC3Fn AndConstant8uC3, OrConstant8uC3, XorConstant8uC3; \
  Shift8uFn ShiftRight8u, ShiftLeft8u;                                  \
  Shift8uC3Fn ShiftRight8uC3, ShiftLeft8uC3;                            \
  Shift16uFn ShiftRight16u, ShiftLeft16u;                               \
  Shift16uC3Fn ShiftRight16uC3, ShiftLeft16uC3;                         \
  ScaleDown16u8uFn ScaleDown16u8u, ScaleDown16u8uC3;                    \
  }
KLEM_LOGIC_KERNELS(generic)
KLEM_LOGIC_KERNELS(sse2)
KLEM_LOGIC_KERNELS(avx2)
#undef KLEM_LOGIC_KERNELS

extern const KernelDispatchTable<BitwiseImages8uFn> kAndImages8u, kOrImages8u, kXorImages8u;
extern const KernelDispatchTable<BitwiseConstant8uFn> kAndConstant8u, kOrConstant8u, kXorConstant8u;
extern const KernelDispatchTable<BitwiseConstant8uC3Fn> kAndConstant8uC3, kOrConstant8uC3,
    kXorConstant8uC3;
extern const KernelDispatchTable<Shift8uFn> kShiftRight8u, kShiftLeft8u;
extern const KernelDispatchTable<Shift8uC3Fn> kShiftRight8uC3, kShiftLeft8uC3;
extern const KernelDispatchTable<Shift16uFn> kShiftRight16u, kShiftLeft16u;
extern const KernelDispatchTable<Shift16uC3Fn> kShiftRight16uC3, kShiftLeft16uC3;
extern const KernelDispatchTable<ScaleDown16u8uFn> kScaleDown16u8u, kScaleDown16u8uC3;

}  // namespace klem::kernels
