// The warp's lane operations on 128-bit integer and float vectors, shared by
// the SSE4.1 and AVX2 entries (both keep their 32-bit and float lanes in one
// 128-bit register). Included only by those paths' files, compiled with
// their own flags.
#pragma once

#include <smmintrin.h>

#include <cstdint>

namespace klem::kernels {
namespace {

struct WarpLanes128 {
  using I = __m128i;
  using F = __m128;

  static I SetI(int32_t v) { return _mm_set1_epi32(v); }
  static I MinI(I a, I b) { return _mm_min_epi32(a, b); }
  static I SubI(I a, I b) { return _mm_sub_epi32(a, b); }
  static I AddI(I a, I b) { return _mm_add_epi32(a, b); }
  static I Or(I a, I b) { return _mm_or_si128(a, b); }
  template <int kBits>
  static I ShiftLeft(I v) {
    return _mm_slli_epi32(v, kBits);
  }

  static F SetF(float v) { return _mm_set1_ps(v); }
  static F MinF(F a, F b) { return _mm_min_ps(a, b); }
  static F MaxF(F a, F b) { return _mm_max_ps(a, b); }
  static I ToIntF(F a) { return _mm_cvttps_epi32(a); }
  // Byte kByte of each 32-bit lane, as a float.
  template <int kByte>
  static F ByteF(I v) {
    return _mm_cvtepi32_ps(_mm_shuffle_epi8(
        v, _mm_setr_epi8(kByte, -1, -1, -1, kByte + 4, -1, -1, -1, kByte + 8, -1, -1, -1,
                         kByte + 12, -1, -1, -1)));
  }
};

}  // namespace
}  // namespace klem::kernels
