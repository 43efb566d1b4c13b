// Generic bitwise, shift and scale-down kernels and the dispatch tables of the family.
//
// Per sample (d the destination, s the source or constant, n the count):
//   and, or, xor  d & s, d | s, d ^ s
//   shift right   d >> n, 0 when n is at least the sample width
//   shift left    (d << n) cut to the sample width, 0 likewise
//   scale down    (v - (v >> 8) + 128) >> 8 for a 16-bit v
// The scale-down mode is accepted and ignored: the rounded form above is the
// only one there is, so every mode gives it.
#include "kernels/logic.h"

#include "kernels/logic_rules.h"

namespace klem::kernels {
namespace generic {
namespace {

template <typename Rule>
KernelStatus BitwiseImages(const uint8_t* src, int32_t srcStep, uint8_t* srcDst,
                           int32_t srcDstStep, ROI roi) {
  return BitwiseImagesInPlace(
      src, srcStep, srcDst, srcDstStep, roi, [](const uint8_t* s, uint8_t* d, int32_t samples) {
        for (int32_t x = 0; x < samples; ++x) d[x] = Rule::Sample(d[x], s[x]);
      });
}

template <typename Rule>
KernelStatus BitwiseConstant(uint8_t* srcDst, int32_t srcDstStep, ROI roi, uint8_t value) {
  return SamplesInPlace(srcDst, srcDstStep, roi, [value](uint8_t* row, int32_t samples) {
    for (int32_t x = 0; x < samples; ++x) row[x] = Rule::Sample(row[x], value);
  });
}

template <typename Rule>
KernelStatus BitwiseConstantC3(uint8_t* srcDst, int32_t srcDstStep, ROI roi,
                               const uint8_t value[3], BitwiseConstant8uFn* one) {
  return PerChannelInPlace(srcDst, srcDstStep, roi, value, one,
                           [value](uint8_t* row, int32_t samples) {
                             for (int32_t x = 0; x < samples; ++x) {
                               row[x] = Rule::Sample(row[x], value[x % 3]);
                             }
                           });
}

template <typename T, bool kLeft>
KernelStatus Shift(T* srcDst, int32_t srcDstStep, ROI roi, uint32_t count) {
  return ShiftInPlace(srcDst, srcDstStep, roi, count, [count](T* row, int32_t samples) {
    for (int32_t x = 0; x < samples; ++x) StoreSample(row + x, ShiftSample<T, kLeft>(LoadSample(row + x), count));
  });
}

template <typename T, bool kLeft, typename OneFn>
KernelStatus ShiftC3(T* srcDst, int32_t srcDstStep, ROI roi, const uint32_t count[3],
                     OneFn* one) {
  return PerChannelInPlace(srcDst, srcDstStep, roi, count, one, [count](T* row, int32_t samples) {
    for (int32_t x = 0; x < samples; ++x) {
      StoreSample(row + x, ShiftSample<T, kLeft>(LoadSample(row + x), count[x % 3]));
    }
  });
}

void ScaleDownRow(const uint16_t* src, uint8_t* dst, int32_t samples) {
  for (int32_t x = 0; x < samples; ++x) dst[x] = ScaleDownSample(LoadSample(src + x));
}

}  // namespace

#include "kernels/logic_entries.inc"

}  // namespace generic

// --- dispatch tables ----------------------------------------------------------
// The SSE paths run the SSE2 kernels (the later instruction sets add nothing to
// these loops); path 4 takes the AVX2 ones where the processor has them. These
// loops are bound by memory, not by instructions: AVX-512 measured no faster.
#define KLEM_TABLE(Fn, name) \
  constinit const KernelDispatchTable<Fn> k##name = Dispatch(generic::name).Sse2(sse2::name).Avx2(avx2::name)

KLEM_TABLE(BitwiseImages8uFn, AndImages8u);
KLEM_TABLE(BitwiseImages8uFn, OrImages8u);
KLEM_TABLE(BitwiseImages8uFn, XorImages8u);
KLEM_TABLE(BitwiseConstant8uFn, AndConstant8u);
KLEM_TABLE(BitwiseConstant8uFn, OrConstant8u);
KLEM_TABLE(BitwiseConstant8uFn, XorConstant8u);
KLEM_TABLE(BitwiseConstant8uC3Fn, AndConstant8uC3);
KLEM_TABLE(BitwiseConstant8uC3Fn, OrConstant8uC3);
KLEM_TABLE(BitwiseConstant8uC3Fn, XorConstant8uC3);
KLEM_TABLE(Shift8uFn, ShiftRight8u);
KLEM_TABLE(Shift8uFn, ShiftLeft8u);
KLEM_TABLE(Shift8uC3Fn, ShiftRight8uC3);
KLEM_TABLE(Shift8uC3Fn, ShiftLeft8uC3);
KLEM_TABLE(Shift16uFn, ShiftRight16u);
KLEM_TABLE(Shift16uFn, ShiftLeft16u);
KLEM_TABLE(Shift16uC3Fn, ShiftRight16uC3);
KLEM_TABLE(Shift16uC3Fn, ShiftLeft16uC3);
KLEM_TABLE(ScaleDown16u8uFn, ScaleDown16u8u);
KLEM_TABLE(ScaleDown16u8uFn, ScaleDown16u8uC3);
#undef KLEM_TABLE

}  // namespace klem::kernels
