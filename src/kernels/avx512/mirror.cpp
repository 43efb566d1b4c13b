// AVX-512 mirror kernel of three-byte pixels (BW and VL, no byte permutation
// across lanes): the shared vector bodies on 64-byte vectors, then on 32- and
// 16-byte ones for the middle of a row. Bytes are shuffled within each 16-byte lane and whole
// lanes moved by a two-source permutation of 64-bit elements.
#include "kernels/mirror.h"

#include <immintrin.h>

#include <algorithm>
#include <cstddef>

#include "kernels/avx2/mirror_lanes.h"
#include "kernels/avx512/width.h"
#include "kernels/mirror_rules.h"
#include "kernels/ssse3/mirror_lanes.h"

namespace klem::kernels::avx512 {
namespace {

struct MirrorLanes64 : Simd {
  static constexpr int32_t kLanes = 4;
  static V Shuffle8(V v, V control) { return _mm512_shuffle_epi8(v, control); }
  static V Reverse(V v) {
    const V inLanes = _mm512_shuffle_epi8(
        v, _mm512_broadcast_i32x4(
               _mm_setr_epi8(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0)));
    return _mm512_shuffle_i64x2(inLanes, inLanes, 0x1B);  // lanes 3, 2, 1, 0
  }
  template <uint32_t kSelector>
  static V Lanes(V a, V b) {
    constexpr auto q = [](int32_t l) { return static_cast<int64_t>(2 * (kSelector >> (4 * l) & 15)); };
    return _mm512_permutex2var_epi64(
        a, _mm512_setr_epi64(q(0), q(0) + 1, q(1), q(1) + 1, q(2), q(2) + 1, q(3), q(3) + 1), b);
  }
};

}  // namespace

#include "kernels/simd/mirror.inc"

namespace {
using MirrorRows = VectorMirror<MirrorLanes64, avx2::MirrorLanes32, ssse3::MirrorLanes16>;
}  // namespace

// Three-byte pixels only: with one-byte pixels path 4 keeps the AVX2 kernel
// (see the dispatch tables in mirror.cpp).
KernelStatus MirrorInPlace8uC3(uint8_t* srcDst, int32_t step, ROI roi, int32_t axis) {
  return MirrorImage<3>(srcDst, step, roi, axis, MirrorRows::SwapRows, MirrorRows::ReverseRow<3>);
}

}  // namespace klem::kernels::avx512
