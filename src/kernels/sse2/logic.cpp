// SSE2 bitwise, shift and scale-down kernels.
//
// Bit-identical to the generic path by construction: the entry shapes (checks,
// shortcuts, statuses) are the shared ones of logic_rules.h, the scalar tails
// use the same sample rules, and the vector bodies are exact integer forms of
// those rules. Rows are processed with unaligned loads and stores and never
// read or written past their last sample.
#include "kernels/logic.h"

#include "kernels/logic_rules.h"
#include "kernels/sse2/sse2_support.h"

namespace klem::kernels::sse2 {
namespace {

struct AndOp : AndRule {
  static __m128i Vec(__m128i d, __m128i s) { return _mm_and_si128(d, s); }
};
struct OrOp : OrRule {
  static __m128i Vec(__m128i d, __m128i s) { return _mm_or_si128(d, s); }
};
struct XorOp : XorRule {
  static __m128i Vec(__m128i d, __m128i s) { return _mm_xor_si128(d, s); }
};

template <typename Op>
KernelStatus BitwiseImages(const uint8_t* src, int32_t srcStep, uint8_t* srcDst, int32_t srcDstStep,
                           ROI roi) {
  return BitwiseImagesInPlace(
      src, srcStep, srcDst, srcDstStep, roi, [](const uint8_t* s, uint8_t* d, int32_t samples) {
        InPlaceRow(
            s, d, samples, [](__m128i a, __m128i b) { return Op::Vec(a, b); },
            [](uint8_t a, uint8_t b) { return Op::Sample(a, b); });
      });
}

template <typename Op>
auto BitwiseConstantRow(const ConstantPattern& pattern) {
  return [&pattern](uint8_t* row, int32_t samples) {
    ConstantRow(row, samples, pattern, [](__m128i d, __m128i c) { return Op::Vec(d, c); },
                [](uint8_t d, uint8_t c) { return Op::Sample(d, c); });
  };
}

template <typename Op>
KernelStatus BitwiseConstant(uint8_t* srcDst, int32_t srcDstStep, ROI roi, uint8_t value) {
  const ConstantPattern pattern(&value, 1);
  return SamplesInPlace(srcDst, srcDstStep, roi, BitwiseConstantRow<Op>(pattern));
}

template <typename Op>
KernelStatus BitwiseConstantC3(uint8_t* srcDst, int32_t srcDstStep, ROI roi,
                               const uint8_t value[3], BitwiseConstant8uFn* one) {
  if (value == nullptr) return kStsNullPtrErr;
  const ConstantPattern pattern(value, 3);
  return PerChannelInPlace(srcDst, srcDstStep, roi, value, one, BitwiseConstantRow<Op>(pattern));
}

// Shifts by one count per channel. SSE2 shifts whole 16-bit lanes by a single
// count, so a vector is shifted once by each channel's count and each result
// keeps only the samples of its channel, cut to the bits a shift of that
// sample width keeps (an 8-bit sample shares its lane with a neighbour).
template <typename T, bool kLeft, int32_t kChannels>
class ChannelShift {
 public:
  explicit ChannelShift(const uint32_t* counts) {
    constexpr int32_t kLanes = 16 / sizeof(T);
    for (int32_t c = 0; c < kChannels; ++c) {
      const uint32_t count = counts[c] < kSampleBits<T> ? counts[c] : kSampleBits<T>;
      counts_[c] = _mm_cvtsi32_si128(static_cast<int32_t>(count));
      const T kept = ShiftSample<T, kLeft>(static_cast<T>(~T{0}), count);
      alignas(16) T lanes[kLanes];
      for (int32_t k = 0; k < 3; ++k) {
        for (int32_t i = 0; i < kLanes; ++i) {
          lanes[i] = (k * kLanes + i) % kChannels == c ? kept : 0;
        }
        keep_[k][c] = _mm_load_si128(reinterpret_cast<const __m128i*>(lanes));
      }
    }
  }

  // The k-th vector of a 48-byte period.
  __m128i operator()(__m128i v, int32_t k) const {
    __m128i result = _mm_and_si128(Shift(v, counts_[0]), keep_[k][0]);
    for (int32_t c = 1; c < kChannels; ++c) {
      result = _mm_or_si128(result, _mm_and_si128(Shift(v, counts_[c]), keep_[k][c]));
    }
    return result;
  }

 private:
  static __m128i Shift(__m128i v, __m128i count) {
    return kLeft ? _mm_sll_epi16(v, count) : _mm_srl_epi16(v, count);
  }

  __m128i counts_[kChannels];
  __m128i keep_[3][kChannels];
};

template <typename T, bool kLeft>
KernelStatus Shift(T* srcDst, int32_t srcDstStep, ROI roi, uint32_t count) {
  const ChannelShift<T, kLeft, 1> shift(&count);
  return ShiftInPlace(srcDst, srcDstStep, roi, count, [&shift, count](T* row, int32_t samples) {
    PeriodicRow(row, samples, shift,
                [count](T v, int32_t) { return ShiftSample<T, kLeft>(v, count); });
  });
}

template <typename T, bool kLeft, typename OneFn>
KernelStatus ShiftC3(T* srcDst, int32_t srcDstStep, ROI roi, const uint32_t count[3], OneFn* one) {
  if (count == nullptr) return kStsNullPtrErr;
  const ChannelShift<T, kLeft, 3> shift(count);
  return PerChannelInPlace(
      srcDst, srcDstStep, roi, count, one, [&shift, count](T* row, int32_t samples) {
        PeriodicRow(row, samples, shift,
                    [count](T v, int32_t x) { return ShiftSample<T, kLeft>(v, count[x % 3]); });
      });
}

// ScaleDownSample on eight 16-bit lanes; the sum stays below 65536.
inline __m128i ScaleDownVec(__m128i v) {
  const __m128i sum = _mm_add_epi16(_mm_sub_epi16(v, _mm_srli_epi16(v, 8)), _mm_set1_epi16(128));
  return _mm_srli_epi16(sum, 8);
}

// Sixteen samples per step: two vectors of 16-bit samples packed into one of bytes.
void ScaleDownRow(const uint16_t* src, uint8_t* dst, int32_t samples) {
  const uint8_t* bytes = reinterpret_cast<const uint8_t*>(src);
  int32_t x = 0;
  for (; x + 16 <= samples; x += 16) {
    const uint8_t* p = bytes + 2 * x;
    Store(dst + x, _mm_packus_epi16(ScaleDownVec(Load(p)), ScaleDownVec(Load(p + 16))));
  }
  for (; x < samples; ++x) dst[x] = ScaleDownSample(src[x]);
}

}  // namespace

KernelStatus AndImages8u(const uint8_t* src, int32_t srcStep, uint8_t* srcDst, int32_t srcDstStep,
                         ROI roi) {
  return BitwiseImages<AndOp>(src, srcStep, srcDst, srcDstStep, roi);
}
KernelStatus OrImages8u(const uint8_t* src, int32_t srcStep, uint8_t* srcDst, int32_t srcDstStep,
                        ROI roi) {
  return BitwiseImages<OrOp>(src, srcStep, srcDst, srcDstStep, roi);
}
KernelStatus XorImages8u(const uint8_t* src, int32_t srcStep, uint8_t* srcDst, int32_t srcDstStep,
                         ROI roi) {
  return BitwiseImages<XorOp>(src, srcStep, srcDst, srcDstStep, roi);
}

KernelStatus AndConstant8u(uint8_t* srcDst, int32_t srcDstStep, ROI roi, uint8_t value) {
  return BitwiseConstant<AndOp>(srcDst, srcDstStep, roi, value);
}
KernelStatus OrConstant8u(uint8_t* srcDst, int32_t srcDstStep, ROI roi, uint8_t value) {
  return BitwiseConstant<OrOp>(srcDst, srcDstStep, roi, value);
}
KernelStatus XorConstant8u(uint8_t* srcDst, int32_t srcDstStep, ROI roi, uint8_t value) {
  return BitwiseConstant<XorOp>(srcDst, srcDstStep, roi, value);
}

KernelStatus AndConstant8uC3(uint8_t* srcDst, int32_t srcDstStep, ROI roi, const uint8_t value[3]) {
  return BitwiseConstantC3<AndOp>(srcDst, srcDstStep, roi, value, AndConstant8u);
}
KernelStatus OrConstant8uC3(uint8_t* srcDst, int32_t srcDstStep, ROI roi, const uint8_t value[3]) {
  return BitwiseConstantC3<OrOp>(srcDst, srcDstStep, roi, value, OrConstant8u);
}
KernelStatus XorConstant8uC3(uint8_t* srcDst, int32_t srcDstStep, ROI roi, const uint8_t value[3]) {
  return BitwiseConstantC3<XorOp>(srcDst, srcDstStep, roi, value, XorConstant8u);
}

KernelStatus ShiftRight8u(uint8_t* srcDst, int32_t srcDstStep, ROI roi, uint32_t count) {
  return Shift<uint8_t, false>(srcDst, srcDstStep, roi, count);
}
KernelStatus ShiftLeft8u(uint8_t* srcDst, int32_t srcDstStep, ROI roi, uint32_t count) {
  return Shift<uint8_t, true>(srcDst, srcDstStep, roi, count);
}
KernelStatus ShiftRight16u(uint16_t* srcDst, int32_t srcDstStep, ROI roi, uint32_t count) {
  return Shift<uint16_t, false>(srcDst, srcDstStep, roi, count);
}
KernelStatus ShiftLeft16u(uint16_t* srcDst, int32_t srcDstStep, ROI roi, uint32_t count) {
  return Shift<uint16_t, true>(srcDst, srcDstStep, roi, count);
}

KernelStatus ShiftRight8uC3(uint8_t* srcDst, int32_t srcDstStep, ROI roi, const uint32_t count[3]) {
  return ShiftC3<uint8_t, false>(srcDst, srcDstStep, roi, count, ShiftRight8u);
}
KernelStatus ShiftLeft8uC3(uint8_t* srcDst, int32_t srcDstStep, ROI roi, const uint32_t count[3]) {
  return ShiftC3<uint8_t, true>(srcDst, srcDstStep, roi, count, ShiftLeft8u);
}
KernelStatus ShiftRight16uC3(uint16_t* srcDst, int32_t srcDstStep, ROI roi,
                             const uint32_t count[3]) {
  return ShiftC3<uint16_t, false>(srcDst, srcDstStep, roi, count, ShiftRight16u);
}
KernelStatus ShiftLeft16uC3(uint16_t* srcDst, int32_t srcDstStep, ROI roi,
                            const uint32_t count[3]) {
  return ShiftC3<uint16_t, true>(srcDst, srcDstStep, roi, count, ShiftLeft16u);
}

KernelStatus ScaleDown16u8u(const uint16_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep,
                            ROI roi, int32_t /*mode*/) {
  return ScaleDownRows(src, srcStep, dst, dstStep, roi, 1, ScaleDownRow);
}
KernelStatus ScaleDown16u8uC3(const uint16_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep,
                              ROI roi, int32_t /*mode*/) {
  return ScaleDownRows(src, srcStep, dst, dstStep, roi, 3, ScaleDownRow);
}

}  // namespace klem::kernels::sse2
