// The per-sample rules of the resize passes, shared by the generic passes and
// the tails of the vector ones so that every path gives the same bits.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "kernels/resize.h"

namespace klem::kernels {
namespace {

// Linear weights have 14 fraction bits; the horizontal results keep 6 of them
// in 16 bits, the vertical pass drops all 20 with rounding.
inline constexpr int32_t kLinearOne = 16384;

inline int16_t LinearSample(int32_t a, int32_t b, uint32_t weights) {
  const int32_t wa = static_cast<int32_t>(weights & 0xFFFF);
  const int32_t wb = static_cast<int32_t>(weights >> 16);
  return static_cast<int16_t>((a * wa + b * wb + 128) >> 8);
}

inline uint8_t LinearResult(int32_t h0, int32_t h1, int32_t v) {
  return static_cast<uint8_t>((h0 * (kLinearOne - v) + h1 * v + 524288) >> 20);
}

// The interpolating cubic through a (at -1), b (at 0), c (at 1) and d (at 2),
// at t, evaluated left to right exactly as written; the vector passes follow
// the same order lane by lane (x / 2 and x * 0.5 are the same number).
inline float CubicValue(float a, float b, float c, float d, float t) {
  const float s = t + 1.0f;
  return a + (b - a) * s + (c - 2.0f * b + a) * s * t * 0.5f +
         (d - 3.0f * c + 3.0f * b - a) * s * t * (t - 1.0f) / 6.0f;
}

inline constexpr float kCubicRounding = 0.5000001f;

inline uint8_t CubicResult(float value) {
  const float rounded = value + kCubicRounding;
  // Overshoot stays within a few hundred of 0..255: the conversion cannot overflow.
  return static_cast<uint8_t>(std::clamp(static_cast<int32_t>(rounded), 0, 255));
}

// A whole block's sum scaled to a byte, in double precision: the sum is
// exact, and so is the one product and the one sum; the conversion truncates
// the non-negative value.
inline uint8_t AreaBlockResult(uint64_t total, double scale) {
  const int32_t value = static_cast<int32_t>(static_cast<double>(total) * scale + 0.5);
  return static_cast<uint8_t>(std::min(value, 255));
}

// Pixel q of the destination row sums nx pixels of each channel from sums;
// kChannels and kNx are 0 when known only at run time. Plain loops that each
// path compiles with its own vectors: integer sums and one double product a
// sample give the same bits whatever the compiler makes of them.
template <int32_t kChannels, int32_t kNx>
inline void AreaBlockTotals(const uint16_t* sums, const AreaBlocks& b, uint8_t* dst) {
  const int32_t c = kChannels ? kChannels : b.channels;
  const int32_t nx = kNx ? kNx : b.nx;
  for (std::ptrdiff_t q = 0; q < b.pixels; ++q) {
    for (int32_t ch = 0; ch < c; ++ch) {
      uint32_t total = 0;
      for (int32_t m = 0; m < nx; ++m) total += sums[(q * nx + m) * c + ch];
      dst[q * c + ch] = AreaBlockResult(total, b.scale);
    }
  }
}

inline void AreaBlockRowTotals(const uint16_t* sums, const AreaBlocks& b, uint8_t* dst) {
  if (b.nx == 2 && b.channels == 1) return AreaBlockTotals<1, 2>(sums, b, dst);
  if (b.nx == 2 && b.channels == 3) return AreaBlockTotals<3, 2>(sums, b, dst);
  if (b.channels == 1) return AreaBlockTotals<1, 0>(sums, b, dst);
  AreaBlockTotals<0, 0>(sums, b, dst);
}

inline void AreaBlockRowSamples(const uint8_t* src, int32_t srcStep, int32_t rows, const AreaBlocks& b,
                                uint16_t* sums, uint8_t* dst) {
  const std::ptrdiff_t used = b.pixels * b.nx * b.channels;
  for (std::ptrdiff_t i = 0; i < used; ++i) sums[i] = src[i];
  for (int32_t r = 1; r < rows; ++r) {
    const uint8_t* in = src + static_cast<std::ptrdiff_t>(r) * srcStep;
    for (std::ptrdiff_t i = 0; i < used; ++i) sums[i] = static_cast<uint16_t>(sums[i] + in[i]);
  }
  AreaBlockRowTotals(sums, b, dst);
}

// Plain loops each path compiles with its own vectors: one product and one
// sum a sample and row, in row order, give the same bits in every lane.
inline void AreaWeightedRowSamples(const uint8_t* src, int32_t srcStep, const float* weights, int32_t rows,
                                   float* sums, std::ptrdiff_t samples) {
  for (std::ptrdiff_t i = 0; i < samples; ++i) sums[i] = 0.0f;
  for (int32_t r = 0; r < rows; ++r) {
    const uint8_t* in = src + static_cast<std::ptrdiff_t>(r) * srcStep;
    const float w = weights[r];
    for (std::ptrdiff_t i = 0; i < samples; ++i) sums[i] += w * static_cast<float>(in[i]);
  }
}

// --- row rules from sample `from` on: the generic passes and the vector tails ---

inline void NearestRowSamples(const uint8_t* src, const int32_t* offsets, uint8_t* out, std::ptrdiff_t from,
                              std::ptrdiff_t samples) {
  for (std::ptrdiff_t k = from; k < samples; ++k) out[k] = src[offsets[k]];
}

inline void LinearRowSamples(const uint8_t* src, const LinearColumns& c, int32_t channels,
                             int16_t* out, std::ptrdiff_t from) {
  for (std::ptrdiff_t k = from; k < c.samples; ++k) {
    const uint8_t* a = src + c.offsets[k];
    out[k] = LinearSample(a[0], a[channels], c.weights[k]);
  }
}

inline void LinearColumnSamples(const int16_t* h0, const int16_t* h1, int32_t v, uint8_t* dst,
                                std::ptrdiff_t from, std::ptrdiff_t samples) {
  for (std::ptrdiff_t k = from; k < samples; ++k) dst[k] = LinearResult(h0[k], h1[k], v);
}

inline void LinearPairSamples(const uint8_t* row0, const uint8_t* row1, const LinearColumns& c, int32_t channels,
                              int32_t v, uint8_t* dst, std::ptrdiff_t from) {
  for (std::ptrdiff_t k = from; k < c.samples; ++k) {
    const uint8_t* a0 = row0 + c.offsets[k];
    const uint8_t* a1 = row1 + c.offsets[k];
    dst[k] = LinearResult(LinearSample(a0[0], a0[channels], c.weights[k]),
                          LinearSample(a1[0], a1[channels], c.weights[k]), v);
  }
}

inline void CubicRowSamples(const uint8_t* src, const CubicColumns& c, int32_t channels, float* out,
                            std::ptrdiff_t from) {
  for (std::ptrdiff_t k = from; k < c.samples; ++k) {
    const uint8_t* b = src + c.offsets[k];
    out[k] = CubicValue(b[-channels], b[0], b[channels], b[2 * channels], c.t[k]);
  }
}

inline void CubicColumnSamples(const float* const* rows, float t, uint8_t* dst, std::ptrdiff_t from,
                               std::ptrdiff_t samples) {
  for (std::ptrdiff_t k = from; k < samples; ++k) {
    dst[k] = CubicResult(CubicValue(rows[0][k], rows[1][k], rows[2][k], rows[3][k], t));
  }
}

}  // namespace
}  // namespace klem::kernels
