// AVX-512 convolution kernels: the shared vector body on 64-byte vectors of
// four 16-byte lanes (byte and word forms from the BW extension).
// Interleaving and packing stay within a lane, so each lane holds its own 16
// samples from load to store; the double rule converts each half's eight
// sums on its own and puts them back in the same half.
#include "kernels/convolve.h"

#include <immintrin.h>

#include "kernels/avx512/width.h"
#include "kernels/convolve_rules.h"

namespace klem::kernels::avx512 {
namespace {

struct ConvolveSimd : Simd {
  static constexpr bool kBytePairs = true;
  static V Interleave8Low(V a, V b) { return _mm512_unpacklo_epi8(a, b); }
  static V Interleave8High(V a, V b) { return _mm512_unpackhi_epi8(a, b); }
  static V MultiplyAdd16(V a, V b) { return _mm512_madd_epi16(a, b); }
  static V MultiplyAddBytes(V samples, V coefficients) { return _mm512_maddubs_epi16(samples, coefficients); }
  static V SignWidenLow16(V v) { return _mm512_unpacklo_epi16(v, _mm512_srai_epi16(v, 15)); }
  static V SignWidenHigh16(V v) { return _mm512_unpackhi_epi16(v, _mm512_srai_epi16(v, 15)); }
  static V Max16(V a, V b) { return _mm512_max_epi16(a, b); }
  static F ClampFloat(F f, F low, F high) { return _mm512_min_ps(_mm512_max_ps(f, low), high); }
  static V Set32(int32_t w) { return _mm512_set1_epi32(w); }
  static V Add32(V a, V b) { return _mm512_add_epi32(a, b); }
  static V ShiftRight32(V v, __m128i count) { return _mm512_sra_epi32(v, count); }
  // Sixteen sums times r, clamped to 0..255, rounded by the MXCSR mode, which
  // the caller holds at round-to-nearest-even.
  static V Reciprocal(V v, double r) {
    const __m512d factor = _mm512_set1_pd(r), low = _mm512_setzero_pd(), high = _mm512_set1_pd(255.0);
    const auto one = [&](__m256i eight) {
      return _mm512_cvtpd_epi32(
          _mm512_min_pd(_mm512_max_pd(_mm512_mul_pd(_mm512_cvtepi32_pd(eight), factor), low), high));
    };
    return _mm512_inserti64x4(_mm512_castsi256_si512(one(_mm512_castsi512_si256(v))),
                              one(_mm512_extracti64x4_epi64(v, 1)), 1);
  }
};

}  // namespace

#include "kernels/simd/convolve.inc"

KLEM_CONVOLVE_ENTRIES(ConvolveSimd)

}  // namespace klem::kernels::avx512
