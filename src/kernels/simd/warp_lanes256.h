// The warp's lane operations on 256-bit integer and float vectors: the eight
// 32-bit and float lanes of the AVX2 entry's eight-pixel spans and of the
// AVX-512 entry's eight-pixel half. Join, JoinF, Low and High put two 128-bit
// vectors in one and take them apart. Included only by those paths' files,
// compiled with their own flags.
#pragma once

#include <immintrin.h>

#include <cstdint>

namespace klem::kernels {
namespace {

struct WarpLanes256 {
  using I = __m256i;
  using F = __m256;

  static __m128i Low(I v) { return _mm256_castsi256_si128(v); }
  static __m128i High(I v) { return _mm256_extracti128_si256(v, 1); }
  static I Join(__m128i lo, __m128i hi) { return _mm256_set_m128i(hi, lo); }
  static F JoinF(__m128 lo, __m128 hi) { return _mm256_set_m128(hi, lo); }

  static I SetI(int32_t v) { return _mm256_set1_epi32(v); }
  static I MinI(I a, I b) { return _mm256_min_epi32(a, b); }
  static I SubI(I a, I b) { return _mm256_sub_epi32(a, b); }
  static I AddI(I a, I b) { return _mm256_add_epi32(a, b); }
  static I Or(I a, I b) { return _mm256_or_si256(a, b); }
  template <int kBits>
  static I ShiftLeft(I v) {
    return _mm256_slli_epi32(v, kBits);
  }
  static I ShiftRightLanes(I v, I bits) { return _mm256_srlv_epi32(v, bits); }

  static F SetF(float v) { return _mm256_set1_ps(v); }
  static F MinF(F a, F b) { return _mm256_min_ps(a, b); }
  static F MaxF(F a, F b) { return _mm256_max_ps(a, b); }
  static I ToIntF(F a) { return _mm256_cvttps_epi32(a); }
  // Byte kByte of each 32-bit lane, as a float.
  template <int kByte>
  static F ByteF(I v) {
    const __m256i pick = _mm256_setr_epi32(-256 | kByte, -256 | (kByte + 4), -256 | (kByte + 8), -256 | (kByte + 12),
                                           -256 | kByte, -256 | (kByte + 4), -256 | (kByte + 8), -256 | (kByte + 12));
    return _mm256_cvtepi32_ps(_mm256_shuffle_epi8(v, pick));
  }

  // The low byte of each lane, 8 bytes.
  static void StoreC1(uint8_t* out, I v) {
    const __m256i lows = _mm256_shuffle_epi8(v, _mm256_setr_epi32(0x0c080400, -1, -1, -1, 0x0c080400, -1, -1, -1));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out),
                     _mm256_castsi256_si128(_mm256_permutevar8x32_epi32(lows, _mm256_setr_epi32(0, 4, 1, 1, 1, 1, 1, 1))));
  }
  // The low three bytes of each lane, 24 bytes.
  static void StoreC3(uint8_t* out, I v) {
    const __m256i squeeze = _mm256_setr_epi32(0x04020100, 0x09080605, 0x0e0d0c0a, -1,
                                              0x04020100, 0x09080605, 0x0e0d0c0a, -1);
    const __m256i packed = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(v, squeeze),
                                                       _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 3, 7));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(packed));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 16), _mm256_extracti128_si256(packed, 1));
  }
};

}  // namespace
}  // namespace klem::kernels
