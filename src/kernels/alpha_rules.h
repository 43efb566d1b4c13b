// The sample rules of the alpha kernels and the entry shapes every code path
// shares, so that statuses and results cannot drift between paths: a path
// supplies only the functions that do one row.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <type_traits>

#include "kernels/kernel_support.h"

namespace klem::kernels {
namespace {

// x * y / 255 in integers, exact at the ends: mul(255, y) = y, mul(0, y) = 0.
// t + (t >> 8) + 1 is at most 65280, so the vector paths keep it in 16 bits.
inline uint32_t AlphaMul(uint32_t x, uint32_t y) {
  const uint32_t t = x * y;
  return (t + (t >> 8) + 1) >> 8;
}

inline uint32_t AlphaSat(uint32_t v) { return v <= 255 ? v : 255; }

inline constexpr int32_t kCompositionTypes = 12;
// Types 6..11 are the operators of 0..5 on colour premultiplied by alpha.
inline constexpr int32_t kFirstPremultipliedType = 6;

// The colour byte of composition `kType` from the same byte a of A and b of
// B and the two alphas. The straight results are premultiplied (not divided
// by the result alpha); each of their terms is at most its alpha's share of
// 255, so the sums never pass 255 and need no saturation. Premultiplied
// colour can exceed its alpha, so those sums saturate.
template <int32_t kType>
inline uint8_t ComposeColour(uint32_t a, uint32_t aA, uint32_t b, uint32_t aB) {
  static_assert(kType >= 0 && kType < kCompositionTypes);
  uint32_t v;
  if constexpr (kType == 0) {         // A over B
    v = AlphaMul(a, aA) + AlphaMul(AlphaMul(b, aB), 255 - aA);
  } else if constexpr (kType == 1) {  // A in B
    v = AlphaMul(AlphaMul(a, aA), aB);
  } else if constexpr (kType == 2) {  // A out B
    v = AlphaMul(255 - aB, AlphaMul(a, aA));
  } else if constexpr (kType == 3) {  // A atop B
    v = AlphaMul(AlphaMul(a, aA), aB) + AlphaMul(AlphaMul(b, aB), 255 - aA);
  } else if constexpr (kType == 4) {  // A xor B
    v = AlphaMul(AlphaMul(a, aA), 255 - aB) + AlphaMul(AlphaMul(b, aB), 255 - aA);
  } else if constexpr (kType == 5) {  // A plus B
    v = AlphaSat(AlphaMul(a, aA) + AlphaMul(b, aB));
  } else if constexpr (kType == 6) {
    v = AlphaSat(a + AlphaMul(b, 255 - aA));
  } else if constexpr (kType == 7) {
    v = AlphaMul(a, aB);
  } else if constexpr (kType == 8) {
    v = AlphaMul(a, 255 - aB);
  } else if constexpr (kType == 9) {
    v = AlphaSat(AlphaMul(a, aB) + AlphaMul(b, 255 - aA));
  } else if constexpr (kType == 10) {
    v = AlphaSat(AlphaMul(255 - aB, a) + AlphaMul(b, 255 - aA));
  } else {
    v = AlphaSat(a + b);
  }
  return static_cast<uint8_t>(v);
}

// The result alpha, the same for straight and premultiplied colour. Only plus
// can pass 255: the other sums split 255 between the two alphas.
template <int32_t kType>
inline uint8_t ComposeAlpha(uint32_t aA, uint32_t aB) {
  constexpr int32_t kOperator = kType % kFirstPremultipliedType;
  uint32_t v;
  if constexpr (kOperator == 0) {
    v = aA + AlphaMul(aB, 255 - aA);
  } else if constexpr (kOperator == 1) {
    v = AlphaMul(aB, aA);
  } else if constexpr (kOperator == 2) {
    v = AlphaMul(255 - aB, aA);
  } else if constexpr (kOperator == 3) {
    v = aB;
  } else if constexpr (kOperator == 4) {
    v = AlphaMul(255 - aB, aA) + AlphaMul(255 - aA, aB);
  } else {
    v = AlphaSat(aA + aB);
  }
  return static_cast<uint8_t>(v);
}

// --- rows from pixel `from` on, the generic rows and every vector tail ------

inline void PremultiplyPixels(uint8_t* row, std::ptrdiff_t from, std::ptrdiff_t pixels) {
  for (std::ptrdiff_t x = from; x < pixels; ++x) {
    uint8_t* p = row + 4 * x;
    const uint32_t alpha = p[3];
    for (int32_t c = 0; c < 3; ++c) p[c] = static_cast<uint8_t>(AlphaMul(p[c], alpha));
  }
}

// Samples of kChannels-byte pixels; for 4 channels byte 3 becomes alpha.
template <int32_t kChannels>
inline void PremultiplyConstSamples(uint8_t alpha, uint8_t* row, std::ptrdiff_t from,
                                    std::ptrdiff_t samples) {
  for (std::ptrdiff_t x = from; x < samples; ++x) {
    row[x] = kChannels == 4 && x % 4 == 3 ? alpha : static_cast<uint8_t>(AlphaMul(row[x], alpha));
  }
}

// Reads both whole pixels before writing: d may be a or b.
template <int32_t kType>
inline void ComposePixels(const uint8_t* a, const uint8_t* b, uint8_t* d, std::ptrdiff_t from,
                          std::ptrdiff_t pixels) {
  for (std::ptrdiff_t x = from; x < pixels; ++x) {
    uint8_t pa[4], pb[4];
    for (int32_t c = 0; c < 4; ++c) pa[c] = a[4 * x + c], pb[c] = b[4 * x + c];
    for (int32_t c = 0; c < 3; ++c) d[4 * x + c] = ComposeColour<kType>(pa[c], pa[3], pb[c], pb[3]);
    d[4 * x + 3] = ComposeAlpha<kType>(pa[3], pb[3]);
  }
}

// Samples of kChannels-byte pixels; for 4 channels byte 3 is left alone.
template <int32_t kType, int32_t kChannels>
inline void ComposeConstSamples(const uint8_t* a, uint8_t alphaA, const uint8_t* b, uint8_t alphaB,
                                uint8_t* d, std::ptrdiff_t from, std::ptrdiff_t samples) {
  for (std::ptrdiff_t x = from; x < samples; ++x) {
    if (kChannels == 4 && x % 4 == 3) continue;
    d[x] = ComposeColour<kType>(a[x], alphaA, b[x], alphaB);
  }
}

// `alphas` points at byte 3 of the first pixel.
inline void SetAlphaPixels(uint8_t alpha, uint8_t* alphas, std::ptrdiff_t from,
                           std::ptrdiff_t pixels) {
  for (std::ptrdiff_t x = from; x < pixels; ++x) alphas[4 * x] = alpha;
}

inline void CopyToAlphaPixels(const uint8_t* src, uint8_t* alphas, std::ptrdiff_t from,
                              std::ptrdiff_t pixels) {
  for (std::ptrdiff_t x = from; x < pixels; ++x) alphas[4 * x] = src[x];
}

// --- entry shapes ----------------------------------------------------------

// Null pointers (-8), then the region (-6), then the type (-50); these
// kernels check no row steps.
inline KernelStatus CheckAlphaArguments(std::initializer_list<const void*> pointers, ROI roi,
                                        int32_t type = 0) {
  if (KernelStatus status = CheckArguments(pointers, roi, {})) return status;
  if (type < 0 || type >= kCompositionTypes) return kStsAlphaTypeErr;
  return kStsNoErr;
}

// Runs body(std::integral_constant<int32_t, type>{}) with a checked type fixed
// at compile time, so no row carries a branch on it.
template <typename Body>
inline void WithCompositionType(int32_t type, Body body) {
  switch (type) {
    case 0: body(std::integral_constant<int32_t, 0>{}); break;
    case 1: body(std::integral_constant<int32_t, 1>{}); break;
    case 2: body(std::integral_constant<int32_t, 2>{}); break;
    case 3: body(std::integral_constant<int32_t, 3>{}); break;
    case 4: body(std::integral_constant<int32_t, 4>{}); break;
    case 5: body(std::integral_constant<int32_t, 5>{}); break;
    case 6: body(std::integral_constant<int32_t, 6>{}); break;
    case 7: body(std::integral_constant<int32_t, 7>{}); break;
    case 8: body(std::integral_constant<int32_t, 8>{}); break;
    case 9: body(std::integral_constant<int32_t, 9>{}); break;
    case 10: body(std::integral_constant<int32_t, 10>{}); break;
    default: body(std::integral_constant<int32_t, 11>{}); break;
  }
}

// One plane of pixels of `bytesPerPixel` bytes walked in place; p may point
// into the first pixel (at its alpha byte). RowFn: void(uint8_t* row, ptrdiff_t pixels)
template <typename RowFn>
KernelStatus PixelRowsInPlace(uint8_t* p, int32_t step, ROI roi, int32_t bytesPerPixel, RowFn row) {
  if (KernelStatus status = CheckAlphaArguments({p}, roi)) return status;
  roi = JoinContiguousRows(roi, {{step, int64_t{roi.width} * bytesPerPixel}});
  for (int32_t y = 0; y < roi.height; ++y) row(RowAt(p, step, y), std::ptrdiff_t{roi.width});
  return kStsNoErr;
}

// Three planes of pixels of `bytesPerPixel` bytes under a composition type.
// RowFn: void(integral_constant type, const uint8_t* a, const uint8_t* b, uint8_t* d, ptrdiff_t pixels)
template <typename RowFn>
KernelStatus ComposeRows(const uint8_t* a, int32_t aStep, const uint8_t* b, int32_t bStep,
                         uint8_t* d, int32_t dStep, ROI roi, int32_t type, int32_t bytesPerPixel,
                         RowFn row) {
  if (KernelStatus status = CheckAlphaArguments({a, b, d}, roi, type)) return status;
  const int64_t rowBytes = int64_t{roi.width} * bytesPerPixel;
  roi = JoinContiguousRows(roi, {{aStep, rowBytes}, {bStep, rowBytes}, {dStep, rowBytes}});
  WithCompositionType(type, [&](auto kType) {
    for (int32_t y = 0; y < roi.height; ++y) {
      row(kType, RowAt(a, aStep, y), RowAt(b, bStep, y), RowAt(d, dStep, y),
          std::ptrdiff_t{roi.width});
    }
  });
  return kStsNoErr;
}

// An 8-bit plane into the alpha bytes of a 4-byte plane; the whole picture is
// one row when neither has padding. RowFn: void(const uint8_t* src, uint8_t* alphas, ptrdiff_t pixels)
template <typename RowFn>
KernelStatus ToAlphaRows(const uint8_t* src, int32_t srcStep, uint8_t* alphas, int32_t dstStep,
                         ROI roi, RowFn row) {
  if (KernelStatus status = CheckAlphaArguments({src, alphas}, roi)) return status;
  roi = JoinContiguousRows(roi, {{srcStep, roi.width}, {dstStep, 4 * int64_t{roi.width}}});
  for (int32_t y = 0; y < roi.height; ++y) {
    row(RowAt(src, srcStep, y), RowAt(alphas, dstStep, y), std::ptrdiff_t{roi.width});
  }
  return kStsNoErr;
}

}  // namespace
}  // namespace klem::kernels
