// AVX-512 resize passes: the shared vector passes on 64-byte vectors, the
// source samples of the horizontal passes taken by word permutes from one
// 65-byte window of the row where a block's samples fit it (gathers measured
// four to five times slower), by gathers of 32-bit words elsewhere. Packs work within 128-bit
// lanes; the consecutive narrowing puts the quarters back in memory order.
#include "kernels/resize.h"

#include <immintrin.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "kernels/avx512/width.h"
#include "kernels/resize_rules.h"

namespace klem::kernels::avx512 {
namespace {

struct ResizeSimd : Simd {
  static constexpr std::ptrdiff_t kWords = 16;
  static V Gather32(const uint8_t* base, const int32_t* offsets, int32_t delta) {
    const V index = _mm512_add_epi32(Load(offsets), _mm512_set1_epi32(delta));
    return _mm512_i32gather_epi32(index, base, 1);
  }
  static V LoadWiden8(const uint8_t* p) {
    return _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)));
  }
  // The 64 bytes from the lowest lane's first byte as 16-bit words at even
  // (one vector) and odd (the other) byte positions; a two-source word
  // permute then takes, for each lane, the word that starts at its byte. The
  // offsets of interleaved channels fall back by up to channels - 1 (=
  // second - first - 1) within a block; the window allows for it.
  static bool WindowPairs(const uint8_t* src, const int32_t* offsets, int32_t first, int32_t second,
                          int32_t span, std::ptrdiff_t last, V& pairs) {
    const int32_t slack = second - first - 1;
    const int32_t low = std::max(0, offsets[0] - slack);
    const std::ptrdiff_t base = std::ptrdiff_t{low} + first;
    if (base < 0 || offsets[kWords - 1] + slack - low + std::max(span, second - first) > 63 || base + 64 > last) {
      return false;
    }
    const V relative = _mm512_sub_epi32(Load(offsets), _mm512_set1_epi32(low));
    const auto word = [&](int32_t delta) {
      const V p = _mm512_add_epi32(relative, _mm512_set1_epi32(delta));
      return _mm512_add_epi32(_mm512_srli_epi32(p, 1), _mm512_slli_epi32(_mm512_and_si512(p, _mm512_set1_epi32(1)), 5));
    };
    const V index = _mm512_or_si512(word(0), _mm512_slli_epi32(word(second - first), 16));
    const V even = _mm512_loadu_si512(src + base);
    const V odd = _mm512_loadu_si512(src + base + 1);
    pairs = _mm512_and_si512(_mm512_permutex2var_epi16(even, index, odd), _mm512_set1_epi16(0xFF));
    return true;
  }
  static void StoreLowBytes(uint8_t* p, V v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm512_cvtepi32_epi8(v)); }
  static V LoadWords(const uint32_t* p) { return Load(p); }
  static F LoadFloats(const float* p) { return _mm512_loadu_ps(p); }
  static void StoreFloats(float* p, F v) { _mm512_storeu_ps(p, v); }
  static V SetWord(int32_t w) { return _mm512_set1_epi32(w); }
  static V Add32(V a, V b) { return _mm512_add_epi32(a, b); }
  static V ShiftRightArith32(V v, int32_t n) { return _mm512_srai_epi32(v, static_cast<unsigned>(n)); }
  static V ShiftRight32(V v, int32_t n) { return _mm512_srli_epi32(v, static_cast<unsigned>(n)); }
  static V ShiftLeft32(V v, int32_t n) { return _mm512_slli_epi32(v, static_cast<unsigned>(n)); }
  static V MultiplyAdd16(V a, V b) { return _mm512_madd_epi16(a, b); }
  static V NarrowConsecutive32(V a, V b) {
    const V order = _mm512_setr_epi64(0, 2, 4, 6, 1, 3, 5, 7);
    return _mm512_permutexvar_epi64(order, _mm512_packs_epi32(a, b));
  }
  static V Interleave16Low(V a, V b) { return _mm512_unpacklo_epi16(a, b); }
  static V Interleave16High(V a, V b) { return _mm512_unpackhi_epi16(a, b); }
  static F Add(F a, F b) { return _mm512_add_ps(a, b); }
  static F Sub(F a, F b) { return _mm512_sub_ps(a, b); }
  static F Mul(F a, F b) { return _mm512_mul_ps(a, b); }
  static F Div(F a, F b) { return _mm512_div_ps(a, b); }
  static V Truncate(F f) { return _mm512_cvttps_epi32(f); }
};

}  // namespace

#include "kernels/simd/resize.inc"

}  // namespace klem::kernels::avx512
