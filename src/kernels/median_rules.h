// The sorting networks of the median kernels and the entry shapes that every
// code path shares. A network is written once over a lane type L (one byte a
// lane for the generic kernels and for the tails of the vector ones, a whole
// vector of bytes for the vector bodies), so every path computes the same
// exchanges; the median of a set is unique, so results are bit-identical.
//
//   median of 3     max(min(max(a, b), c), min(a, b))
//   median of 5     the 9-exchange sorting network of 5 pruned to its middle
//                   output (14 minima and maxima)
//   3x3 window      columns sorted once per row and reused by the three
//                   outputs that see them; then the median of the column
//                   maxima's minimum, the middles' median and the minima's
//                   maximum
//   5x5 window      columns sorted once per row, then the odd-even merge of
//                   the five sorted columns pruned to its middle output (88
//                   exchanges, 152 minima and maxima); checked against all
//                   2^25 inputs of zeros and ones, which proves it for every
//                   input of any values (tools/median_network.py derives and
//                   checks it)
//
// Positions and offsets are ptrdiff_t: rows may exceed 2^31 bytes.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "kernels/filter_types.h"
#include "kernels/kernel_support.h"

namespace klem::kernels {
namespace {

// One byte a lane: the generic kernels and the tails of the vector ones.
struct ByteLanes {
  using V = uint8_t;
  static constexpr int32_t kBytes = 1;
  static V Load(const uint8_t* p) { return *p; }
  static void Store(uint8_t* p, V v) { *p = v; }
  static V Min(V a, V b) { return a < b ? a : b; }
  static V Max(V a, V b) { return a < b ? b : a; }
};

template <typename L>
struct MedianNetworks {
  using V = typename L::V;

  // a, b := min, max; Low keeps only the minimum, High only the maximum.
  static void Sort(V& a, V& b) {
    const V low = L::Min(a, b);
    b = L::Max(a, b);
    a = low;
  }
  static void Low(V& a, V b) { a = L::Min(a, b); }
  static void High(V a, V& b) { b = L::Max(a, b); }

  static V Median3(V a, V b, V c) {
    Sort(a, b);
    Low(b, c);
    return L::Max(a, b);
  }

  static V Median5(V v[5]) {
    Sort(v[0], v[1]), Sort(v[3], v[4]), Sort(v[2], v[4]), Sort(v[2], v[3]), Low(v[1], v[4]);
    Sort(v[0], v[3]), High(v[0], v[2]), Low(v[1], v[3]), High(v[1], v[2]);
    return v[2];
  }

  static void SortColumn(V (&v)[3]) { Sort(v[0], v[1]), Sort(v[1], v[2]), Sort(v[0], v[1]); }

  static void SortColumn(V (&v)[5]) {
    Sort(v[0], v[1]), Sort(v[3], v[4]), Sort(v[2], v[4]), Sort(v[2], v[3]), Sort(v[1], v[4]);
    Sort(v[0], v[3]), Sort(v[0], v[2]), Sort(v[1], v[3]), Sort(v[1], v[2]);
  }

  // c[column][rank]: each column sorted ascending.
  static V MedianOfColumns(V (&c)[3][3]) {
    const V low = L::Max(L::Max(c[0][0], c[1][0]), c[2][0]);
    const V high = L::Min(L::Min(c[0][2], c[1][2]), c[2][2]);
    return Median3(low, Median3(c[0][1], c[1][1], c[2][1]), high);
  }

  static V MedianOfColumns(V (&c)[5][5]) {
    Sort(c[3][0], c[1][0]), Sort(c[3][1], c[1][1]), Sort(c[3][2], c[1][2]), Sort(c[3][3], c[1][3]);
    Sort(c[3][4], c[1][4]), Sort(c[2][0], c[0][0]), Sort(c[2][1], c[0][1]), Sort(c[2][2], c[0][2]);
    Sort(c[2][3], c[0][3]), Sort(c[2][4], c[0][4]), Sort(c[3][4], c[1][0]), Sort(c[2][4], c[0][0]);
    Sort(c[3][2], c[3][4]), Sort(c[3][3], c[1][1]), Sort(c[1][2], c[1][0]), Sort(c[2][2], c[2][4]);
    Sort(c[2][3], c[0][1]), Sort(c[0][2], c[0][0]), Sort(c[4][2], c[4][4]), Sort(c[3][1], c[3][2]);
    Sort(c[3][3], c[3][4]), Sort(c[1][1], c[1][2]), Sort(c[1][3], c[1][0]), Sort(c[2][1], c[2][2]);
    Sort(c[2][3], c[2][4]), Sort(c[0][1], c[0][2]), Sort(c[0][3], c[0][0]), Sort(c[4][1], c[4][2]);
    Sort(c[4][3], c[4][4]), Sort(c[3][0], c[2][0]), Sort(c[3][1], c[2][1]), Sort(c[3][2], c[2][2]);
    Sort(c[3][3], c[2][3]), Sort(c[3][4], c[2][4]), Sort(c[1][1], c[0][1]), Sort(c[1][2], c[0][2]);
    Sort(c[1][3], c[0][3]), Sort(c[1][0], c[0][0]), Sort(c[1][4], c[0][4]), Sort(c[1][0], c[2][0]);
    Sort(c[1][4], c[2][1]), Sort(c[3][4], c[1][0]), Sort(c[1][1], c[1][4]), Sort(c[1][2], c[2][2]);
    Sort(c[1][3], c[2][3]), Sort(c[2][4], c[2][0]), Sort(c[0][1], c[2][1]), Sort(c[3][2], c[3][4]);
    Sort(c[3][3], c[1][1]), Sort(c[1][2], c[1][0]), Sort(c[1][3], c[1][4]), Sort(c[2][2], c[2][4]);
    Sort(c[2][3], c[0][1]), Sort(c[0][2], c[2][0]), Sort(c[0][3], c[2][1]), Sort(c[4][2], c[4][4]);
    Sort(c[3][1], c[3][2]), Sort(c[3][3], c[3][4]), High(c[1][1], c[1][2]), Sort(c[1][3], c[1][0]);
    Sort(c[1][4], c[2][2]), Sort(c[2][3], c[2][4]), Low(c[0][1], c[0][2]), High(c[0][3], c[2][0]);
    Sort(c[2][1], c[0][0]), Sort(c[4][1], c[4][2]), Sort(c[4][3], c[4][4]), High(c[3][0], c[4][0]);
    High(c[3][1], c[4][1]), High(c[3][2], c[4][2]), High(c[3][3], c[4][3]), High(c[3][4], c[4][4]);
    Low(c[2][0], c[4][0]), Low(c[2][1], c[4][1]), Low(c[0][0], c[4][2]), Low(c[0][4], c[4][3]);
    High(c[1][0], c[2][0]), High(c[1][4], c[2][1]), Low(c[2][2], c[0][0]), Low(c[2][3], c[0][4]);
    Low(c[2][4], c[4][4]), High(c[1][2], c[2][2]), High(c[1][3], c[2][3]), Low(c[2][4], c[2][0]);
    Low(c[0][1], c[2][1]), High(c[2][2], c[2][4]), Low(c[2][3], c[0][1]), High(c[2][3], c[2][4]);
    return c[2][4];
  }
};

// body(lanes, x) for blocks of S::kBytes bytes from 0, then for single bytes
// up to n: the vector body, then the same network one byte a lane.
template <typename S, typename Body>
inline void ForEachBlock(std::ptrdiff_t n, Body body) {
  std::ptrdiff_t x = 0;
  if constexpr (S::kBytes > 1) {
    for (; n - x >= S::kBytes; x += S::kBytes) body(S{}, x);
  }
  for (; x < n; ++x) body(ByteLanes{}, x);
}

// --- square windows -------------------------------------------------------------

inline KernelStatus CheckWindowMedian(const void* src, int32_t srcStep, const void* dst, int32_t dstStep,
                                      ROI roi, ROI window, Anchor anchor) {
  if (KernelStatus status = CheckArguments({src, dst}, roi, {srcStep, dstStep})) return status;
  const bool square = window.width == window.height;
  if (!square || (window.width != 3 && window.width != 5)) return kStsMaskSizeErr;
  if (anchor.column < 0 || anchor.column >= window.width || anchor.row < 0 || anchor.row >= window.height) {
    return kStsAnchorErr;
  }
  return kStsNoErr;
}

// Outputs of a row taken at a time: the sorted columns of a strip stay in
// the first-level cache (a whole row's of a 5x5 window on 24-bit pixels did
// not).
inline constexpr std::ptrdiff_t kStripBytes = 2048;
// Bytes past the sorted columns that the last vector of a row may read.
inline constexpr std::ptrdiff_t kRankSlack = 64;

// The bytes of rank rows the window medians of a region need.
inline uint64_t RankBytes(ROI roi, int32_t side, int32_t channels) {
  const uint64_t samples = std::min<uint64_t>(uint64_t(roi.width) * channels, kStripBytes);
  return (samples + uint64_t(side - 1) * channels) * side + kRankSlack;
}

// Each row in strips: the window's columns at every byte the strip's
// windows cover are sorted into kSide rank rows of `ranks`, then each output
// takes the kSide columns around it from there. The outputs after the last
// whole vector come from one more vector whose lanes past the row are
// dropped: the network one byte a lane would cost more than the rest of a
// row.
template <int32_t kSide, typename S>
void WindowMedianRows(const uint8_t* centre, int32_t srcStep, uint8_t* dst, int32_t dstStep, ROI roi,
                      int32_t channels, uint8_t* ranks) {
  constexpr int32_t kReach = kSide / 2;
  const std::ptrdiff_t samples = std::ptrdiff_t{roi.width} * channels;
  const std::ptrdiff_t reach = std::ptrdiff_t{kReach} * channels;
  const std::ptrdiff_t stride = std::min(samples, kStripBytes) + 2 * reach;
  uint8_t* rank[kSide];
  for (int32_t r = 0; r < kSide; ++r) rank[r] = ranks + r * stride;
  const auto median = [&](std::ptrdiff_t x) {
    typename S::V c[kSide][kSide];
    for (int32_t k = 0; k < kSide; ++k) {
      for (int32_t r = 0; r < kSide; ++r) c[k][r] = S::Load(rank[r] + x + k * channels);
    }
    return MedianNetworks<S>::MedianOfColumns(c);
  };
  for (int32_t y = 0; y < roi.height; ++y) {
    const uint8_t* rows[kSide];
    for (int32_t r = 0; r < kSide; ++r) rows[r] = RowAt(centre, srcStep, y + r - kReach) - reach;
    uint8_t* out = RowAt(dst, dstStep, y);
    for (std::ptrdiff_t from = 0; from < samples; from += kStripBytes) {
      const std::ptrdiff_t count = std::min(kStripBytes, samples - from);
      ForEachBlock<S>(count + 2 * reach, [&](auto lanes, std::ptrdiff_t x) {
        using L = decltype(lanes);
        typename L::V v[kSide];
        for (int32_t r = 0; r < kSide; ++r) v[r] = L::Load(rows[r] + from + x);
        MedianNetworks<L>::SortColumn(v);
        for (int32_t r = 0; r < kSide; ++r) L::Store(rank[r] + x, v[r]);
      });
      std::ptrdiff_t x = 0;
      for (; count - x >= S::kBytes; x += S::kBytes) S::Store(out + from + x, median(x));
      if (x < count) {  // loads reach into the slack; only the row's bytes are stored
        alignas(64) uint8_t last[S::kBytes];
        S::Store(last, median(x));
        std::memcpy(out + from + x, last, static_cast<size_t>(count - x));
      }
    }
  }
}

template <typename S>
KernelStatus WindowMedian(const uint8_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep, ROI roi,
                          ROI window, Anchor anchor, int32_t channels) {
  if (KernelStatus status = CheckWindowMedian(src, srcStep, dst, dstStep, roi, window, anchor)) return status;
  const uint8_t* centre = src + std::ptrdiff_t{window.height / 2 - anchor.row} * srcStep +
                          std::ptrdiff_t{window.width / 2 - anchor.column} * channels;
  const uint64_t bytes = RankBytes(roi, window.width, channels);
  const std::unique_ptr<uint8_t[]> ranks(new (std::nothrow) uint8_t[bytes]);
  if (!ranks) return kStsMemAllocErr;
  std::memset(ranks.get() + bytes - kRankSlack, 0, kRankSlack);
  if (window.width == 3) {
    WindowMedianRows<3, S>(centre, srcStep, dst, dstStep, roi, channels, ranks.get());
  } else {
    WindowMedianRows<5, S>(centre, srcStep, dst, dstStep, roi, channels, ranks.get());
  }
  return kStsNoErr;
}

// --- row and column windows ----------------------------------------------------

// The window's samples lie `stride` bytes apart: a pixel along a row, a row
// step along a column.
template <int32_t kSide, typename S>
void LineMedianRows(const uint8_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep, ROI roi,
                    std::ptrdiff_t samples, std::ptrdiff_t stride) {
  constexpr int32_t kReach = kSide / 2;
  for (int32_t y = 0; y < roi.height; ++y) {
    const uint8_t* in = RowAt(src, srcStep, y);
    uint8_t* out = RowAt(dst, dstStep, y);
    ForEachBlock<S>(samples, [&](auto lanes, std::ptrdiff_t x) {
      using L = decltype(lanes);
      typename L::V v[kSide];
      for (int32_t k = 0; k < kSide; ++k) v[k] = L::Load(in + x + (k - kReach) * stride);
      if constexpr (kSide == 3) {
        L::Store(out + x, MedianNetworks<L>::Median3(v[0], v[1], v[2]));
      } else {
        L::Store(out + x, MedianNetworks<L>::Median5(v));
      }
    });
  }
}

// Along a row (3x1, 5x1) or along a column (1x3, 1x5).
template <typename S>
KernelStatus LineMedian(const uint8_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep, ROI roi,
                        MaskSizeCode mask, bool alongRow, int32_t channels) {
  if (KernelStatus status = CheckArguments({src, dst}, roi, {srcStep, dstStep})) return status;
  const MaskSizeCode three = alongRow ? kMask3x1 : kMask1x3;
  const MaskSizeCode five = alongRow ? kMask5x1 : kMask1x5;
  if (mask != three && mask != five) return kStsMaskSizeErr;
  const std::ptrdiff_t samples = std::ptrdiff_t{roi.width} * channels;
  const std::ptrdiff_t stride = alongRow ? channels : srcStep;
  if (mask == three) {
    LineMedianRows<3, S>(src, srcStep, dst, dstStep, roi, samples, stride);
  } else {
    LineMedianRows<5, S>(src, srcStep, dst, dstStep, roi, samples, stride);
  }
  return kStsNoErr;
}

}  // namespace
}  // namespace klem::kernels
