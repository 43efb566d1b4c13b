// AVX2 gray and bit-expansion kernels: the shared vector bodies on 32-byte
// vectors of two 16-byte lanes. Shuffles and packs stay within a lane, so
// each lane loads, and stores, its own block of pixels.
#include "kernels/gray.h"

#include <immintrin.h>

#include <cstddef>

#include "kernels/avx2/width.h"
#include "kernels/gray_rules.h"

namespace klem::kernels::avx2 {
namespace {

struct GraySimd : Simd {
  static constexpr int32_t kLanes = 2;
  static V Shuffle8(V v, V control) { return _mm256_shuffle_epi8(v, control); }
  static V FromLane(__m128i v) { return _mm256_broadcastsi128_si256(v); }
  static V Broadcast(const uint8_t* lane) {
    return FromLane(_mm_loadu_si128(reinterpret_cast<const __m128i*>(lane)));
  }
  static V LoadLanes(const uint8_t* p, std::ptrdiff_t stride) {
    return _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(p + stride),
                               reinterpret_cast<const __m128i*>(p));
  }
  static V Set32(int32_t w) { return _mm256_set1_epi32(w); }
  static V MultiplyAdd16(V a, V b) { return _mm256_madd_epi16(a, b); }
  static V Add32(V a, V b) { return _mm256_add_epi32(a, b); }
  static V ShiftRight32By12(V v) { return _mm256_srai_epi32(v, 12); }
};

}  // namespace

#include "kernels/simd/gray.inc"

KernelStatus ExpandBitsToBytes1u8u(const uint8_t* src, int32_t srcStep, int32_t srcBitOffset,
                                   uint8_t* dst, int32_t dstStep, ROI roi) {
  return ExpandRows(src, srcStep, srcBitOffset, dst, dstStep, roi, ExpandRowVector<GraySimd>());
}

}  // namespace klem::kernels::avx2
