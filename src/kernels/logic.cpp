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
    for (int32_t x = 0; x < samples; ++x) row[x] = ShiftSample<T, kLeft>(row[x], count);
  });
}

template <typename T, bool kLeft, typename OneFn>
KernelStatus ShiftC3(T* srcDst, int32_t srcDstStep, ROI roi, const uint32_t count[3],
                     OneFn* one) {
  return PerChannelInPlace(srcDst, srcDstStep, roi, count, one, [count](T* row, int32_t samples) {
    for (int32_t x = 0; x < samples; ++x) row[x] = ShiftSample<T, kLeft>(row[x], count[x % 3]);
  });
}

void ScaleDownRow(const uint16_t* src, uint8_t* dst, int32_t samples) {
  for (int32_t x = 0; x < samples; ++x) dst[x] = ScaleDownSample(src[x]);
}

}  // namespace

#include "kernels/logic_entries.inc"

}  // namespace generic

// --- dispatch tables: entries in path order g0, s2, s3, ss3, s41 --------------
// The later paths would add nothing to these loops and reuse SSE2.

const KernelDispatchTable<BitwiseImages8uFn> kAndImages8u{
    generic::AndImages8u, sse2::AndImages8u, sse2::AndImages8u, sse2::AndImages8u,
    sse2::AndImages8u};
const KernelDispatchTable<BitwiseImages8uFn> kOrImages8u{
    generic::OrImages8u, sse2::OrImages8u, sse2::OrImages8u, sse2::OrImages8u,
    sse2::OrImages8u};
const KernelDispatchTable<BitwiseImages8uFn> kXorImages8u{
    generic::XorImages8u, sse2::XorImages8u, sse2::XorImages8u, sse2::XorImages8u,
    sse2::XorImages8u};

const KernelDispatchTable<BitwiseConstant8uFn> kAndConstant8u{
    generic::AndConstant8u, sse2::AndConstant8u, sse2::AndConstant8u, sse2::AndConstant8u,
    sse2::AndConstant8u};
const KernelDispatchTable<BitwiseConstant8uFn> kOrConstant8u{
    generic::OrConstant8u, sse2::OrConstant8u, sse2::OrConstant8u, sse2::OrConstant8u,
    sse2::OrConstant8u};
const KernelDispatchTable<BitwiseConstant8uFn> kXorConstant8u{
    generic::XorConstant8u, sse2::XorConstant8u, sse2::XorConstant8u, sse2::XorConstant8u,
    sse2::XorConstant8u};

const KernelDispatchTable<BitwiseConstant8uC3Fn> kAndConstant8uC3{
    generic::AndConstant8uC3, sse2::AndConstant8uC3, sse2::AndConstant8uC3, sse2::AndConstant8uC3,
    sse2::AndConstant8uC3};
const KernelDispatchTable<BitwiseConstant8uC3Fn> kOrConstant8uC3{
    generic::OrConstant8uC3, sse2::OrConstant8uC3, sse2::OrConstant8uC3, sse2::OrConstant8uC3,
    sse2::OrConstant8uC3};
const KernelDispatchTable<BitwiseConstant8uC3Fn> kXorConstant8uC3{
    generic::XorConstant8uC3, sse2::XorConstant8uC3, sse2::XorConstant8uC3, sse2::XorConstant8uC3,
    sse2::XorConstant8uC3};

const KernelDispatchTable<Shift8uFn> kShiftRight8u{
    generic::ShiftRight8u, sse2::ShiftRight8u, sse2::ShiftRight8u, sse2::ShiftRight8u,
    sse2::ShiftRight8u};
const KernelDispatchTable<Shift8uFn> kShiftLeft8u{
    generic::ShiftLeft8u, sse2::ShiftLeft8u, sse2::ShiftLeft8u, sse2::ShiftLeft8u,
    sse2::ShiftLeft8u};

const KernelDispatchTable<Shift8uC3Fn> kShiftRight8uC3{
    generic::ShiftRight8uC3, sse2::ShiftRight8uC3, sse2::ShiftRight8uC3, sse2::ShiftRight8uC3,
    sse2::ShiftRight8uC3};
const KernelDispatchTable<Shift8uC3Fn> kShiftLeft8uC3{
    generic::ShiftLeft8uC3, sse2::ShiftLeft8uC3, sse2::ShiftLeft8uC3, sse2::ShiftLeft8uC3,
    sse2::ShiftLeft8uC3};

const KernelDispatchTable<Shift16uFn> kShiftRight16u{
    generic::ShiftRight16u, sse2::ShiftRight16u, sse2::ShiftRight16u, sse2::ShiftRight16u,
    sse2::ShiftRight16u};
const KernelDispatchTable<Shift16uFn> kShiftLeft16u{
    generic::ShiftLeft16u, sse2::ShiftLeft16u, sse2::ShiftLeft16u, sse2::ShiftLeft16u,
    sse2::ShiftLeft16u};

const KernelDispatchTable<Shift16uC3Fn> kShiftRight16uC3{
    generic::ShiftRight16uC3, sse2::ShiftRight16uC3, sse2::ShiftRight16uC3, sse2::ShiftRight16uC3,
    sse2::ShiftRight16uC3};
const KernelDispatchTable<Shift16uC3Fn> kShiftLeft16uC3{
    generic::ShiftLeft16uC3, sse2::ShiftLeft16uC3, sse2::ShiftLeft16uC3, sse2::ShiftLeft16uC3,
    sse2::ShiftLeft16uC3};

const KernelDispatchTable<ScaleDown16u8uFn> kScaleDown16u8u{
    generic::ScaleDown16u8u, sse2::ScaleDown16u8u, sse2::ScaleDown16u8u, sse2::ScaleDown16u8u,
    sse2::ScaleDown16u8u};
const KernelDispatchTable<ScaleDown16u8uFn> kScaleDown16u8uC3{
    generic::ScaleDown16u8uC3, sse2::ScaleDown16u8uC3, sse2::ScaleDown16u8uC3,
    sse2::ScaleDown16u8uC3, sse2::ScaleDown16u8uC3};

}  // namespace klem::kernels
