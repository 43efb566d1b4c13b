// AVX2 warp spans, the taps fetched by 32-bit gathers with 64-bit offsets
// (rows may lie more than 2^31 bytes apart), the selects done by blends on
// comparison masks. Two widths, each method on the one that measured faster:
// eight pixels a step (positions on two vectors of four doubles, blends on
// one vector of eight floats: half the blend and store work) for nearest and
// linear sampling, and four pixels a step for cubic, whose weights and rows
// do not fit the sixteen registers at eight (8-bit cubic ran a quarter
// slower there).
#include <immintrin.h>

#include <cstdint>
#include <cstring>

#include "kernels/simd/lane_pair.h"
#include "kernels/simd/warp_lanes128.h"
#include "kernels/warp_core.h"
#include "kernels/warp_rules.h"

// The intrinsic vector types lose their may-alias attribute as template
// arguments of LanePair; its halves are only ever read as what they are.
#pragma GCC diagnostic ignored "-Wignored-attributes"

namespace klem::kernels::avx2 {
namespace lanes4 {
namespace {

struct WarpLanes : WarpLanes128 {
  static constexpr int32_t kLanes = 4;
  using D = __m256d;
  using Q = __m256i;
  using M = __m256d;

  static D Set(double v) { return _mm256_set1_pd(v); }
  static D Ramp(int32_t x) {
    return _mm256_cvtepi32_pd(_mm_add_epi32(_mm_set1_epi32(x), _mm_setr_epi32(0, 1, 2, 3)));
  }
  static D Min(D a, D b) { return _mm256_min_pd(a, b); }
  static D Max(D a, D b) { return _mm256_max_pd(a, b); }
  static D Trunc(D a) { return _mm256_round_pd(a, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC); }
  static M Less(D a, D b) { return _mm256_cmp_pd(a, b, _CMP_LT_OQ); }
  static M AtLeast(D a, D b) { return _mm256_cmp_pd(a, b, _CMP_GE_OQ); }
  static D Select(M m, D a, D b) { return _mm256_blendv_pd(b, a, m); }
  static I ToInt(D a) { return _mm256_cvttpd_epi32(a); }
  static F ToF(D a) { return _mm256_cvtpd_ps(a); }

  static I ShiftRightLanes(I v, I bits) { return _mm_srlv_epi32(v, bits); }

  static Q RowOffsets(I rows, std::ptrdiff_t step) {
    return _mm256_mul_epi32(_mm256_cvtepi32_epi64(rows), _mm256_set1_epi64x(step));
  }
  static Q AddQ(Q a, std::ptrdiff_t b) { return _mm256_add_epi64(a, _mm256_set1_epi64x(b)); }
  static I Gather(const uint8_t* base, Q rows, I column) {
    return _mm256_i64gather_epi32(reinterpret_cast<const int*>(base),
                                  _mm256_add_epi64(rows, _mm256_cvtepi32_epi64(column)), 1);
  }
  static Q Gather64(const uint8_t* base, Q rows, I column) {
    return _mm256_i64gather_epi64(reinterpret_cast<const long long*>(base),
                                  _mm256_add_epi64(rows, _mm256_cvtepi32_epi64(column)), 1);
  }
  static Q Widen(I v) { return _mm256_cvtepi32_epi64(v); }
  static Q ShiftRightLanes64(Q v, Q bits) { return _mm256_srlv_epi64(v, bits); }
  template <int kBits>
  static Q ShiftRight64(Q v) {
    return _mm256_srli_epi64(v, kBits);
  }
  static I Low32(Q v) {
    return _mm256_castsi256_si128(_mm256_permutevar8x32_epi32(v, _mm256_setr_epi32(0, 2, 4, 6, 0, 2, 4, 6)));
  }
  static void StoreC1(uint8_t* out, I v) {
    const int32_t bytes = _mm_cvtsi128_si32(
        _mm_shuffle_epi8(v, _mm_setr_epi8(0, 4, 8, 12, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1)));
    std::memcpy(out, &bytes, 4);
  }
  static void StoreC3(uint8_t* out, I v) {
    const __m128i packed =
        _mm_shuffle_epi8(v, _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), packed);
    const int32_t last = _mm_extract_epi32(packed, 2);
    std::memcpy(out + 8, &last, 4);
  }
};

}  // namespace

#include "kernels/simd/warp.inc"

}  // namespace lanes4

namespace lanes8 {
namespace {

struct WarpLanes {
  static constexpr int32_t kLanes = 8;
  using D = LanePair<__m256d>;
  using I = __m256i;
  using Q = LanePair<__m256i>;
  using F = __m256;
  using M = LanePair<__m256d>;

  static __m128i Low(I v) { return _mm256_castsi256_si128(v); }
  static __m128i High(I v) { return _mm256_extracti128_si256(v, 1); }
  static I Join(__m128i lo, __m128i hi) { return _mm256_set_m128i(hi, lo); }

  static D Set(double v) { return {_mm256_set1_pd(v), _mm256_set1_pd(v)}; }
  static D Ramp(int32_t x) {
    const __m128i first = _mm_add_epi32(_mm_set1_epi32(x), _mm_setr_epi32(0, 1, 2, 3));
    return {_mm256_cvtepi32_pd(first), _mm256_cvtepi32_pd(_mm_add_epi32(first, _mm_set1_epi32(4)))};
  }
  static D Min(D a, D b) { return {_mm256_min_pd(a.lo, b.lo), _mm256_min_pd(a.hi, b.hi)}; }
  static D Max(D a, D b) { return {_mm256_max_pd(a.lo, b.lo), _mm256_max_pd(a.hi, b.hi)}; }
  static D Trunc(D a) {
    return {_mm256_round_pd(a.lo, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC),
            _mm256_round_pd(a.hi, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC)};
  }
  static M Less(D a, D b) { return {_mm256_cmp_pd(a.lo, b.lo, _CMP_LT_OQ), _mm256_cmp_pd(a.hi, b.hi, _CMP_LT_OQ)}; }
  static M AtLeast(D a, D b) {
    return {_mm256_cmp_pd(a.lo, b.lo, _CMP_GE_OQ), _mm256_cmp_pd(a.hi, b.hi, _CMP_GE_OQ)};
  }
  static D Select(M m, D a, D b) { return {_mm256_blendv_pd(b.lo, a.lo, m.lo), _mm256_blendv_pd(b.hi, a.hi, m.hi)}; }
  static I ToInt(D a) { return Join(_mm256_cvttpd_epi32(a.lo), _mm256_cvttpd_epi32(a.hi)); }
  static F ToF(D a) { return _mm256_set_m128(_mm256_cvtpd_ps(a.hi), _mm256_cvtpd_ps(a.lo)); }

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
    const __m256i s = _mm256_set1_epi64x(step);
    return {_mm256_mul_epi32(_mm256_cvtepi32_epi64(Low(rows)), s),
            _mm256_mul_epi32(_mm256_cvtepi32_epi64(High(rows)), s)};
  }
  static Q AddQ(Q a, std::ptrdiff_t b) {
    const __m256i s = _mm256_set1_epi64x(b);
    return {_mm256_add_epi64(a.lo, s), _mm256_add_epi64(a.hi, s)};
  }
  static Q Widen(I v) { return {_mm256_cvtepi32_epi64(Low(v)), _mm256_cvtepi32_epi64(High(v))}; }
  static Q Offsets(Q rows, I column) {
    const Q c = Widen(column);
    return {_mm256_add_epi64(rows.lo, c.lo), _mm256_add_epi64(rows.hi, c.hi)};
  }
  static I Gather(const uint8_t* base, Q rows, I column) {
    const Q at = Offsets(rows, column);
    const int* b = reinterpret_cast<const int*>(base);
    return Join(_mm256_i64gather_epi32(b, at.lo, 1), _mm256_i64gather_epi32(b, at.hi, 1));
  }
  static Q Gather64(const uint8_t* base, Q rows, I column) {
    const Q at = Offsets(rows, column);
    const long long* b = reinterpret_cast<const long long*>(base);
    return {_mm256_i64gather_epi64(b, at.lo, 1), _mm256_i64gather_epi64(b, at.hi, 1)};
  }
  static Q ShiftRightLanes64(Q v, Q bits) {
    return {_mm256_srlv_epi64(v.lo, bits.lo), _mm256_srlv_epi64(v.hi, bits.hi)};
  }
  template <int kBits>
  static Q ShiftRight64(Q v) {
    return {_mm256_srli_epi64(v.lo, kBits), _mm256_srli_epi64(v.hi, kBits)};
  }
  static I Low32(Q v) {
    const __m256i evens = _mm256_setr_epi32(0, 2, 4, 6, 0, 2, 4, 6);
    return Join(_mm256_castsi256_si128(_mm256_permutevar8x32_epi32(v.lo, evens)),
                _mm256_castsi256_si128(_mm256_permutevar8x32_epi32(v.hi, evens)));
  }

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

#include "kernels/simd/warp.inc"

}  // namespace lanes8

// The entries of the dispatch tables.
#define KLEM_WARP_ENTRY(name, lanes)                                                        \
  void name(const WarpSource& s, const WarpInverse& inverse, int32_t y, int32_t xBegin,     \
            int32_t xEnd, uint8_t* dstRow) {                                                \
    lanes::name(s, inverse, y, xBegin, xEnd, dstRow);                                       \
  }
KLEM_WARP_ENTRY(WarpNearest8uC1, lanes8)
KLEM_WARP_ENTRY(WarpNearest8uC3, lanes8)
KLEM_WARP_ENTRY(WarpLinear8uC1, lanes8)
KLEM_WARP_ENTRY(WarpLinear8uC3, lanes8)
KLEM_WARP_ENTRY(WarpCubic8uC1, lanes4)
KLEM_WARP_ENTRY(WarpCubic8uC3, lanes4)
#undef KLEM_WARP_ENTRY

}  // namespace klem::kernels::avx2
