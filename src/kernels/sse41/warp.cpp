// SSE4.1 warp spans: two doubles (and floats) a vector. SSE has neither
// gathers nor per-lane shifts, so those two take the lanes one by one; the
// positions, taps and blends stay on vectors.
#include <smmintrin.h>

#include <cstring>
#include <type_traits>

#include "kernels/simd/warp_lanes128.h"
#include "kernels/warp_core.h"
#include "kernels/warp_rules.h"

namespace klem::kernels::sse41 {
namespace {

// The two 64-bit lanes as integers; 32-bit targets have no instruction that
// moves a 64-bit lane to a register, so they go through memory there.
#if defined(__x86_64__)
int64_t LowLane(__m128i v) { return _mm_cvtsi128_si64(v); }
int64_t HighLane(__m128i v) { return _mm_extract_epi64(v, 1); }
#else
int64_t LowLane(__m128i v) {
  int64_t lane;
  _mm_storel_epi64(reinterpret_cast<__m128i*>(&lane), v);
  return lane;
}
int64_t HighLane(__m128i v) { return LowLane(_mm_unpackhi_epi64(v, v)); }
#endif

struct WarpLanes : WarpLanes128 {
  static constexpr int32_t kLanes = 2;
  using D = __m128d;
  // I and F: the low two 32-bit lanes.
  using Q = __m128i;
  using M = __m128d;

  static D Set(double v) { return _mm_set1_pd(v); }
  static D Ramp(int32_t x) {
    return _mm_cvtepi32_pd(_mm_add_epi32(_mm_set1_epi32(x), _mm_setr_epi32(0, 1, 0, 0)));
  }
  static D Min(D a, D b) { return _mm_min_pd(a, b); }
  static D Max(D a, D b) { return _mm_max_pd(a, b); }
  static D Trunc(D a) { return _mm_round_pd(a, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC); }
  static M Less(D a, D b) { return _mm_cmplt_pd(a, b); }
  static M AtLeast(D a, D b) { return _mm_cmpge_pd(a, b); }
  static D Select(M m, D a, D b) { return _mm_blendv_pd(b, a, m); }
  static I ToInt(D a) { return _mm_cvttpd_epi32(a); }
  static F ToF(D a) { return _mm_cvtpd_ps(a); }

  static I ShiftRightLanes(I v, I bits) {
    const uint32_t a = static_cast<uint32_t>(_mm_cvtsi128_si32(v)) >> _mm_cvtsi128_si32(bits);
    const uint32_t b = static_cast<uint32_t>(_mm_extract_epi32(v, 1)) >> _mm_extract_epi32(bits, 1);
    return _mm_setr_epi32(static_cast<int32_t>(a), static_cast<int32_t>(b), 0, 0);
  }

  static Q RowOffsets(I rows, std::ptrdiff_t step) {
    return _mm_mul_epi32(_mm_cvtepi32_epi64(rows), _mm_set1_epi64x(step));
  }
  static Q AddQ(Q a, std::ptrdiff_t b) { return _mm_add_epi64(a, _mm_set1_epi64x(b)); }
  static I Gather(const uint8_t* base, Q rows, I column) {
    const __m128i at = _mm_add_epi64(rows, _mm_cvtepi32_epi64(column));
    int32_t a, b;
    std::memcpy(&a, base + LowLane(at), 4);
    std::memcpy(&b, base + HighLane(at), 4);
    return _mm_setr_epi32(a, b, 0, 0);
  }
  static Q Gather64(const uint8_t* base, Q rows, I column) {
    const __m128i at = _mm_add_epi64(rows, _mm_cvtepi32_epi64(column));
    int64_t a, b;
    std::memcpy(&a, base + LowLane(at), 8);
    std::memcpy(&b, base + HighLane(at), 8);
    return _mm_set_epi64x(b, a);
  }
  static Q Widen(I v) { return _mm_cvtepi32_epi64(v); }
  static Q ShiftRightLanes64(Q v, Q bits) {
    const uint64_t a = static_cast<uint64_t>(LowLane(v)) >> LowLane(bits);
    const uint64_t b = static_cast<uint64_t>(HighLane(v)) >> HighLane(bits);
    return _mm_set_epi64x(static_cast<int64_t>(b), static_cast<int64_t>(a));
  }
  template <int kBits>
  static Q ShiftRight64(Q v) {
    return _mm_srli_epi64(v, kBits);
  }
  static I Low32(Q v) { return _mm_shuffle_epi32(v, _MM_SHUFFLE(2, 0, 2, 0)); }
  static void StoreC1(uint8_t* out, I v) {
    const int32_t bytes = _mm_cvtsi128_si32(
        _mm_shuffle_epi8(v, _mm_setr_epi8(0, 4, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1)));
    std::memcpy(out, &bytes, 2);
  }
  static void StoreC3(uint8_t* out, I v) {
    const int64_t bytes = LowLane(
        _mm_shuffle_epi8(v, _mm_setr_epi8(0, 1, 2, 4, 5, 6, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1)));
    std::memcpy(out, &bytes, 6);
  }
};

}  // namespace

#include "kernels/simd/warp.inc"

}  // namespace klem::kernels::sse41
