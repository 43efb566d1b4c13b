// SSSE3 gray and bit-expansion kernels: the shared vector bodies on 16-byte
// vectors of one lane, with the byte shuffle that SSSE3 brings. SSE4.1 adds
// nothing these loops use, so path 4 runs them too where no wide entry does.
#include "kernels/gray.h"

#include <tmmintrin.h>

#include <cstddef>

#include "kernels/gray_rules.h"
#include "kernels/ssse3/channel_lanes.h"

namespace klem::kernels::ssse3 {
namespace {

struct GraySimd : ChannelLanes16 {
  static V FromLane(__m128i v) { return v; }
  static V Set32(int32_t w) { return _mm_set1_epi32(w); }
  static V MultiplyAdd16(V a, V b) { return _mm_madd_epi16(a, b); }
  static V Add32(V a, V b) { return _mm_add_epi32(a, b); }
  static V ShiftRight32By12(V v) { return _mm_srai_epi32(v, 12); }
};

}  // namespace

#include "kernels/simd/gray.inc"

KernelStatus ExpandBitsToBytes1u8u(const uint8_t* src, int32_t srcStep, int32_t srcBitOffset,
                                   uint8_t* dst, int32_t dstStep, ROI roi) {
  return ExpandRows(src, srcStep, srcBitOffset, dst, dstStep, roi, ExpandRowVector<GraySimd>());
}

}  // namespace klem::kernels::ssse3
