// AVX-512 resize passes: the shared vector passes on 64-byte vectors, the
// source samples of the horizontal passes taken by word permutes from one
// 65-byte window of the row where a block's samples fit it (gathers measured
// four to five times slower), by gathers of 32-bit words elsewhere. Packs work within 128-bit
// lanes; the consecutive narrowing puts the quarters back in memory order.
// The linear passes find their windows in a table made once per call and
// work in 16-bit lanes with an exact rewriting of the rule (WindowedSamples);
// their blocks cover every sample, so they have no scalar tails.
#include "kernels/resize.h"

#include <immintrin.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>

#include "kernels/avx512/width.h"
#include "kernels/resize_rules.h"

namespace klem::kernels::avx512 {
namespace {

// The windows of the linear passes: consecutive blocks of up to 32 samples,
// each with the 65 bytes of the row that hold both bytes of all its samples.
// A word permute over the window read at an even and at an odd byte takes,
// per 16-bit lane, the word at a sample's first byte (low: a in its low byte)
// and the word ending with its second (high: b in its high byte).
struct LinearWindow {
  uint16_t low[32];
  uint16_t high[32];
  int16_t weight[32];  // w, the second byte's
  int64_t start;       // first sample
  int64_t count;       // 1 .. 32
  int64_t window;      // first byte
  // One channel, sample i at bytes 2i and 2i + 1 of the window (shrinking by
  // exactly 2): the words are the window's own, without a permute.
  bool paired;
};

constexpr int32_t kWindowSamples = 32;

// The word of the even / odd pair of window vectors that starts at byte p.
uint16_t WindowWord(std::ptrdiff_t p) { return static_cast<uint16_t>(p / 2 + (p % 2) * 32); }

// Each block extends while its bytes fit its window; the last windows end
// with the row. Blocks shorter than 16 samples on average (shrinking by more
// than about 4) leave the passes to the gathers, which do as well there.
std::ptrdiff_t LinearWindows(const LinearColumns& c, int32_t channels, LinearWindow* out) {
  if (c.rowBytes < 65 || c.samples < kWindowSamples) return 0;
  const std::ptrdiff_t lastWindow = c.rowBytes - 65;
  std::ptrdiff_t blocks = 0;
  for (std::ptrdiff_t k = 0; k < c.samples; ++blocks) {
    // Offsets of interleaved channels can fall back within a block: the
    // window starts at the lowest. A single sample always fits (its second
    // byte is inside the row).
    std::ptrdiff_t low = c.offsets[k], high = low, n = 0;
    for (; n < kWindowSamples && k + n < c.samples; ++n) {
      const std::ptrdiff_t o = c.offsets[k + n];
      if (std::max(high, o) + channels - 1 - std::min({low, o, lastWindow}) > 63) break;
      low = std::min(low, o), high = std::max(high, o);
    }
    if (out != nullptr) {
      LinearWindow& w = *new (out + blocks) LinearWindow{};
      w.start = k, w.count = n, w.window = std::min(low, lastWindow), w.paired = channels == 1;
      for (std::ptrdiff_t i = 0; i < n; ++i) {
        const std::ptrdiff_t relative = c.offsets[k + i] - w.window;
        w.paired = w.paired && relative == 2 * i;
        w.low[i] = WindowWord(relative);
        w.high[i] = WindowWord(relative + channels - 1);
        w.weight[i] = static_cast<int16_t>(c.weights[k + i] >> 16);
      }
    }
    k += n;
  }
  return c.samples < 16 * blocks ? 0 : blocks * static_cast<std::ptrdiff_t>(sizeof(LinearWindow));
}

// The words of a block's samples: a in the low byte of `first`, b in the
// high byte of `second`.
template <int32_t kChannels>
__m512i Words(const uint8_t* row, const LinearWindow& w, __m512i& second) {
  const __m512i even = _mm512_loadu_si512(row + w.window);
  if (kChannels == 1 && w.paired) return second = even;
  const __m512i odd = _mm512_loadu_si512(row + w.window + 1);
  const __m512i first = _mm512_permutex2var_epi16(even, _mm512_loadu_si512(w.low), odd);
  second = kChannels == 1 ? first : _mm512_permutex2var_epi16(even, _mm512_loadu_si512(w.high), odd);
  return first;
}

// The row pass of one block in 16-bit lanes: with d = b - a,
// (a (16384 - w) + b w + 128) >> 8 = 64 a + ((d w + 128) >> 8), as 16384 a
// has no bits below the eighth, and pmulhrsw of d * 128 and w is
// (d w * 128 + 2^14) >> 15, the same number.
template <int32_t kChannels>
__m512i WindowedSamples(const uint8_t* row, const LinearWindow& w) {
  __m512i second;
  const __m512i first = Words<kChannels>(row, w, second);
  const __m512i a = _mm512_and_si512(first, _mm512_set1_epi16(0xFF));
  const __m512i d = _mm512_sub_epi16(_mm512_srli_epi16(second, 8), a);
  return _mm512_add_epi16(_mm512_slli_epi16(a, 6),
                          _mm512_mulhrs_epi16(_mm512_slli_epi16(d, 7), _mm512_loadu_si512(w.weight)));
}

// Blocks store whole vectors where the row has room: a block's lanes past its
// samples are rewritten by the blocks after it. The last ones store their samples only.
__mmask32 BlockMask(const LinearWindow& w) { return static_cast<__mmask32>((uint64_t{1} << w.count) - 1); }

template <int32_t kChannels>
void WindowedRow(const uint8_t* src, const LinearColumns& c, int16_t* out) {
  const std::ptrdiff_t samples = c.samples;  // the stores could alias c for all the compiler knows
  for (auto* w = static_cast<const LinearWindow*>(c.windows);; ++w) {
    const __m512i h = WindowedSamples<kChannels>(src, *w);
    if (w->start + kWindowSamples <= samples) {
      _mm512_storeu_si512(out + w->start, h);
    } else {
      _mm512_mask_storeu_epi16(out + w->start, BlockMask(*w), h);
    }
    if (w->start + w->count == samples) return;
  }
}

// The column pass on the two rows' results as they come: pmaddwd of the
// interleaved pair and (16384 - v, v), the rule's rounding and shift; the
// pack undoes the interleaving's order.
template <int32_t kChannels>
void WindowedPair(const uint8_t* row0, const uint8_t* row1, const LinearColumns& c, int32_t v, uint8_t* dst) {
  const __m512i weights = _mm512_set1_epi32(static_cast<int32_t>((kLinearOne - v) | (v << 16)));
  const __m512i round = _mm512_set1_epi32(524288);
  const std::ptrdiff_t samples = c.samples;  // the stores could alias c for all the compiler knows
  for (auto* w = static_cast<const LinearWindow*>(c.windows);; ++w) {
    const __m512i h0 = WindowedSamples<kChannels>(row0, *w);
    const __m512i h1 = WindowedSamples<kChannels>(row1, *w);
    const __m512i low = _mm512_madd_epi16(_mm512_unpacklo_epi16(h0, h1), weights);
    const __m512i high = _mm512_madd_epi16(_mm512_unpackhi_epi16(h0, h1), weights);
    const __m512i words = _mm512_packs_epi32(_mm512_srai_epi32(_mm512_add_epi32(low, round), 20),
                                             _mm512_srai_epi32(_mm512_add_epi32(high, round), 20));
    const __m256i bytes = _mm512_cvtepi16_epi8(words);
    if (w->start + kWindowSamples <= samples) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + w->start), bytes);
    } else {
      _mm256_mask_storeu_epi8(dst + w->start, BlockMask(*w), bytes);
    }
    if (w->start + w->count == samples) return;
  }
}

struct ResizeSimd : Simd {
  static void WindowedLinearRow(const uint8_t* src, const LinearColumns& c, int32_t channels, int16_t* out) {
    channels == 1 ? WindowedRow<1>(src, c, out) : WindowedRow<3>(src, c, out);
  }
  static void WindowedLinearPair(const uint8_t* row0, const uint8_t* row1, const LinearColumns& c,
                                 int32_t channels, int32_t v, uint8_t* dst) {
    channels == 1 ? WindowedPair<1>(row0, row1, c, v, dst) : WindowedPair<3>(row0, row1, c, v, dst);
  }
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

std::ptrdiff_t ResizeLinearWindows(const LinearColumns& columns, int32_t channels, void* windows) {
  return LinearWindows(columns, channels, static_cast<LinearWindow*>(windows));
}

}  // namespace klem::kernels::avx512
