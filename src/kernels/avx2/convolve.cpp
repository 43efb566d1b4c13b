// AVX2 convolution kernels: the shared vector body on 32-byte vectors of two
// 16-byte lanes. Interleaving and packing stay within a lane, so each lane
// holds its own 16 samples from load to store; the double rule converts each
// lane's four sums on its own and puts them back in the same lane.
#include "kernels/convolve.h"

#include <immintrin.h>

#include "kernels/avx2/width.h"
#include "kernels/convolve_rules.h"

namespace klem::kernels::avx2 {
namespace {

struct ConvolveSimd : Simd {
  static constexpr bool kBytePairs = true;
  static V Interleave8Low(V a, V b) { return _mm256_unpacklo_epi8(a, b); }
  static V Interleave8High(V a, V b) { return _mm256_unpackhi_epi8(a, b); }
  static V MultiplyAdd16(V a, V b) { return _mm256_madd_epi16(a, b); }
  static V MultiplyAddBytes(V samples, V coefficients) { return _mm256_maddubs_epi16(samples, coefficients); }
  static V SignWidenLow16(V v) { return _mm256_unpacklo_epi16(v, _mm256_srai_epi16(v, 15)); }
  static V SignWidenHigh16(V v) { return _mm256_unpackhi_epi16(v, _mm256_srai_epi16(v, 15)); }
  static V Max16(V a, V b) { return _mm256_max_epi16(a, b); }
  static F ClampFloat(F f, F low, F high) { return _mm256_min_ps(_mm256_max_ps(f, low), high); }
  static V Set32(int32_t w) { return _mm256_set1_epi32(w); }
  static V Add32(V a, V b) { return _mm256_add_epi32(a, b); }
  static V ShiftRight32(V v, __m128i count) { return _mm256_sra_epi32(v, count); }
  // Eight sums times r, clamped to 0..255, rounded by the MXCSR mode, which
  // the caller holds at round-to-nearest-even.
  static V Reciprocal(V v, double r) {
    const __m256d factor = _mm256_set1_pd(r), low = _mm256_setzero_pd(), high = _mm256_set1_pd(255.0);
    const auto one = [&](__m128i four) {
      return _mm256_cvtpd_epi32(
          _mm256_min_pd(_mm256_max_pd(_mm256_mul_pd(_mm256_cvtepi32_pd(four), factor), low), high));
    };
    return _mm256_set_m128i(one(_mm256_extracti128_si256(v, 1)), one(_mm256_castsi256_si128(v)));
  }
};

}  // namespace

#include "kernels/simd/convolve.inc"

KLEM_CONVOLVE_ENTRIES(ConvolveSimd)

}  // namespace klem::kernels::avx2
