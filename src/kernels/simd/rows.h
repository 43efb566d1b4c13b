// Row loops and scale rounding shared by every vector width. S is a width's
// traits type (sse2::Simd, avx2::Simd, avx512::Simd): its vector type V,
// kBytes, and the operations the kernels need.
//
// Each loop runs the vector body, then the scalar rule of the generic path for
// the tail, so tails are exact by construction and never touch a byte past
// the row. Positions are counted in ptrdiff_t: rows joined into one can be
// close to 2^31 samples long, where a 32-bit "x + step <= n" would wrap.
// Internal linkage throughout: each width's files compile their own copy with
// their own flags.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "kernels/samples.h"

#include <emmintrin.h>

namespace klem::kernels {
namespace {

// Each vector is stored as soon as it is computed: on the processors measured
// here, grouping a block's loads before its stores made the in-place loops a
// third to two thirds slower.

// dst[x] = op(dst[x], src[x]) for one row of `samples` bytes.
template <typename S, typename VecOp, typename SampleOp>
inline void InPlaceRow(const uint8_t* src, uint8_t* dst, int32_t samples, VecOp vecOp,
                       SampleOp sampleOp) {
  constexpr std::ptrdiff_t kStep = S::kBytes;
  const std::ptrdiff_t n = samples;
  std::ptrdiff_t x = 0;
  for (; x + kStep <= n; x += kStep) S::Store(dst + x, vecOp(S::Load(dst + x), S::Load(src + x)));
  for (; x < n; ++x) dst[x] = sampleOp(dst[x], src[x]);
}

// dst[x] = op(a[x], b[x]) for one row.
template <typename S, typename VecOp, typename SampleOp>
inline void BinaryRow(const uint8_t* a, const uint8_t* b, uint8_t* dst, int32_t samples,
                      VecOp vecOp, SampleOp sampleOp) {
  constexpr std::ptrdiff_t kStep = S::kBytes;
  const std::ptrdiff_t n = samples;
  std::ptrdiff_t x = 0;
  for (; x + kStep <= n; x += kStep) S::Store(dst + x, vecOp(S::Load(a + x), S::Load(b + x)));
  for (; x < n; ++x) dst[x] = sampleOp(a[x], b[x]);
}

// dst[x] = op(src[x]) for one row.
template <typename S, typename VecOp, typename SampleOp>
inline void MapRow(const uint8_t* src, uint8_t* dst, int32_t samples, VecOp vecOp,
                   SampleOp sampleOp) {
  constexpr std::ptrdiff_t kStep = S::kBytes;
  const std::ptrdiff_t n = samples;
  std::ptrdiff_t x = 0;
  for (; x + kStep <= n; x += kStep) S::Store(dst + x, vecOp(S::Load(src + x)));
  for (; x < n; ++x) dst[x] = sampleOp(src[x]);
}

// Constants repeat every `channels` bytes (1 or 3); three vectors hold a whole
// number of periods, so a row is walked in blocks of three vectors, then
// single vectors that continue the pattern, then the scalar tail.
template <typename S>
struct ConstantPattern {
  ConstantPattern(const uint8_t* values, int32_t channels) : values(values), channels(channels) {
    uint8_t bytes[3 * S::kBytes];
    for (int32_t i = 0; i < 3 * S::kBytes; ++i) bytes[i] = values[i % channels];
    for (int32_t k = 0; k < 3; ++k) vectors[k] = S::Load(bytes + S::kBytes * k);
  }
  const uint8_t* values;
  int32_t channels;
  typename S::V vectors[3];
};

// row[x] = op(row[x]) for a row of samples of type T under a rule that
// repeats every three vectors: vecOp(v, k) does the k-th vector (0..2) of that
// period, sampleOp(value, x) the sample at x in the tail. vecOp comes by
// value: a local copy keeps its vectors in registers, where stores through
// the row could otherwise alias them and force a reload for every vector.
template <typename S, typename T, typename VecOp, typename SampleOp>
inline void PeriodicRow(T* row, int32_t samples, VecOp vecOp, SampleOp sampleOp) {
  constexpr std::ptrdiff_t kLanes = S::kBytes / sizeof(T);
  constexpr std::ptrdiff_t kStep = S::kBytes;
  uint8_t* bytes = reinterpret_cast<uint8_t*>(row);
  const std::ptrdiff_t n = samples;
  std::ptrdiff_t x = 0;
  for (; x + 3 * kLanes <= n; x += 3 * kLanes) {
    uint8_t* block = bytes + x * sizeof(T);
    S::Store(block, vecOp(S::Load(block), 0));
    S::Store(block + kStep, vecOp(S::Load(block + kStep), 1));
    S::Store(block + 2 * kStep, vecOp(S::Load(block + 2 * kStep), 2));
  }
  // At most two whole vectors remain; spelling them out keeps every k a
  // constant, so the pattern stays in registers.
  if (x + kLanes <= n) {
    S::Store(bytes + x * sizeof(T), vecOp(S::Load(bytes + x * sizeof(T)), 0));
    x += kLanes;
    if (x + kLanes <= n) {
      S::Store(bytes + x * sizeof(T), vecOp(S::Load(bytes + x * sizeof(T)), 1));
      x += kLanes;
    }
  }
  for (; x < n; ++x) StoreSample(row + x, sampleOp(LoadSample(row + x), x));
}

// row[x] = op(row[x], constant of x's channel): vecOp(d, c) on vectors,
// sampleOp(d, c) on the tail.
template <typename S, typename VecOp, typename SampleOp>
inline void ConstantRow(uint8_t* row, int32_t samples, const ConstantPattern<S>& pattern,
                        VecOp vecOp, SampleOp sampleOp) {
  using V = typename S::V;
  struct PatternOp {
    V operator()(V d, int32_t k) const { return op(d, vectors[k]); }
    V vectors[3];
    VecOp op;
  };
  PeriodicRow<S>(row, samples,
                 PatternOp{{pattern.vectors[0], pattern.vectors[1], pattern.vectors[2]}, vecOp},
                 [&](uint8_t d, std::ptrdiff_t x) {
                   return sampleOp(d, pattern.values[x % pattern.channels]);
                 });
}

// --- scale rounding of exact results held in 16-bit lanes -------------------
// Gives what ScaleAndSaturate8u gives, still in 16-bit lanes but at most
// 32767, so that narrowing with unsigned saturation completes it to 0..255.
enum class ScaleMode {
  kKeep,      // scale 0, results at most 32767: narrowing saturates
  kKeepWide,  // scale 0, results up to 65535
  kDown,      // scale > 0 and r + 2^(scale-1) fits 16 bits: (r + 2^(s-1) - 1 + odd) >> s
  kDownWide,  // scale > 0 otherwise: the same sum halved first through the average
  kUp,        // scale < 0: r * 2^-scale, with r clamped first so nothing wraps
};

template <typename S>
struct ScaleParams {
  using V = typename S::V;
  // maxResult: the largest exact result the operation produces (at most 65025).
  ScaleParams(int32_t scale, int32_t maxResult) {
    if (scale == 0) {
      mode = maxResult > 32767 ? ScaleMode::kKeepWide : ScaleMode::kKeep;
    } else if (scale > 0) {
      mode = maxResult + (1 << (scale - 1)) <= 65535 ? ScaleMode::kDown : ScaleMode::kDownWide;
      shift = _mm_cvtsi32_si128(scale);
      shiftLess1 = _mm_cvtsi32_si128(scale - 1);
      halfLess1 = S::Set16(static_cast<uint16_t>((1 << (scale - 1)) - 1));
    } else {
      // Past 8 doublings every non-zero byte result saturates already.
      const int32_t up = scale < -8 ? 8 : -scale;
      mode = ScaleMode::kUp;
      shift = _mm_cvtsi32_si128(up);
      upLimit = S::Set16(static_cast<uint16_t>(256 >> up));
    }
  }
  ScaleMode mode;
  __m128i shift = _mm_setzero_si128();  // shift counts live in the low lane on every width
  __m128i shiftLess1 = _mm_setzero_si128();
  V halfLess1 = S::Zero();
  V upLimit = S::Zero();
};

// min(r, limit) for unsigned 16-bit lanes, with a saturating subtraction.
template <typename S>
inline typename S::V MinU16(typename S::V r, typename S::V limit) {
  return S::Sub16(r, S::SubSaturate16(r, limit));
}

template <typename S, ScaleMode kMode>
inline typename S::V ScaleU16(const ScaleParams<S>& p, typename S::V r) {
  const auto one = S::Set16(1);
  if constexpr (kMode == ScaleMode::kKeep) {
    return r;
  } else if constexpr (kMode == ScaleMode::kKeepWide) {
    return MinU16<S>(r, S::Set16(255));
  } else if constexpr (kMode == ScaleMode::kDown) {
    const auto odd = S::And(S::ShiftRight16(r, p.shift), one);
    return S::ShiftRight16(S::Add16(S::Add16(r, p.halfLess1), odd), p.shift);
  } else if constexpr (kMode == ScaleMode::kDownWide) {
    // floor((r + b) / 2) without overflow is avg(r, b) - ((r ^ b) & 1).
    const auto odd = S::And(S::ShiftRight16(r, p.shift), one);
    const auto b = S::Add16(p.halfLess1, odd);
    const auto half = S::Sub16(S::Average16(r, b), S::And(S::Xor(r, b), one));
    return S::ShiftRight16(half, p.shiftLess1);
  } else {
    return S::ShiftLeft16(MinU16<S>(r, p.upLimit), p.shift);
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

}  // namespace
}  // namespace klem::kernels
