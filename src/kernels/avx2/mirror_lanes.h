// The 32-byte lane traits of the mirror bodies (simd/mirror.inc), for the
// AVX2 entry and as a narrower width of the AVX-512 one. Byte shuffles work
// within each 16-byte lane; whole lanes move by a lane permutation. Only
// files compiled with -mavx2 or more include this.
#pragma once

#include <immintrin.h>

#include <cstdint>

#include "kernels/avx2/width.h"

namespace klem::kernels::avx2 {
namespace {

struct MirrorLanes32 : Simd {
  static constexpr int32_t kLanes = 2;
  static V Shuffle8(V v, V control) { return _mm256_shuffle_epi8(v, control); }
  static V Reverse(V v) {
    const V inLanes = _mm256_shuffle_epi8(
        v, _mm256_broadcastsi128_si256(
               _mm_setr_epi8(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0)));
    return _mm256_permute4x64_epi64(inLanes, 0x4E);  // the two lanes exchanged
  }
  template <uint32_t kSelector>
  static V Lanes(V a, V b) {
    return _mm256_permute2x128_si256(a, b, (kSelector & 3) | ((kSelector >> 4 & 3) << 4));
  }
};

}  // namespace
}  // namespace klem::kernels::avx2
