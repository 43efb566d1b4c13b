// Argument checks and row loops shared by the kernels of every family and
// every code path. Everything here has internal linkage: SIMD files include
// it too, and a copy compiled with their flags must never be the one the
// generic path calls.
#pragma once

#include <cstddef>
#include <climits>
#include <cstdint>
#include <initializer_list>
#include <type_traits>

#include "kernels/kernel_types.h"
#include "kernels/samples.h"

namespace klem::kernels {
namespace {

// The common checks, in their fixed order: null pointers (-8), then the
// region (-6), then row steps below their minimum (-14). Kernels whose steps
// come before the region use CheckStepsFirst.
inline KernelStatus CheckArguments(std::initializer_list<const void*> pointers, ROI roi,
                                   std::initializer_list<int32_t> steps, int32_t minStep = 1) {
  for (const void* p : pointers) {
    if (p == nullptr) return kStsNullPtrErr;
  }
  if (roi.width < 1 || roi.height < 1) return kStsSizeErr;
  for (int32_t step : steps) {
    if (step < minStep) return kStsStepErr;
  }
  return kStsNoErr;
}

inline KernelStatus CheckStepsFirst(std::initializer_list<const void*> pointers, ROI roi,
                                    std::initializer_list<int32_t> steps) {
  for (const void* p : pointers) {
    if (p == nullptr) return kStsNullPtrErr;
  }
  for (int32_t step : steps) {
    if (step < 1) return kStsStepErr;
  }
  if (roi.width < 1 || roi.height < 1) return kStsSizeErr;
  return kStsNoErr;
}

// Rows that follow each other without a gap in every plane are one long row:
// the same samples in the same order, walked by one loop instead of many.
// Each plane is given as {row step, bytes of the region in one row}.
struct PlaneRow {
  int32_t step;
  int64_t rowBytes;
};

inline ROI JoinContiguousRows(ROI roi, std::initializer_list<PlaneRow> planes) {
  for (const PlaneRow& plane : planes) {
    if (plane.step != plane.rowBytes) return roi;
  }
  if (int64_t{roi.width} * roi.height > INT32_MAX) return roi;
  return {roi.width * roi.height, 1};
}

template <typename T>
T* RowAt(T* base, int32_t step, int32_t y) {
  using Byte = std::conditional_t<std::is_const_v<T>, const uint8_t, uint8_t>;
  return reinterpret_cast<T*>(reinterpret_cast<Byte*>(base) + static_cast<std::ptrdiff_t>(step) * y);
}

// dst[x] = op(a[x], b[x], x) over the region, row by row; a or b may be dst
// itself (in-place kernels read both operands before writing).
template <typename TA, typename TB, typename TD, typename Op>
void ForEachSample(const TA* a, int32_t aStep, const TB* b, int32_t bStep, TD* dst,
                   int32_t dstStep, ROI roi, Op op) {
  for (int32_t y = 0; y < roi.height; ++y) {
    const TA* ra = RowAt(a, aStep, y);
    const TB* rb = RowAt(b, bStep, y);
    TD* rd = RowAt(dst, dstStep, y);
    for (int32_t x = 0; x < roi.width; ++x) StoreSample(rd + x, op(LoadSample(ra + x), LoadSample(rb + x), x));
  }
}

// dst[x] = op(src[x], x) over the region.
template <typename TS, typename TD, typename Op>
void ForEachSample(const TS* src, int32_t srcStep, TD* dst, int32_t dstStep, ROI roi, Op op) {
  for (int32_t y = 0; y < roi.height; ++y) {
    const TS* rs = RowAt(src, srcStep, y);
    TD* rd = RowAt(dst, dstStep, y);
    for (int32_t x = 0; x < roi.width; ++x) StoreSample(rd + x, op(LoadSample(rs + x), x));
  }
}

template <typename T>
void FillRegion(T* dst, int32_t dstStep, ROI roi, T value) {
  for (int32_t y = 0; y < roi.height; ++y) {
    T* row = RowAt(dst, dstStep, y);
    for (int32_t x = 0; x < roi.width; ++x) StoreSample(row + x, value);
  }
}

}  // namespace
}  // namespace klem::kernels
