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
#include "kernels/simd/warp_lanes256.h"
#include "kernels/warp_core.h"
#include "kernels/warp_rules.h"

namespace klem::kernels::avx2 {
namespace {

struct FourLanes : WarpLanes128 {
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

#define KLEM_WARP_ENTRIES_BY_METHOD
namespace lanes4 {
namespace {
using WarpLanes = FourLanes;
}  // namespace
#include "kernels/simd/warp.inc"
}  // namespace lanes4

namespace lanes8 {
namespace {
using WarpLanes = PairedWarpLanes<FourLanes, WarpLanes256>;
}  // namespace
#include "kernels/simd/warp.inc"
}  // namespace lanes8

#undef KLEM_WARP_ENTRIES_BY_METHOD

// The entries of the dispatch tables.
#define KLEM_WARP_ENTRY(name, lanes, method, channels)                                      \
  void name(const WarpSource& s, const WarpInverse& inverse, int32_t y, int32_t xBegin,     \
            int32_t xEnd, uint8_t* dstRow) {                                                \
    lanes::Span<WarpMethod::method, channels>(s, inverse, y, xBegin, xEnd, dstRow);         \
  }
KLEM_WARP_ENTRY(WarpNearest8uC1, lanes8, kNearest, 1)
KLEM_WARP_ENTRY(WarpNearest8uC3, lanes8, kNearest, 3)
KLEM_WARP_ENTRY(WarpLinear8uC1, lanes8, kLinear, 1)
KLEM_WARP_ENTRY(WarpLinear8uC3, lanes8, kLinear, 3)
KLEM_WARP_ENTRY(WarpCubic8uC1, lanes4, kCubic, 1)
KLEM_WARP_ENTRY(WarpCubic8uC3, lanes4, kCubic, 3)
#undef KLEM_WARP_ENTRY

}  // namespace klem::kernels::avx2
