// The 16-byte lane traits of the mirror bodies (simd/mirror.inc): the SSSE3
// width, and the narrowest width of the wider entries. Only files compiled
// with -mssse3 or more include this.
#pragma once

#include <tmmintrin.h>

#include <cstdint>

#include "kernels/sse2/width.h"

namespace klem::kernels::ssse3 {
namespace {

struct MirrorLanes16 : sse2::Simd {
  static constexpr int32_t kLanes = 1;
  static V Shuffle8(V v, V control) { return _mm_shuffle_epi8(v, control); }
  static V Reverse(V v) {
    return _mm_shuffle_epi8(v, _mm_setr_epi8(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0));
  }
  template <uint32_t kSelector>
  static V Lanes(V a, V b) {
    return kSelector == 0 ? a : b;
  }
};

}  // namespace
}  // namespace klem::kernels::ssse3
