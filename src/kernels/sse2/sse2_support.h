// Building blocks of the SSE2 kernels: unaligned loads and stores, the row
// loops (vector body, then the scalar rule for the tail, never touching a byte
// past the row), and the scale rounding of 16-bit exact results.
// Internal linkage throughout: only SSE2-flagged files include this.
#pragma once

#include <emmintrin.h>

#include <cstdint>
#include <type_traits>

namespace klem::kernels::sse2 {
namespace {

inline __m128i Load(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void Store(uint8_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

// Keeps the compiler from sinking a block's loads below its stores: a store
// followed by a load of the next bytes of the same row costs about a tenth of
// the speed of the memory-bound kernels.
inline void LoadsBeforeStores() { asm volatile("" ::: "memory"); }

// dst[x] = op(dst[x], src[x]) for one row of `samples` bytes.
template <typename VecOp, typename SampleOp>
inline void InPlaceRow(const uint8_t* src, uint8_t* dst, int32_t samples, VecOp vecOp,
                       SampleOp sampleOp) {
  int32_t x = 0;
  for (; x + 64 <= samples; x += 64) {
    const __m128i r0 = vecOp(Load(dst + x), Load(src + x));
    const __m128i r1 = vecOp(Load(dst + x + 16), Load(src + x + 16));
    const __m128i r2 = vecOp(Load(dst + x + 32), Load(src + x + 32));
    const __m128i r3 = vecOp(Load(dst + x + 48), Load(src + x + 48));
    LoadsBeforeStores();
    Store(dst + x, r0);
    Store(dst + x + 16, r1);
    Store(dst + x + 32, r2);
    Store(dst + x + 48, r3);
  }
  for (; x + 16 <= samples; x += 16) Store(dst + x, vecOp(Load(dst + x), Load(src + x)));
  for (; x < samples; ++x) dst[x] = sampleOp(dst[x], src[x]);
}

// dst[x] = op(a[x], b[x]) for one row.
template <typename VecOp, typename SampleOp>
inline void BinaryRow(const uint8_t* a, const uint8_t* b, uint8_t* dst, int32_t samples,
                      VecOp vecOp, SampleOp sampleOp) {
  int32_t x = 0;
  for (; x + 32 <= samples; x += 32) {
    const __m128i r0 = vecOp(Load(a + x), Load(b + x));
    const __m128i r1 = vecOp(Load(a + x + 16), Load(b + x + 16));
    LoadsBeforeStores();
    Store(dst + x, r0);
    Store(dst + x + 16, r1);
  }
  for (; x + 16 <= samples; x += 16) Store(dst + x, vecOp(Load(a + x), Load(b + x)));
  for (; x < samples; ++x) dst[x] = sampleOp(a[x], b[x]);
}

// dst[x] = op(src[x]) for one row.
template <typename VecOp, typename SampleOp>
inline void MapRow(const uint8_t* src, uint8_t* dst, int32_t samples, VecOp vecOp,
                   SampleOp sampleOp) {
  int32_t x = 0;
  for (; x + 32 <= samples; x += 32) {
    const __m128i r0 = vecOp(Load(src + x));
    const __m128i r1 = vecOp(Load(src + x + 16));
    LoadsBeforeStores();
    Store(dst + x, r0);
    Store(dst + x + 16, r1);
  }
  for (; x + 16 <= samples; x += 16) Store(dst + x, vecOp(Load(src + x)));
  for (; x < samples; ++x) dst[x] = sampleOp(src[x]);
}

// Constants repeat every `channels` bytes (1 or 3); three vectors hold 48 bytes
// of that pattern, so a row is walked in 48-byte blocks, then single vectors
// that continue the pattern, then the scalar tail.
struct ConstantPattern {
  ConstantPattern(const uint8_t* values, int32_t channels) : values(values), channels(channels) {
    alignas(16) uint8_t bytes[48];
    for (int32_t i = 0; i < 48; ++i) bytes[i] = values[i % channels];
    for (int32_t k = 0; k < 3; ++k) {
      vectors[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(bytes + 16 * k));
    }
  }
  const uint8_t* values;
  int32_t channels;
  __m128i vectors[3];
};

// row[x] = op(row[x]) for a row of samples of type T under a rule that
// repeats every 48 bytes: vecOp(v, k) does the k-th vector (0..2) of that
// period, sampleOp(value, x) the sample at x in the tail. vecOp comes by
// value: a local copy keeps its vectors in registers, where stores through
// the row could otherwise alias them and force a reload for every vector.
template <typename T, typename VecOp, typename SampleOp>
inline void PeriodicRow(T* row, int32_t samples, VecOp vecOp, SampleOp sampleOp) {
  constexpr int32_t kLanes = 16 / sizeof(T);
  uint8_t* bytes = reinterpret_cast<uint8_t*>(row);
  int32_t x = 0;
  for (; x + 3 * kLanes <= samples; x += 3 * kLanes) {
    uint8_t* block = bytes + x * sizeof(T);
    const __m128i r0 = vecOp(Load(block), 0);
    const __m128i r1 = vecOp(Load(block + 16), 1);
    const __m128i r2 = vecOp(Load(block + 32), 2);
    LoadsBeforeStores();
    Store(block, r0);
    Store(block + 16, r1);
    Store(block + 32, r2);
  }
  // At most two whole vectors remain; spelling them out keeps every k a
  // constant, so the pattern stays in registers.
  if (x + kLanes <= samples) {
    Store(bytes + x * sizeof(T), vecOp(Load(bytes + x * sizeof(T)), 0));
    x += kLanes;
    if (x + kLanes <= samples) {
      Store(bytes + x * sizeof(T), vecOp(Load(bytes + x * sizeof(T)), 1));
      x += kLanes;
    }
  }
  for (; x < samples; ++x) row[x] = sampleOp(row[x], x);
}

// row[x] = op(row[x], constant of x's channel): vecOp(d, c) on vectors,
// sampleOp(d, c) on the tail.
template <typename VecOp, typename SampleOp>
inline void ConstantRow(uint8_t* row, int32_t samples, const ConstantPattern& pattern,
                        VecOp vecOp, SampleOp sampleOp) {
  struct PatternOp {
    __m128i operator()(__m128i d, int32_t k) const { return op(d, vectors[k]); }
    __m128i vectors[3];
    VecOp op;
  };
  PeriodicRow(row, samples,
              PatternOp{{pattern.vectors[0], pattern.vectors[1], pattern.vectors[2]}, vecOp},
              [&](uint8_t d, int32_t x) { return sampleOp(d, pattern.values[x % pattern.channels]); });
}

// --- scale rounding of exact results held in 16-bit lanes -------------------
// Gives what ScaleAndSaturate8u gives, still in 16-bit lanes but at most
// 32767, so that _mm_packus_epi16 completes the saturation to 0..255.
enum class ScaleMode {
  kKeep,      // scale 0, results at most 32767: packing saturates
  kKeepWide,  // scale 0, results up to 65535
  kDown,      // scale > 0 and r + 2^(scale-1) fits 16 bits: (r + 2^(s-1) - 1 + odd) >> s
  kDownWide,  // scale > 0 otherwise: the same sum halved first through _mm_avg_epu16
  kUp,        // scale < 0: r * 2^-scale, with r clamped first so nothing wraps
};

struct ScaleParams {
  // maxResult: the largest exact result the operation produces (at most 65025).
  ScaleParams(int32_t scale, int32_t maxResult) {
    if (scale == 0) {
      mode = maxResult > 32767 ? ScaleMode::kKeepWide : ScaleMode::kKeep;
    } else if (scale > 0) {
      mode = maxResult + (1 << (scale - 1)) <= 65535 ? ScaleMode::kDown : ScaleMode::kDownWide;
      shift = _mm_cvtsi32_si128(scale);
      shiftLess1 = _mm_cvtsi32_si128(scale - 1);
      halfLess1 = _mm_set1_epi16(static_cast<int16_t>((1 << (scale - 1)) - 1));
    } else {
      // Past 8 doublings every non-zero byte result saturates already.
      const int32_t up = scale < -8 ? 8 : -scale;
      mode = ScaleMode::kUp;
      shift = _mm_cvtsi32_si128(up);
      upLimit = _mm_set1_epi16(static_cast<int16_t>(256 >> up));
    }
  }
  ScaleMode mode;
  __m128i shift = _mm_setzero_si128();
  __m128i shiftLess1 = _mm_setzero_si128();
  __m128i halfLess1 = _mm_setzero_si128();
  __m128i upLimit = _mm_setzero_si128();
};

// min(r, limit) for unsigned 16-bit lanes, with SSE2's saturating subtraction.
inline __m128i MinU16(__m128i r, __m128i limit) {
  return _mm_sub_epi16(r, _mm_subs_epu16(r, limit));
}

template <ScaleMode kMode>
inline __m128i ScaleU16(const ScaleParams& p, __m128i r) {
  const __m128i one = _mm_set1_epi16(1);
  if constexpr (kMode == ScaleMode::kKeep) {
    return r;
  } else if constexpr (kMode == ScaleMode::kKeepWide) {
    return MinU16(r, _mm_set1_epi16(255));
  } else if constexpr (kMode == ScaleMode::kDown) {
    const __m128i odd = _mm_and_si128(_mm_srl_epi16(r, p.shift), one);
    return _mm_srl_epi16(_mm_add_epi16(_mm_add_epi16(r, p.halfLess1), odd), p.shift);
  } else if constexpr (kMode == ScaleMode::kDownWide) {
    // floor((r + b) / 2) without overflow is avg(r, b) - ((r ^ b) & 1).
    const __m128i odd = _mm_and_si128(_mm_srl_epi16(r, p.shift), one);
    const __m128i b = _mm_add_epi16(p.halfLess1, odd);
    const __m128i half = _mm_sub_epi16(_mm_avg_epu16(r, b), _mm_and_si128(_mm_xor_si128(r, b), one));
    return _mm_srl_epi16(half, p.shiftLess1);
  } else {
    return _mm_sll_epi16(MinU16(r, p.upLimit), p.shift);
  }
}

// Runs body(std::integral_constant<ScaleMode, mode>) with the call's mode fixed
// at compile time, so the per-vector work carries no branch.
template <typename Body>
inline void WithScaleMode(ScaleMode mode, Body body) {
  switch (mode) {
    case ScaleMode::kKeep: body(std::integral_constant<ScaleMode, ScaleMode::kKeep>{}); break;
    case ScaleMode::kKeepWide: body(std::integral_constant<ScaleMode, ScaleMode::kKeepWide>{}); break;
    case ScaleMode::kDown: body(std::integral_constant<ScaleMode, ScaleMode::kDown>{}); break;
    case ScaleMode::kDownWide: body(std::integral_constant<ScaleMode, ScaleMode::kDownWide>{}); break;
    case ScaleMode::kUp: body(std::integral_constant<ScaleMode, ScaleMode::kUp>{}); break;
  }
}

inline __m128i WidenLo(__m128i v) { return _mm_unpacklo_epi8(v, _mm_setzero_si128()); }
inline __m128i WidenHi(__m128i v) { return _mm_unpackhi_epi8(v, _mm_setzero_si128()); }

}  // namespace
}  // namespace klem::kernels::sse2
