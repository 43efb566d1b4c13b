// The min and max rules, the argument checks and the one driver that every
// neighbourhood min/max kernel of every path runs, so that statuses, buffers
// and the order of work cannot drift between paths: a path supplies only its
// row primitive MinMaxRows<Rule> (see MinMaxOverWindow).
//
// The driver takes the window down its columns, then across: the mask's
// columns that have cells, a run of neighbouring columns with the same cells
// sharing one pass down the rows into a scratch row (a column with a single
// cell reads its image row directly), then one pass across the scratch rows at
// each column's offset. Min and max are exact and order-free, so the result
// is the minimum (maximum) over the cells whatever the grouping. Output rows
// go in pairs, whose passes down a run of rows share all rows but two.
//
// In place, each output row goes to a ring of anchor row + 1 rows (at most
// the region height; rows rounded up to 16 bytes) and is copied back once no
// later output row reads the image row it replaces: output row y reads image
// rows y - anchor.row on, so row y - anchor.row goes back after row y.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "kernels/filter_types.h"
#include "kernels/kernel_support.h"
#include "platform/heap.h"

namespace klem::kernels {
namespace {

struct MinRule {
  static uint8_t Sample(uint8_t a, uint8_t b) { return a < b ? a : b; }
};
struct MaxRule {
  static uint8_t Sample(uint8_t a, uint8_t b) { return a > b ? a : b; }
};

// In this order: null pointers (-8), row steps below 1 (-14), the region
// (-6), the window (-33), a mask without cells (-59), the anchor (-34), a
// source step shorter than the window's reach across the region or a
// destination step shorter than the region (-37). A null mask is the full
// window.
inline KernelStatus CheckWindowArguments(std::initializer_list<const void*> pointers, int32_t srcStep,
                                         int32_t dstStep, ROI roi, const uint8_t* mask, ROI size,
                                         Anchor anchor, int32_t channels) {
  for (const void* p : pointers) {
    if (p == nullptr) return kStsNullPtrErr;
  }
  if (srcStep < 1 || dstStep < 1) return kStsStepErr;
  if (roi.width < 1 || roi.height < 1) return kStsSizeErr;
  if (size.width < 1 || size.height < 1) return kStsMaskSizeErr;
  if (mask != nullptr &&
      std::all_of(mask, mask + int64_t{size.width} * size.height, [](uint8_t b) { return b == 0; })) {
    return kStsZeroMaskValuesErr;
  }
  if (anchor.column < 0 || anchor.column >= size.width || anchor.row < 0 || anchor.row >= size.height) {
    return kStsAnchorErr;
  }
  if (srcStep < (int64_t{roi.width} + size.width - 1) * channels || dstStep < int64_t{roi.width} * channels) {
    return kStsStrideErr;
  }
  return kStsNoErr;
}

inline uint64_t RoundUp16(uint64_t bytes) { return (bytes + 15) / 16 * 16; }

// The window's columns that have cells, in the order of the pass across, and
// the runs of equal columns that share a pass down.
struct WindowColumns {
  int32_t* column;      // per column with cells: its index in the mask
  int32_t* group;       // per column with cells: its run
  int32_t* groupFirst;  // per run: its first column, whose cells it takes
};

// dst := op over the window's cells (null mask: every cell) of src, anchor
// over the sample computed; src == dst with inPlace. The arguments are checked.
// Rows is a path's primitive:
//   Rows::Combine(rows, n, out, samples)      out[x] = op over rows[0..n-1][x]
//   Rows::Pair(rows, n, out0, out1, samples)  out0 from rows[0..n-1], out1 from
//                                             rows[1..n] (the rows they share
//                                             taken once)
// Output rows go in pairs: a run of cells down a column that covers rows
// j..j+n-1 for the first covers j+1..j+n for the second.
template <typename Rows>
KernelStatus MinMaxOverWindow(const uint8_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep, ROI roi,
                              const uint8_t* mask, ROI size, Anchor anchor, int32_t channels, bool inPlace) {
  const int32_t mw = size.width, mh = size.height;
  const auto cell = [&](int32_t i, int32_t j) { return mask == nullptr || mask[int64_t{j} * mw + i] != 0; };
  const auto cellsOf = [&](int32_t i) {
    int32_t n = 0;
    for (int32_t j = 0; j < mh; ++j) n += cell(i, j) ? 1 : 0;
    return n;
  };
  const auto sameCells = [&](int32_t a, int32_t b) {
    for (int32_t j = 0; j < mh; ++j) {
      if (cell(a, j) != cell(b, j)) return false;
    }
    return true;
  };

  int32_t columns = 0, groups = 0, scratchRows = 0;
  for (int32_t i = 0, last = -1; i < mw; ++i) {
    const int32_t cells = cellsOf(i);
    if (cells == 0) continue;
    if (last < 0 || !sameCells(last, i)) {
      ++groups;
      scratchRows += cells > 1 ? 2 : 0;  // one for each row of a pair
    }
    ++columns;
    last = i;
  }

  // The steps passed the stride check, so a scratch row (the window's reach
  // across the region) and an output row are each below 2^31 bytes, and no
  // term below nor their sum can wrap 64 bits.
  const std::ptrdiff_t samples = std::ptrdiff_t{roi.width} * channels;
  const std::ptrdiff_t reach = (std::ptrdiff_t{roi.width} + mw - 1) * channels;
  const uint64_t scratchBytes = RoundUp16(static_cast<uint64_t>(reach));
  const uint64_t ringBytes = RoundUp16(static_cast<uint64_t>(samples));
  const int32_t ringRows = inPlace ? std::min(anchor.row + 1, roi.height) : 0;
  const uint64_t pointerBytes =
      RoundUp16((uint64_t{uint32_t(mh)} + 1 + columns + 2 * uint64_t{uint32_t(groups)}) * sizeof(void*));
  const uint64_t indexBytes = RoundUp16((2 * uint64_t{uint32_t(columns)} + groups) * sizeof(int32_t));
  const uint64_t total = pointerBytes + indexBytes + scratchRows * scratchBytes + ringRows * ringBytes;
  if (total > static_cast<uint64_t>(PTRDIFF_MAX)) return kStsMemAllocErr;
  auto* block = static_cast<uint8_t*>(platform::AllocateWork(static_cast<size_t>(total)));
  if (block == nullptr) return kStsMemAllocErr;

  const uint8_t** rows = reinterpret_cast<const uint8_t**>(block);  // a column's cells and one more
  const uint8_t** across = rows + mh + 1;                            // one per column with cells
  const uint8_t** groupRow[2] = {across + columns, across + columns + groups};  // each run's row
  int32_t* indices = reinterpret_cast<int32_t*>(block + pointerBytes);
  const WindowColumns plan{indices, indices + columns, indices + 2 * columns};
  uint8_t* scratch = block + pointerBytes + indexBytes;
  uint8_t* ring = scratch + scratchRows * scratchBytes;

  for (int32_t i = 0, c = 0, last = -1, g = -1; i < mw; ++i) {
    if (cellsOf(i) == 0) continue;
    if (last < 0 || !sameCells(last, i)) plan.groupFirst[++g] = i;
    plan.column[c] = i;
    plan.group[c] = g;
    ++c;
    last = i;
  }

  const std::ptrdiff_t left = std::ptrdiff_t{anchor.column} * channels;
  // Across the runs' rows of output row y (second of a pair or not).
  const auto emit = [&](int32_t y, int32_t second) {
    for (int32_t c = 0; c < columns; ++c) {
      across[c] = groupRow[second][plan.group[c]] + std::ptrdiff_t{plan.column[c]} * channels;
    }
    if (!inPlace) {
      Rows::Combine(across, columns, RowAt(dst, dstStep, y), samples);
      return;
    }
    Rows::Combine(across, columns, ring + (y % ringRows) * ringBytes, samples);
    const int32_t back = y - anchor.row;
    if (back >= 0) std::memcpy(RowAt(dst, dstStep, back), ring + (back % ringRows) * ringBytes, samples);
  };
  for (int32_t y = 0; y < roi.height; y += 2) {
    const bool pair = y + 1 < roi.height;
    const uint8_t* top = src + (std::ptrdiff_t{y} - anchor.row) * srcStep - left;
    for (int32_t g = 0, s = 0; g < groups; ++g) {
      int32_t n = 0, first = -1, last = -1;
      for (int32_t j = 0; j < mh; ++j) {
        if (!cell(plan.groupFirst[g], j)) continue;
        rows[n++] = top + std::ptrdiff_t{j} * srcStep;
        first = first < 0 ? j : first;
        last = j;
      }
      if (n == 1) {
        groupRow[0][g] = rows[0];
        groupRow[1][g] = pair ? rows[0] + srcStep : nullptr;
        continue;
      }
      uint8_t* out0 = scratch + s++ * scratchBytes;
      uint8_t* out1 = scratch + s++ * scratchBytes;
      groupRow[0][g] = out0;
      groupRow[1][g] = out1;
      if (pair && last - first + 1 == n) {
        rows[n] = rows[n - 1] + srcStep;
        Rows::Pair(rows, n, out0, out1, reach);
        continue;
      }
      Rows::Combine(rows, n, out0, reach);
      if (!pair) continue;
      for (int32_t k = 0; k < n; ++k) rows[k] += srcStep;
      Rows::Combine(rows, n, out1, reach);
    }
    emit(y, 0);
    if (pair) emit(y + 1, 1);
  }
  for (int32_t back = std::max(0, roi.height - anchor.row); inPlace && back < roi.height; ++back) {
    std::memcpy(RowAt(dst, dstStep, back), ring + (back % ringRows) * ringBytes, samples);
  }
  platform::ReleaseWork(block);
  return kStsNoErr;
}

// --- entry shapes ----------------------------------------------------------

template <typename Rows>
KernelStatus Morphology3x3InPlace(uint8_t* srcDst, int32_t step, ROI roi, int32_t channels) {
  constexpr ROI kSquare{3, 3};
  constexpr Anchor kCentre{1, 1};
  if (KernelStatus status =
          CheckWindowArguments({srcDst}, step, step, roi, nullptr, kSquare, kCentre, channels)) {
    return status;
  }
  return MinMaxOverWindow<Rows>(srcDst, step, srcDst, step, roi, nullptr, kSquare, kCentre, channels, true);
}

template <typename Rows>
KernelStatus MorphologyMaskInPlace(uint8_t* srcDst, int32_t step, ROI roi, const uint8_t* mask, ROI size,
                                   Anchor anchor, int32_t channels) {
  if (KernelStatus status =
          CheckWindowArguments({srcDst, mask}, step, step, roi, mask, size, anchor, channels)) {
    return status;
  }
  return MinMaxOverWindow<Rows>(srcDst, step, srcDst, step, roi, mask, size, anchor, channels, true);
}

template <typename Rows>
KernelStatus RankWindow(const uint8_t* src, int32_t srcStep, uint8_t* dst, int32_t dstStep, ROI roi,
                        ROI window, Anchor anchor, int32_t channels) {
  if (KernelStatus status =
          CheckWindowArguments({src, dst}, srcStep, dstStep, roi, nullptr, window, anchor, channels)) {
    return status;
  }
  return MinMaxOverWindow<Rows>(src, srcStep, dst, dstStep, roi, nullptr, window, anchor, channels, false);
}

}  // namespace
}  // namespace klem::kernels
