// Generic arithmetic kernels and the dispatch tables of the family.
//
// Per sample (d the destination, s the source or constant, k the scale factor,
// R(r) = r * 2^-k rounded to nearest with ties to even, then saturated to 0..255):
//   add       R(d + s)
//   subtract  R(max(d - s, 0))
//   multiply  R(d * s)
//   divide    R(d / s) as an exact rational (s = 0: 255 for d != 0, else 0,
//             and the call warns with status 6)
//   absdiff   |a - b|, not scaled
#include "kernels/arith.h"

#include "kernels/arith_rules.h"

namespace klem::kernels {
namespace generic {
namespace {

template <typename Rule>
KernelStatus Images(const uint8_t* src, int32_t srcStep, uint8_t* srcDst, int32_t srcDstStep,
                    ROI roi, int32_t scale) {
  return ScaledImagesInPlace(src, srcStep, srcDst, srcDstStep, roi, scale, Rule::kZeroAbove,
                             [scale](const uint8_t* s, uint8_t* d, int32_t samples) {
                               for (int32_t x = 0; x < samples; ++x) {
                                 d[x] = Rule::Sample(d[x], s[x], scale);
                               }
                               return kStsNoErr;
                             });
}

template <int32_t kChannels, typename SampleOp>
auto ConstantRow(const uint8_t* values, SampleOp op) {
  return [values, op](uint8_t* row, int32_t samples) {
    for (int32_t x = 0; x < samples; ++x) row[x] = op(row[x], values[x % kChannels]);
  };
}

template <typename Rule, int32_t kChannels>
KernelStatus Constant(uint8_t* srcDst, int32_t srcDstStep, ROI roi, const uint8_t* values,
                      int32_t scale) {
  return ScaledConstantInPlace(
      srcDst, srcDstStep, roi, values, kChannels, scale, Rule::kZeroAbove, Rule::kIdentity,
      ConstantRow<kChannels>(values, [scale](uint8_t d, uint8_t c) { return Rule::Sample(d, c, scale); }));
}

}  // namespace

#include "kernels/arith_entries.inc"

KernelStatus DivideImages8u(const uint8_t* src, int32_t srcStep, uint8_t* srcDst,
                            int32_t srcDstStep, ROI roi, int32_t scale) {
  // No shortcut for large factors: a zero divisor must still give 255 and warn.
  return ScaledImagesInPlace(
      src, srcStep, srcDst, srcDstStep, roi, scale, INT32_MAX,
      [scale](const uint8_t* divisor, uint8_t* dividend, int32_t samples) {
        KernelStatus status = kStsNoErr;
        for (int32_t x = 0; x < samples; ++x) {
          if (divisor[x] == 0) {
            dividend[x] = DivideByZeroSample(dividend[x]);
            status = kStsDivByZero;
          } else {
            dividend[x] = DivideSample(dividend[x], divisor[x], scale);
          }
        }
        return status;
      });
}

KernelStatus DivideConstant8u(uint8_t* srcDst, int32_t srcDstStep, ROI roi, uint8_t value,
                              int32_t scale) {
  uint8_t table[256];
  if (value != 0) BuildDivideConstantTable(value, scale, table);
  return DivideConstantInPlace(srcDst, srcDstStep, roi, &value, 1, scale,
                               [&table](uint8_t* row, int32_t samples) {
                                 for (int32_t x = 0; x < samples; ++x) row[x] = table[row[x]];
                               });
}

KernelStatus DivideConstant8uC3(uint8_t* srcDst, int32_t srcDstStep, ROI roi,
                                const uint8_t value[3], int32_t scale) {
  return DivideConstantInPlace(srcDst, srcDstStep, roi, value, 3, scale,
                               ConstantRow<3>(value, [scale](uint8_t d, uint8_t c) {
                                 return DivideSample(d, c, scale);
                               }));
}

KernelStatus AbsDiffImages8u(const uint8_t* a, int32_t aStep, const uint8_t* b, int32_t bStep,
                             uint8_t* dst, int32_t dstStep, ROI roi) {
  if (KernelStatus status = CheckArguments({a, b, dst}, roi, {aStep, bStep, dstStep}, roi.width)) {
    return status;
  }
  ForEachSample(a, aStep, b, bStep, dst, dstStep, roi, [](uint8_t x, uint8_t y, int32_t) {
    return static_cast<uint8_t>(x > y ? x - y : y - x);
  });
  return kStsNoErr;
}

KernelStatus AbsDiffConstant8u(const uint8_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep,
                               ROI roi, int32_t value) {
  if (KernelStatus status = CheckArguments({src, dst}, roi, {srcStep, dstStep}, roi.width)) {
    return status;
  }
  const int32_t c = value < 0 ? 0 : value > 255 ? 255 : value;
  ForEachSample(src, srcStep, dst, dstStep, roi, [c](uint8_t x, int32_t) {
    return static_cast<uint8_t>(x > c ? x - c : c - x);
  });
  return kStsNoErr;
}

}  // namespace generic

// --- dispatch tables ----------------------------------------------------------
// The SSE paths run the SSE2 kernels (the later instruction sets add nothing to
// these loops); path 4 takes the wide ones where the processor has them. The
// scaled kernels widen, round and narrow every sample and run twice as fast on
// AVX-512 as on AVX2; the absolute differences are bound by memory and measured
// no faster there, so they keep AVX2.
#define KLEM_TABLE(Fn, name) \
  constinit const KernelDispatchTable<Fn> k##name = Dispatch(generic::name).Sse2(sse2::name).Avx2(avx2::name)
#define KLEM_TABLE_512(Fn, name) \
  constinit const KernelDispatchTable<Fn> k##name = \
      Dispatch(generic::name).Sse2(sse2::name).Avx2(avx2::name).Avx512(avx512::name)

KLEM_TABLE_512(ImageInPlace8uFn, AddImages8u);
KLEM_TABLE_512(ImageInPlace8uFn, SubtractImages8u);
KLEM_TABLE_512(ImageInPlace8uFn, MultiplyImages8u);
KLEM_TABLE_512(ImageInPlace8uFn, DivideImages8u);
KLEM_TABLE_512(ConstantInPlace8uFn, AddConstant8u);
KLEM_TABLE_512(ConstantInPlace8uFn, SubtractConstant8u);
KLEM_TABLE_512(ConstantInPlace8uFn, MultiplyConstant8u);
KLEM_TABLE_512(ConstantInPlace8uFn, DivideConstant8u);
KLEM_TABLE_512(ConstantInPlace8uC3Fn, AddConstant8uC3);
KLEM_TABLE_512(ConstantInPlace8uC3Fn, SubtractConstant8uC3);
KLEM_TABLE_512(ConstantInPlace8uC3Fn, MultiplyConstant8uC3);
KLEM_TABLE_512(ConstantInPlace8uC3Fn, DivideConstant8uC3);
KLEM_TABLE(AbsDiffImages8uFn, AbsDiffImages8u);
KLEM_TABLE(AbsDiffConstant8uFn, AbsDiffConstant8u);
#undef KLEM_TABLE
#undef KLEM_TABLE_512

}  // namespace klem::kernels
