// SSE2 arithmetic kernels.
//
// Bit-identical to the generic path by construction: the entry shape (checks,
// shortcuts, statuses) is the shared one of arith_rules.h, the scalar tails use
// the same sample rules, and the vector bodies compute the same exact integer
// results before rounding them with ScaleU16, whose every mode is the integer
// form of ScaleAndSaturate8u. Division goes through single precision: for
// quotients of bytes below 256 its error is far smaller than the distance of
// any non-tie from a half, and exact halves are representable, so converting
// with round-to-nearest-even is the exact rounding of the rational quotient.
// Rows are processed with unaligned loads and stores and never read or
// written past their last sample.
#include "kernels/arith.h"

#include <algorithm>

#include "kernels/arith_rules.h"
#include "kernels/sse2/sse2_support.h"

namespace klem::kernels::sse2 {
namespace {

struct Wide {
  __m128i lo, hi;
};

// The vector form of each rule: exact results in 16-bit lanes, and where it
// exists the byte form that equals them saturated (used at scale 0).
template <typename Rule>
struct VectorOp;

template <>
struct VectorOp<AddRule> : AddRule {
  static constexpr int32_t kMaxResult = 510;
  static constexpr bool kHasSaturating = true;
  static Wide Exact(__m128i d, __m128i s) {
    return {_mm_add_epi16(WidenLo(d), WidenLo(s)), _mm_add_epi16(WidenHi(d), WidenHi(s))};
  }
  static __m128i Saturating(__m128i d, __m128i s) { return _mm_adds_epu8(d, s); }
};

template <>
struct VectorOp<SubtractRule> : SubtractRule {
  static constexpr int32_t kMaxResult = 255;
  static constexpr bool kHasSaturating = true;
  static Wide Exact(__m128i d, __m128i s) {
    const __m128i r = _mm_subs_epu8(d, s);
    return {WidenLo(r), WidenHi(r)};
  }
  static __m128i Saturating(__m128i d, __m128i s) { return _mm_subs_epu8(d, s); }
};

template <>
struct VectorOp<MultiplyRule> : MultiplyRule {
  static constexpr int32_t kMaxResult = 65025;
  static constexpr bool kHasSaturating = false;
  static Wide Exact(__m128i d, __m128i s) {
    return {_mm_mullo_epi16(WidenLo(d), WidenLo(s)), _mm_mullo_epi16(WidenHi(d), WidenHi(s))};
  }
  static __m128i Saturating(__m128i, __m128i) { return _mm_setzero_si128(); }
};

// Runs body(vecOp, sampleOp) with the vector operation of Op at this scale.
template <typename Op, typename Body>
void WithScaledOp(int32_t scale, Body body) {
  // Above kZeroAbove the entry fills zeros and never calls a row.
  const ScaleParams params(std::min(scale, Op::kZeroAbove), Op::kMaxResult);
  const auto sampleOp = [scale](uint8_t d, uint8_t s) { return Op::Sample(d, s, scale); };
  WithScaleMode(params.mode, [&](auto mode) {
    constexpr ScaleMode kMode = decltype(mode)::value;
    if constexpr (kMode == ScaleMode::kKeep && Op::kHasSaturating) {
      body([](__m128i d, __m128i s) { return Op::Saturating(d, s); }, sampleOp);
    } else {
      body(
          [&params](__m128i d, __m128i s) {
            const Wide r = Op::Exact(d, s);
            return _mm_packus_epi16(ScaleU16<kMode>(params, r.lo), ScaleU16<kMode>(params, r.hi));
          },
          sampleOp);
    }
  });
}

template <typename Rule>
KernelStatus Images(const uint8_t* src, int32_t srcStep, uint8_t* srcDst, int32_t srcDstStep,
                    ROI roi, int32_t scale) {
  using Op = VectorOp<Rule>;
  KernelStatus status = kStsNoErr;
  WithScaledOp<Op>(scale, [&](auto vecOp, auto sampleOp) {
    status = ScaledImagesInPlace(src, srcStep, srcDst, srcDstStep, roi, scale, Op::kZeroAbove,
                                 [&](const uint8_t* s, uint8_t* d, int32_t samples) {
                                   InPlaceRow(s, d, samples, vecOp, sampleOp);
                                   return kStsNoErr;
                                 });
  });
  return status;
}

template <typename Rule, int32_t kChannels>
KernelStatus Constant(uint8_t* srcDst, int32_t srcDstStep, ROI roi, const uint8_t* values,
                      int32_t scale) {
  using Op = VectorOp<Rule>;
  if (values == nullptr) return kStsNullPtrErr;
  const ConstantPattern pattern(values, kChannels);
  KernelStatus status = kStsNoErr;
  WithScaledOp<Op>(scale, [&](auto vecOp, auto sampleOp) {
    status = ScaledConstantInPlace(srcDst, srcDstStep, roi, values, kChannels, scale, Op::kZeroAbove,
                                   Op::kIdentity, [&](uint8_t* row, int32_t samples) {
                                     ConstantRow(row, samples, pattern, vecOp, sampleOp);
                                   });
  });
  return status;
}

// --- division -----------------------------------------------------------------

// The host may have set another rounding mode, or unmasked floating-point
// exceptions; the division below needs round-to-nearest-even for its
// conversions and divides by zero lanes on purpose. For the call's length it
// gets both, and the host's control word and flags come back unchanged.
class RoundToNearest {
 public:
  RoundToNearest() : saved_(_mm_getcsr()) {
    _mm_setcsr((saved_ & ~kRoundingBits) | kAllExceptionsMasked);
  }
  ~RoundToNearest() { _mm_setcsr(saved_); }
  RoundToNearest(const RoundToNearest&) = delete;
  RoundToNearest& operator=(const RoundToNearest&) = delete;

 private:
  static constexpr unsigned kRoundingBits = 0x6000;
  static constexpr unsigned kAllExceptionsMasked = 0x1F80;
  unsigned saved_;
};

class DivideVec {
 public:
  explicit DivideVec(int32_t scale)
      : factor_(_mm_set1_ps(std::ldexp(1.0f, -std::clamp(scale, kDivideSaturateBelow - 1,
                                                         kDivideZeroAbove + 1)))) {}

  // Quotients of 16 dividends by 16 divisors; zero divisors give 255 for a
  // non-zero dividend and 0 for a zero one, and are collected in zeroSeen.
  __m128i operator()(__m128i d, __m128i v, __m128i& zeroSeen) const {
    const __m128i zero = _mm_setzero_si128();
    const __m128i zeroDivisor = _mm_cmpeq_epi8(v, zero);
    zeroSeen = _mm_or_si128(zeroSeen, zeroDivisor);
    const __m128i dLo = WidenLo(d), dHi = WidenHi(d), vLo = WidenLo(v), vHi = WidenHi(v);
    const __m128i lo = _mm_packs_epi32(Quotient4(_mm_unpacklo_epi16(dLo, zero), _mm_unpacklo_epi16(vLo, zero)),
                                       Quotient4(_mm_unpackhi_epi16(dLo, zero), _mm_unpackhi_epi16(vLo, zero)));
    const __m128i hi = _mm_packs_epi32(Quotient4(_mm_unpacklo_epi16(dHi, zero), _mm_unpacklo_epi16(vHi, zero)),
                                       Quotient4(_mm_unpackhi_epi16(dHi, zero), _mm_unpackhi_epi16(vHi, zero)));
    // A zero divisor's lane converted infinity or NaN to the integer
    // indefinite value, which packs to 0; set it to 255 under a non-zero dividend.
    const __m128i saturated = _mm_andnot_si128(_mm_cmpeq_epi8(d, zero), zeroDivisor);
    return _mm_or_si128(_mm_packus_epi16(lo, hi), saturated);
  }

 private:
  // Quotients beyond the int32 range cannot occur: at most 255 * 2^16.
  __m128i Quotient4(__m128i d, __m128i v) const {
    const __m128 x = _mm_div_ps(_mm_cvtepi32_ps(d), _mm_cvtepi32_ps(v));
    // Rounds to nearest, ties to even: the caller holds that rounding mode.
    return _mm_cvtps_epi32(_mm_mul_ps(x, factor_));
  }

  __m128 factor_;
};

// The exact rule of DivideSample against the one-channel constant table: they
// differ only where a double product misses an exact half.
bool TableIsExactDivision(uint8_t c, int32_t scale, const uint8_t table[256]) {
  for (int32_t d = 0; d < 256; ++d) {
    if (table[d] != DivideSample(static_cast<uint8_t>(d), c, scale)) return false;
  }
  return true;
}

}  // namespace

#include "kernels/arith_entries.inc"

KernelStatus DivideImages8u(const uint8_t* src, int32_t srcStep, uint8_t* srcDst,
                            int32_t srcDstStep, ROI roi, int32_t scale) {
  const RoundToNearest rounding;
  const DivideVec divide(scale);
  return ScaledImagesInPlace(
      src, srcStep, srcDst, srcDstStep, roi, scale, INT32_MAX,
      [&divide, scale](const uint8_t* divisor, uint8_t* dividend, int32_t samples) {
        __m128i zeroSeen = _mm_setzero_si128();
        bool zeroInTail = false;
        InPlaceRow(
            divisor, dividend, samples,
            [&](__m128i d, __m128i v) { return divide(d, v, zeroSeen); },
            [&](uint8_t d, uint8_t v) {
              zeroInTail = zeroInTail || v == 0;
              return v == 0 ? DivideByZeroSample(d) : DivideSample(d, v, scale);
            });
        return (zeroInTail || _mm_movemask_epi8(zeroSeen) != 0) ? kStsDivByZero : kStsNoErr;
      });
}

KernelStatus DivideConstant8u(uint8_t* srcDst, int32_t srcDstStep, ROI roi, uint8_t value,
                              int32_t scale) {
  uint8_t table[256];
  if (value != 0) BuildDivideConstantTable(value, scale, table);
  const bool exact = value != 0 && TableIsExactDivision(value, scale, table);
  const RoundToNearest rounding;
  const ConstantPattern pattern(&value, 1);
  const DivideVec divide(scale);
  return DivideConstantInPlace(srcDst, srcDstStep, roi, &value, 1, scale,
                               [&](uint8_t* row, int32_t samples) {
                                 __m128i unused = _mm_setzero_si128();
                                 const auto fromTable = [&table](uint8_t d, uint8_t) { return table[d]; };
                                 if (exact) {
                                   ConstantRow(row, samples, pattern,
                                               [&](__m128i d, __m128i v) { return divide(d, v, unused); },
                                               fromTable);
                                 } else {
                                   for (int32_t x = 0; x < samples; ++x) row[x] = table[row[x]];
                                 }
                               });
}

KernelStatus DivideConstant8uC3(uint8_t* srcDst, int32_t srcDstStep, ROI roi,
                                const uint8_t value[3], int32_t scale) {
  if (value == nullptr) return kStsNullPtrErr;
  const RoundToNearest rounding;
  const ConstantPattern pattern(value, 3);
  const DivideVec divide(scale);
  return DivideConstantInPlace(srcDst, srcDstStep, roi, value, 3, scale,
                               [&](uint8_t* row, int32_t samples) {
                                 __m128i unused = _mm_setzero_si128();
                                 ConstantRow(row, samples, pattern,
                                             [&](__m128i d, __m128i v) { return divide(d, v, unused); },
                                             [scale](uint8_t d, uint8_t c) { return DivideSample(d, c, scale); });
                               });
}

KernelStatus AbsDiffImages8u(const uint8_t* a, int32_t aStep, const uint8_t* b, int32_t bStep,
                             uint8_t* dst, int32_t dstStep, ROI roi) {
  if (KernelStatus status = CheckArguments({a, b, dst}, roi, {aStep, bStep, dstStep}, roi.width)) {
    return status;
  }
  for (int32_t y = 0; y < roi.height; ++y) {
    BinaryRow(RowAt(a, aStep, y), RowAt(b, bStep, y), RowAt(dst, dstStep, y), roi.width,
              [](__m128i x, __m128i z) { return _mm_or_si128(_mm_subs_epu8(x, z), _mm_subs_epu8(z, x)); },
              [](uint8_t x, uint8_t z) { return static_cast<uint8_t>(x > z ? x - z : z - x); });
  }
  return kStsNoErr;
}

KernelStatus AbsDiffConstant8u(const uint8_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep,
                               ROI roi, int32_t value) {
  if (KernelStatus status = CheckArguments({src, dst}, roi, {srcStep, dstStep}, roi.width)) {
    return status;
  }
  const uint8_t c = static_cast<uint8_t>(std::clamp(value, 0, 255));
  const __m128i cv = _mm_set1_epi8(static_cast<char>(c));
  for (int32_t y = 0; y < roi.height; ++y) {
    MapRow(RowAt(src, srcStep, y), RowAt(dst, dstStep, y), roi.width,
           [cv](__m128i x) { return _mm_or_si128(_mm_subs_epu8(x, cv), _mm_subs_epu8(cv, x)); },
           [c](uint8_t x) { return static_cast<uint8_t>(x > c ? x - c : c - x); });
  }
  return kStsNoErr;
}

}  // namespace klem::kernels::sse2
