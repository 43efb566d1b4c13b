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

// The vector form of each bitwise rule.
template <typename Rule>
__m128i Vec(__m128i d, __m128i s);
template <>
__m128i Vec<AndRule>(__m128i d, __m128i s) { return _mm_and_si128(d, s); }
template <>
__m128i Vec<OrRule>(__m128i d, __m128i s) { return _mm_or_si128(d, s); }
template <>
__m128i Vec<XorRule>(__m128i d, __m128i s) { return _mm_xor_si128(d, s); }

template <typename Rule>
KernelStatus BitwiseImages(const uint8_t* src, int32_t srcStep, uint8_t* srcDst, int32_t srcDstStep,
                           ROI roi) {
  return BitwiseImagesInPlace(
      src, srcStep, srcDst, srcDstStep, roi, [](const uint8_t* s, uint8_t* d, int32_t samples) {
        InPlaceRow(
            s, d, samples, [](__m128i a, __m128i b) { return Vec<Rule>(a, b); },
            [](uint8_t a, uint8_t b) { return Rule::Sample(a, b); });
      });
}

template <typename Rule>
auto BitwiseConstantRow(const ConstantPattern& pattern) {
  return [&pattern](uint8_t* row, int32_t samples) {
    ConstantRow(row, samples, pattern, [](__m128i d, __m128i c) { return Vec<Rule>(d, c); },
                [](uint8_t d, uint8_t c) { return Rule::Sample(d, c); });
  };
}

template <typename Rule>
KernelStatus BitwiseConstant(uint8_t* srcDst, int32_t srcDstStep, ROI roi, uint8_t value) {
  const ConstantPattern pattern(&value, 1);
  return SamplesInPlace(srcDst, srcDstStep, roi, BitwiseConstantRow<Rule>(pattern));
}

template <typename Rule>
KernelStatus BitwiseConstantC3(uint8_t* srcDst, int32_t srcDstStep, ROI roi,
                               const uint8_t value[3], BitwiseConstant8uFn* one) {
  if (value == nullptr) return kStsNullPtrErr;
  const ConstantPattern pattern(value, 3);
  return PerChannelInPlace(srcDst, srcDstStep, roi, value, one, BitwiseConstantRow<Rule>(pattern));
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

#include "kernels/logic_entries.inc"

}  // namespace klem::kernels::sse2
