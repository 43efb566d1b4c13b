// AVX-512 warp spans: eight doubles (and floats) a vector, the taps fetched by
// 32-bit gathers with 64-bit offsets (rows may lie more than 2^31 bytes
// apart), the selects done by lane masks.
#include <immintrin.h>

#include <type_traits>

#include "kernels/warp_core.h"
#include "kernels/warp_rules.h"

// GCC 12 takes the undefined pass-through operand inside its own masked
// min and max for an uninitialised variable.
#pragma GCC diagnostic ignored "-Wuninitialized"

namespace klem::kernels::avx512 {
namespace {

struct WarpLanes {
  static constexpr int32_t kLanes = 8;
  using D = __m512d;
  using I = __m256i;
  using Q = __m512i;
  using F = __m256;
  using M = __mmask8;

  static D Set(double v) { return _mm512_set1_pd(v); }
  static D Ramp(int32_t x) {
    return _mm512_cvtepi32_pd(
        _mm256_add_epi32(_mm256_set1_epi32(x), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7)));
  }
  static D Min(D a, D b) { return _mm512_min_pd(a, b); }
  static D Max(D a, D b) { return _mm512_max_pd(a, b); }
  static D Trunc(D a) { return _mm512_roundscale_pd(a, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC); }
  static M Less(D a, D b) { return _mm512_cmp_pd_mask(a, b, _CMP_LT_OQ); }
  static M AtLeast(D a, D b) { return _mm512_cmp_pd_mask(a, b, _CMP_GE_OQ); }
  static D Select(M m, D a, D b) { return _mm512_mask_blend_pd(m, b, a); }
  static I ToInt(D a) { return _mm512_cvttpd_epi32(a); }
  static F ToF(D a) { return _mm512_cvtpd_ps(a); }

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

  static Q RowOffsets(I rows, std::ptrdiff_t step) {
    return _mm512_mul_epi32(_mm512_cvtepi32_epi64(rows), _mm512_set1_epi64(step));
  }
  static Q AddQ(Q a, std::ptrdiff_t b) { return _mm512_add_epi64(a, _mm512_set1_epi64(b)); }
  static I Gather(const uint8_t* base, Q rows, I column) {
    return _mm512_i64gather_epi32(_mm512_add_epi64(rows, _mm512_cvtepi32_epi64(column)), base, 1);
  }
  static Q Gather64(const uint8_t* base, Q rows, I column) {
    return _mm512_i64gather_epi64(_mm512_add_epi64(rows, _mm512_cvtepi32_epi64(column)), base, 1);
  }
  static Q Widen(I v) { return _mm512_cvtepi32_epi64(v); }
  static Q ShiftRightLanes64(Q v, Q bits) { return _mm512_srlv_epi64(v, bits); }
  template <int kBits>
  static Q ShiftRight64(Q v) {
    return _mm512_srli_epi64(v, kBits);
  }
  static I Low32(Q v) { return _mm512_cvtepi64_epi32(v); }
  static F SetF(float v) { return _mm256_set1_ps(v); }
  static F MinF(F a, F b) { return _mm256_min_ps(a, b); }
  static F MaxF(F a, F b) { return _mm256_max_ps(a, b); }
  static I ToIntF(F a) { return _mm256_cvttps_epi32(a); }
  // Byte kByte of each 32-bit lane, as a float.
  template <int kByte>
  static F ByteF(I v) {
    return _mm256_cvtepi32_ps(_mm256_shuffle_epi8(v, _mm256_setr_epi8(kByte, -1, -1, -1, kByte + 4, -1, -1, -1, kByte + 8, -1, -1, -1, kByte + 12, -1, -1, -1,
        kByte, -1, -1, -1, kByte + 4, -1, -1, -1, kByte + 8, -1, -1, -1, kByte + 12, -1, -1, -1)));
  }

  static void StoreC1(uint8_t* out, I v) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm256_cvtepi32_epi8(v));
  }
  static void StoreC3(uint8_t* out, I v) {
    const __m256i squeeze = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1,
                                             0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    const __m256i packed = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(v, squeeze),
                                                       _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 3, 7));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(packed));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 16), _mm256_extracti128_si256(packed, 1));
  }
};

}  // namespace

#include "kernels/simd/warp.inc"

}  // namespace klem::kernels::avx512
