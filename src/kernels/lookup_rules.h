// The entry shapes of the look-up and gamma kernels that every code path
// shares: the checks in their order, the table building (one function for
// every path) and the row loop. A path supplies only the two mapping rows:
//   MapRowC1: void(const uint8_t* table, const uint8_t* src, uint8_t* dst, int32_t bytes)
//   MapRowC3: void(const uint8_t* tables, const uint8_t* src, uint8_t* dst, int32_t pixels)
// where `tables` holds the three tables one after the other (3 * 256 bytes).
// Every table is followed by kTablePadding readable bytes, so that a vector
// path may read each entry as the low byte of a 4-byte word.
// src may be dst: every byte is read before it is written.
#pragma once

#include <climits>
#include <cstdint>

#include "kernels/kernel_support.h"
#include "kernels/lookup.h"

namespace klem::kernels {
namespace {

inline constexpr int32_t kTablePadding = 3;

struct LookupTable1 {
  uint8_t bytes[256 + kTablePadding];
};
struct LookupTables3 {
  uint8_t bytes[3 * 256 + kTablePadding];
};

template <typename RowFn>
void MapRows(const uint8_t* table, const uint8_t* src, int32_t srcStep, uint8_t* dst,
             int32_t dstStep, ROI bytes, RowFn row) {
  bytes = JoinContiguousRows(bytes, {{srcStep, bytes.width}, {dstStep, bytes.width}});
  for (int32_t y = 0; y < bytes.height; ++y) {
    row(table, RowAt(src, srcStep, y), RowAt(dst, dstStep, y), bytes.width);
  }
}

template <typename RowFn>
KernelStatus LookupC1(LookupMode mode, const uint8_t* src, int32_t srcStep, uint8_t* dst,
                      int32_t dstStep, ROI roi, const int32_t* values, const int32_t* levels,
                      int32_t count, RowFn row) {
  if (KernelStatus status = CheckArguments({src, dst, values, levels}, roi, {srcStep, dstStep})) {
    return status;
  }
  if (count < 2) return kStsLUTNofLevelsErr;
  LookupTable1 table{};
  BuildLookupTable(mode, values, levels, count, table.bytes);
  MapRows(table.bytes, src, srcStep, dst, dstStep, roi, row);
  return kStsNoErr;
}

template <typename RowFn>
KernelStatus LookupC3(LookupMode mode, const uint8_t* src, int32_t srcStep, uint8_t* dst,
                      int32_t dstStep, ROI roi, const int32_t* const values[3],
                      const int32_t* const levels[3], const int32_t count[3], RowFn row) {
  if (src == nullptr || dst == nullptr || values == nullptr || levels == nullptr ||
      count == nullptr) {
    return kStsNullPtrErr;
  }
  for (int32_t c = 0; c < 3; ++c) {
    if (values[c] == nullptr || levels[c] == nullptr) return kStsNullPtrErr;
    if (count[c] < 2) return kStsLUTNofLevelsErr;
  }
  if (KernelStatus status = CheckArguments({}, roi, {srcStep, dstStep})) return status;
  if (roi.width > INT32_MAX / 3) return kStsSizeErr;
  // Cubic tables only when every curve has the four points a cubic needs.
  if (mode == LookupModeCubic && (count[0] < 4 || count[1] < 4 || count[2] < 4)) {
    mode = LookupModeLinear;
  }
  LookupTables3 tables{};
  for (int32_t c = 0; c < 3; ++c) {
    BuildLookupTable(mode, values[c], levels[c], count[c], tables.bytes + 256 * c);
  }
  const ROI pixels = JoinContiguousRows(
      roi, {{srcStep, 3 * int64_t{roi.width}}, {dstStep, 3 * int64_t{roi.width}}});
  for (int32_t y = 0; y < pixels.height; ++y) {
    row(tables.bytes, RowAt(src, srcStep, y), RowAt(dst, dstStep, y), pixels.width);
  }
  return kStsNoErr;
}

template <typename RowFn>
KernelStatus GammaRows(const uint8_t* table, uint8_t* srcDst, int32_t srcDstStep, ROI roi,
                       RowFn row) {
  if (KernelStatus status = CheckArguments({srcDst}, roi, {srcDstStep})) return status;
  if (roi.width > INT32_MAX / 3) return kStsSizeErr;
  MapRows(table, srcDst, srcDstStep, srcDst, srcDstStep, {3 * roi.width, roi.height}, row);
  return kStsNoErr;
}

}  // namespace
}  // namespace klem::kernels
