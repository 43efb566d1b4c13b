// Resize kernels: argument checks, tables, the row walk, the generic passes and
// the dispatch tables of the passes.
//
// Along each axis, e the effective source size (the rectangle clipped to the
// source), f the factor and n the number of destination samples computed:
//   n        = min(trunc(e f + 1e-7), roi size); below 1 it is 1, or status
//              -201 when e f < 0.5
//   nearest  destination k takes source trunc((k + 0.5) / f + 1e-7)
//   linear,  p = k * step, step = (e - 1) / (e f + 1e-7 - 1) (0 when that
//   cubic    denominator is not above 0); i = trunc(p + 1e-7)
//   linear   pair (i, i + 1) with weight w = trunc((p - i) 16384 + 1e-7), or
//            (e - 2, e - 1) with w = 16384 at the last source sample;
//            h = (a (16384 - w) + b w + 128) >> 8 per source row, then
//            (h0 (16384 - v) + h1 v + 524288) >> 20 over the row pair
//   cubic    base b = i, 1 at i = 0, i - 1 at i = e - 2, e - 3 at i = e - 1
//            (then t = 2), otherwise t = p - b; taps b - 1 .. b + 2; the
//            polynomial of resize_rules.h over each source row in single
//            precision, then over the four rows; trunc(value + 0.5000001)
//            clamped to 0..255
//   area     destination k covers [k / f, (k + 1) / f); each source sample
//            counts with the covered part of it (parts of 1e-7 or less are
//            dropped); the sum times fx fy, plus 0.5, truncated. Exact integer
//            sums when 1 / fx and 1 / fy are whole, otherwise single-precision
//            sums, the rows of each destination row first.
// Positions are computed from their index (p = k * step) rather than by
// repeated addition; every path shares these tables, so all give the same bits.
// Linear rows whose two source rows serve no other destination row are
// interpolated without passing through the ring.
#include "kernels/resize.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <memory>
#include <new>

#include "kernels/kernel_support.h"
#include "kernels/resize_rules.h"
#include "kernels/round_to_nearest.h"

namespace klem::kernels {

// --- generic passes ---------------------------------------------------------------

namespace generic {

void ResizeAreaBlockRow(const uint8_t* src, int32_t srcStep, int32_t rows, const AreaBlocks& blocks,
                        uint16_t* sums, uint8_t* dst) {
  AreaBlockRowSamples(src, srcStep, rows, blocks, sums, dst);
}

void ResizeNearestRow(const uint8_t* src, const int32_t* offsets, std::ptrdiff_t samples, int32_t,
                      uint8_t* out) {
  NearestRowSamples(src, offsets, out, 0, samples);
}

void ResizeAreaWeightedRow(const uint8_t* src, int32_t srcStep, const float* weights, int32_t rows, float* sums,
                           std::ptrdiff_t samples) {
  AreaWeightedRowSamples(src, srcStep, weights, rows, sums, samples);
}

void ResizeLinearRow(const uint8_t* src, const LinearColumns& columns, int32_t channels,
                     int16_t* out) {
  LinearRowSamples(src, columns, channels, out, 0);
}

void ResizeLinearColumn(const int16_t* h0, const int16_t* h1, int32_t v, uint8_t* dst,
                        std::ptrdiff_t samples) {
  LinearColumnSamples(h0, h1, v, dst, 0, samples);
}

void ResizeLinearPair(const uint8_t* row0, const uint8_t* row1, const LinearColumns& columns, int32_t channels,
                      int32_t v, uint8_t* dst) {
  LinearPairSamples(row0, row1, columns, channels, v, dst, 0);
}

// The generic passes find their samples from the offsets alone.
std::ptrdiff_t ResizeLinearWindows(const LinearColumns&, int32_t, void*) { return 0; }

void ResizeCubicRow(const uint8_t* src, const CubicColumns& columns, int32_t channels, float* out) {
  CubicRowSamples(src, columns, channels, out, 0);
}

void ResizeCubicColumn(const float* const* rows, float t, uint8_t* dst, std::ptrdiff_t samples) {
  CubicColumnSamples(rows, t, dst, 0, samples);
}

}  // namespace generic

namespace {

constexpr double kPositionOffset = 1e-7;

// An array of work memory, or none when it cannot be had or its size would
// overflow: the kernel then returns -9.
template <typename T>
class WorkArray {
 public:
  bool Allocate(int64_t count) {
    constexpr int64_t kMaxBytes = PTRDIFF_MAX / 4;
    if (count < 0 || count > kMaxBytes / static_cast<int64_t>(sizeof(T))) return false;
    data_.reset(new (std::nothrow) T[static_cast<size_t>(std::max<int64_t>(count, 1))]);
    return data_ != nullptr;
  }
  T* get() const { return data_.get(); }
  T& operator[](std::ptrdiff_t i) const { return data_[i]; }

 private:
  std::unique_ptr<T[]> data_;
};

// The source rectangle clipped to the source: where the kernels read.
struct SourceView {
  const uint8_t* base;
  int32_t step;
  int32_t width;   // effective width and height
  int32_t height;
  int32_t channels;
  const uint8_t* Row(int32_t y) const { return RowAt(base, step, y); }
};

struct Target {
  uint8_t* base;
  int32_t step;
  int32_t width;   // destination samples computed: columns and rows
  int32_t height;
  int32_t channels;
  uint8_t* Row(int32_t y) const { return RowAt(base, step, y); }
  std::ptrdiff_t RowSamples() const { return static_cast<std::ptrdiff_t>(width) * channels; }
};

// The number of destination samples along one axis, or -201.
KernelStatus OutputExtent(int32_t effective, double factor, int32_t roiSize, int32_t& count) {
  const double scaled = effective * factor;
  const double whole = std::trunc(scaled + kPositionOffset);
  if (whole >= 1) {
    count = whole < roiSize ? static_cast<int32_t>(whole) : roiSize;
    return kStsNoErr;
  }
  if (scaled < 0.5) return kStsResizeNoOperationErr;
  count = 1;
  return kStsNoErr;
}

// trunc() without the library call (the tables take one per column and row):
// between the two limits the conversion truncates just as it does.
int32_t TruncatedIndex(double position, int32_t effective) {
  const double p = position + kPositionOffset;
  return p < 1 ? 0 : p >= effective - 1 ? effective - 1 : static_cast<int32_t>(p);
}

// Source position of destination sample k for linear and cubic interpolation.
struct Positions {
  Positions(int32_t effective, double factor) {
    const double denominator = effective * factor + kPositionOffset - 1;
    step = denominator > 0 ? (effective - 1) / denominator : 0.0;
  }
  double At(int32_t k) const { return k * step; }
  double step;
};

struct LinearTap {
  int32_t index;   // first of the two source samples
  int32_t weight;  // of the second, 14 fraction bits
};

LinearTap LinearTapAt(double p, int32_t effective) {
  const int32_t i = TruncatedIndex(p, effective);
  if (i == effective - 1) return {i - 1, kLinearOne};
  // Within (-1, 16385): the conversion truncates as trunc() does.
  const auto w = static_cast<int32_t>((p - i) * kLinearOne + kPositionOffset);
  return {i, std::clamp(w, 0, kLinearOne)};
}

struct CubicTap {
  int32_t base;  // taps base - 1 .. base + 2
  float t;
};

CubicTap CubicTapAt(double p, int32_t effective) {
  const int32_t i = TruncatedIndex(p, effective);
  if (i == effective - 1) return {i - 2, 2.0f};
  const int32_t base = i == 0 ? 1 : i == effective - 2 ? i - 1 : i;
  return {base, static_cast<float>(p - base)};
}

// --- nearest ---------------------------------------------------------------------

int32_t NearestIndex(int32_t k, double factor, int32_t effective) {
  return TruncatedIndex((k + 0.5) / factor, effective);
}

// Destination rows that take the same source row as the row above are copies of it.
KernelStatus ResizeNearest(const SourceView& s, const Target& d, double xFactor, double yFactor) {
  const std::ptrdiff_t samples = d.RowSamples();
  WorkArray<int32_t> offsets;
  if (!offsets.Allocate(samples)) return kStsMemAllocErr;
  for (int32_t k = 0; k < d.width; ++k) {
    const int32_t x = NearestIndex(k, xFactor, s.width);
    for (int32_t c = 0; c < d.channels; ++c) offsets[std::ptrdiff_t{k} * d.channels + c] = x * d.channels + c;
  }
  int32_t previous = -1;
  for (int32_t y = 0; y < d.height; ++y) {
    const int32_t row = NearestIndex(y, yFactor, s.height);
    uint8_t* out = d.Row(y);
    if (row == previous) {
      std::memcpy(out, d.Row(y - 1), static_cast<size_t>(samples));
      continue;
    }
    kResizeNearestRow(s.Row(row), offsets.get(), samples, s.channels, out);
    previous = row;
  }
  return kStsNoErr;
}

// --- linear and cubic: the ring of horizontally interpolated rows -----------------

// Source row r lives in slot r % kSlots; the rows one destination row needs are
// consecutive, so they never share a slot, and they only move forwards.
template <typename T, int32_t kSlots>
class RowRing {
 public:
  bool Allocate(std::ptrdiff_t samples) {
    samples_ = samples;
    std::fill(std::begin(rows_), std::end(rows_), -1);
    return data_.Allocate(int64_t{kSlots} * samples);
  }
  // The slot of source row r, filled by fill(row, slot) when it holds another row.
  template <typename Fill>
  const T* Get(int32_t r, Fill fill) {
    const int32_t slot = r % kSlots;
    T* data = data_.get() + slot * samples_;
    if (rows_[slot] != r) {
      fill(r, data);
      rows_[slot] = r;
    }
    return data;
  }

 private:
  WorkArray<T> data_;
  std::ptrdiff_t samples_ = 0;
  int32_t rows_[kSlots];
};

KernelStatus ResizeLinear(const SourceView& s, const Target& d, double xFactor, double yFactor) {
  const std::ptrdiff_t samples = d.RowSamples();
  WorkArray<int32_t> offsets;
  WorkArray<uint32_t> weights;
  WorkArray<LinearTap> rows;
  RowRing<int16_t, 2> ring;
  if (!offsets.Allocate(samples) || !weights.Allocate(samples) || !rows.Allocate(d.height) ||
      !ring.Allocate(samples)) {
    return kStsMemAllocErr;
  }
  const std::ptrdiff_t rowBytes = static_cast<std::ptrdiff_t>(s.width) * s.channels;
  LinearColumns columns{offsets.get(), weights.get(), samples, 0, rowBytes, nullptr};
  const Positions px(s.width, xFactor);
  for (int32_t k = 0; k < d.width; ++k) {
    const LinearTap tap = LinearTapAt(px.At(k), s.width);
    for (int32_t c = 0; c < d.channels; ++c) {
      const std::ptrdiff_t i = std::ptrdiff_t{k} * d.channels + c;
      offsets[i] = tap.index * d.channels + c;
      weights[i] = static_cast<uint32_t>(kLinearOne - tap.weight) | (static_cast<uint32_t>(tap.weight) << 16);
      if (offsets[i] + 4 <= rowBytes) columns.gatherable = i + 1;
    }
  }
  const Positions py(s.height, yFactor);
  for (int32_t y = 0; y < d.height; ++y) rows[y] = LinearTapAt(py.At(y), s.height);

  WorkArray<std::max_align_t> windows;
  const std::ptrdiff_t windowBytes = kResizeLinearWindows(columns, s.channels, nullptr);
  if (windowBytes > 0) {
    const auto units = static_cast<int64_t>(sizeof(std::max_align_t));
    if (!windows.Allocate((windowBytes + units - 1) / units)) return kStsMemAllocErr;
    kResizeLinearWindows(columns, s.channels, windows.get());
    columns.windows = windows.get();
  }

  // A destination row whose two source rows no other row needs (every row
  // when shrinking by 2 or more) takes both passes at once; the others share
  // their source rows through the ring.
  const auto fresh = [&](int32_t y) {
    const int32_t r = rows[y].index;
    return (y == 0 || rows[y - 1].index + 1 < r) && (y + 1 == d.height || rows[y + 1].index > r + 1);
  };
  const auto fill = [&](int32_t r, int16_t* out) { kResizeLinearRow(s.Row(r), columns, s.channels, out); };
  for (int32_t y = 0; y < d.height; ++y) {
    if (fresh(y)) {
      kResizeLinearPair(s.Row(rows[y].index), s.Row(rows[y].index + 1), columns, s.channels, rows[y].weight,
                        d.Row(y));
      continue;
    }
    const int16_t* h0 = ring.Get(rows[y].index, fill);
    const int16_t* h1 = ring.Get(rows[y].index + 1, fill);
    kResizeLinearColumn(h0, h1, rows[y].weight, d.Row(y), samples);
  }
  return kStsNoErr;
}

KernelStatus ResizeCubic(const SourceView& s, const Target& d, double xFactor, double yFactor) {
  const std::ptrdiff_t samples = d.RowSamples();
  WorkArray<int32_t> offsets;
  WorkArray<float> t;
  WorkArray<CubicTap> rows;
  RowRing<float, 4> ring;
  if (!offsets.Allocate(samples) || !t.Allocate(samples) || !rows.Allocate(d.height) ||
      !ring.Allocate(samples)) {
    return kStsMemAllocErr;
  }
  const Positions px(s.width, xFactor);
  for (int32_t k = 0; k < d.width; ++k) {
    const CubicTap tap = CubicTapAt(px.At(k), s.width);
    for (int32_t c = 0; c < d.channels; ++c) {
      offsets[std::ptrdiff_t{k} * d.channels + c] = tap.base * d.channels + c;
      t[std::ptrdiff_t{k} * d.channels + c] = tap.t;
    }
  }
  const CubicColumns columns{offsets.get(), t.get(), samples};
  const Positions py(s.height, yFactor);
  for (int32_t y = 0; y < d.height; ++y) rows[y] = CubicTapAt(py.At(y), s.height);

  const auto fill = [&](int32_t r, float* out) { kResizeCubicRow(s.Row(r), columns, s.channels, out); };
  for (int32_t y = 0; y < d.height; ++y) {
    const float* taps[4];
    for (int32_t k = 0; k < 4; ++k) taps[k] = ring.Get(rows[y].base - 1 + k, fill);
    kResizeCubicColumn(taps, rows[y].t, d.Row(y), samples);
  }
  return kStsNoErr;
}

// --- area (supersampling) ---------------------------------------------------------

// 1 / f as a whole number, or 0 when it is not one.
int64_t WholeReciprocal(double factor) {
  const double r = 1.0 / factor;
  const double n = std::round(r);
  return std::fabs(r - n) <= kPositionOffset && n >= 1 && n < 9.0e15 ? static_cast<int64_t>(n) : 0;
}

// Whole blocks of nx x ny source pixels, summed exactly in Sum; blocks cut by
// the edge of the source sum what they cover.
template <typename Sum>
KernelStatus AreaWholeBlocks(const SourceView& s, const Target& d, int64_t nx, int64_t ny, double scale) {
  const std::ptrdiff_t used = std::min<int64_t>(d.width * nx, s.width) * s.channels;
  WorkArray<Sum> sums;
  if (!sums.Allocate(used)) return kStsMemAllocErr;
  const int32_t c = s.channels;
  for (int32_t y = 0; y < d.height; ++y) {
    const int64_t first = y * ny;
    const int64_t last = std::min<int64_t>(first + ny, s.height);
    std::fill(sums.get(), sums.get() + used, Sum{0});
    for (int64_t r = first; r < last; ++r) {
      const uint8_t* in = s.Row(static_cast<int32_t>(r));
      for (std::ptrdiff_t i = 0; i < used; ++i) sums[i] += in[i];
    }
    uint8_t* out = d.Row(y);
    for (int32_t k = 0; k < d.width; ++k) {
      const std::ptrdiff_t begin = k * nx * c;
      const std::ptrdiff_t end = std::min<std::ptrdiff_t>(begin + nx * c, used);
      for (int32_t ch = 0; ch < c; ++ch) {
        Sum total = 0;
        for (std::ptrdiff_t i = begin + ch; i < end; i += c) total += sums[i];
        out[std::ptrdiff_t{k} * c + ch] = AreaBlockResult(total, scale);
      }
    }
  }
  return kStsNoErr;
}

// The source samples destination sample k covers along one axis, with the
// covered part of each: weights[first .. first + count).
struct AreaSpan {
  int32_t start;  // first source sample
  int32_t count;
  std::ptrdiff_t first;  // into the weight table
};

class AreaAxis {
 public:
  bool Build(int32_t destination, int32_t effective, double factor) {
    if (!spans_.Allocate(destination)) return false;
    // Each span touches at most ceil(1 / f) + 1 samples, and all of them
    // together at most destination + effective.
    if (!weights_.Allocate(int64_t{destination} + effective)) return false;
    std::ptrdiff_t used = 0;
    for (int32_t k = 0; k < destination; ++k) {
      const double from = k / factor;
      const double to = std::min((k + 1) / factor, double(effective));
      AreaSpan span{-1, 0, used};
      for (int32_t x = static_cast<int32_t>(std::min(from, double(effective - 1))); x < to; ++x) {
        const double part = std::min(x + 1.0, to) - std::max(double(x), from);
        if (part <= kPositionOffset) continue;
        if (span.start < 0) span.start = x;
        // Dropped parts inside a span cannot happen: only its ends can be short.
        weights_[used++] = static_cast<float>(part);
        span.count = x - span.start + 1;
      }
      if (span.start < 0) span.start = 0;
      spans_[k] = span;
    }
    return true;
  }
  const AreaSpan& Span(int32_t k) const { return spans_[k]; }
  const float* Weights(const AreaSpan& span) const { return weights_.get() + span.first; }

 private:
  WorkArray<AreaSpan> spans_;
  WorkArray<float> weights_;
};

// Each destination pixel from the column sums of its span, every channel
// summed in span order.
template <int32_t kChannels>
void AreaColumns(const AreaAxis& columns, const float* sums, float scale, int32_t width, uint8_t* out) {
  for (int32_t k = 0; k < width; ++k) {
    const AreaSpan& span = columns.Span(k);
    const float* wx = columns.Weights(span);
    const float* first = sums + std::ptrdiff_t{span.start} * kChannels;
    float total[kChannels] = {};
    for (int32_t i = 0; i < span.count; ++i) {
      for (int32_t ch = 0; ch < kChannels; ++ch) total[ch] += wx[i] * first[i * kChannels + ch];
    }
    for (int32_t ch = 0; ch < kChannels; ++ch) {
      // Not negative: the conversion truncates as trunc() would.
      const int32_t value = static_cast<int32_t>(total[ch] * scale + 0.5f);
      out[std::ptrdiff_t{k} * kChannels + ch] = static_cast<uint8_t>(std::min(value, 255));
    }
  }
}

KernelStatus AreaFractional(const SourceView& s, const Target& d, double xFactor, double yFactor) {
  AreaAxis columns, rows;
  if (!columns.Build(d.width, s.width, xFactor) || !rows.Build(d.height, s.height, yFactor)) {
    return kStsMemAllocErr;
  }
  const int32_t c = s.channels;
  const std::ptrdiff_t used = static_cast<std::ptrdiff_t>(s.width) * c;
  WorkArray<float> sums;
  if (!sums.Allocate(used)) return kStsMemAllocErr;
  const float scale = static_cast<float>(xFactor * yFactor);
  for (int32_t y = 0; y < d.height; ++y) {
    const AreaSpan& span = rows.Span(y);
    const float* wy = rows.Weights(span);
    kResizeAreaWeightedRow(s.Row(span.start), s.step, wy, span.count, sums.get(), used);
    if (c == 1) {
      AreaColumns<1>(columns, sums.get(), scale, d.width, d.Row(y));
    } else {
      AreaColumns<3>(columns, sums.get(), scale, d.width, d.Row(y));
    }
  }
  return kStsNoErr;
}

KernelStatus ResizeArea(const SourceView& s, const Target& d, double xFactor, double yFactor) {
  const int64_t nx = WholeReciprocal(xFactor);
  const int64_t ny = WholeReciprocal(yFactor);
  if (nx == 0 || ny == 0) return AreaFractional(s, d, xFactor, yFactor);
  const double scale = xFactor * yFactor;
  // Blocks that fit the source and whose sums fit 16 bits: the dispatched rows.
  if (nx * ny <= 257 && d.width * nx <= s.width && d.height * ny <= s.height) {
    int32_t shift = 0;
    while (shift < 9 && std::ldexp(1.0, -shift) != scale) ++shift;
    const AreaBlocks blocks{static_cast<int32_t>(nx), s.channels, d.width, scale, shift < 9 ? shift : 0};
    WorkArray<uint16_t> sums;
    if (!sums.Allocate(2 * d.width * nx * s.channels)) return kStsMemAllocErr;
    for (int32_t y = 0; y < d.height; ++y) {
      kResizeAreaBlockRow(s.Row(static_cast<int32_t>(y * ny)), s.step, static_cast<int32_t>(ny), blocks,
                          sums.get(), d.Row(y));
    }
    return kStsNoErr;
  }
  // 32-bit sums hold every block that a 32-bit product of its sides can count.
  if (nx * ny <= (int64_t{UINT32_MAX} / 255)) return AreaWholeBlocks<uint32_t>(s, d, nx, ny, scale);
  return AreaWholeBlocks<uint64_t>(s, d, nx, ny, scale);
}

// --- the kernels --------------------------------------------------------------------

KernelStatus Resize8u(int32_t channels, const uint8_t* src, ROI srcSize, int32_t srcStep, Rect rect,
                      uint8_t* dst, int32_t dstStep, ROI roi, double xFactor, double yFactor,
                      uint32_t code) {
  if (src == nullptr || dst == nullptr) return kStsNullPtrErr;
  if (srcSize.width < 1 || srcSize.height < 1 || rect.x < 0 || rect.y < 0 || rect.width < 1 ||
      rect.height < 1) {
    return kStsSizeErr;
  }
  if (rect.x >= srcSize.width || rect.y >= srcSize.height) return kStsWrongIntersectROI;
  if (roi.width < 1 || roi.height < 1) return kStsSizeErr;
  // Written so that a NaN factor is refused too.
  if (!(xFactor > 0) || !(yFactor > 0)) return kStsResizeFactorErr;
  if (code == kInterSupersample) {
    if (xFactor > 1 || yFactor > 1) return kStsInterpolationErr;
  } else if (code != kInterNearest && code != kInterLinear && code != kInterCubic) {
    return kStsInterpolationErr;
  }
  const SourceView s{src + static_cast<std::ptrdiff_t>(rect.y) * srcStep + std::ptrdiff_t{rect.x} * channels,
                     srcStep, std::min(rect.width, srcSize.width - rect.x),
                     std::min(rect.height, srcSize.height - rect.y), channels};
  // The taps of a method must fit inside the rectangle.
  if (s.width < 2 || s.height < 2) {
    code = kInterNearest;
  } else if (code == kInterCubic && (s.width < 4 || s.height < 4)) {
    code = kInterLinear;
  }
  RoundToNearest rounding;
  Target d{dst, dstStep, 0, 0, channels};
  if (KernelStatus status = OutputExtent(s.width, xFactor, roi.width, d.width)) return status;
  if (KernelStatus status = OutputExtent(s.height, yFactor, roi.height, d.height)) return status;
  switch (code) {
    case kInterNearest: return ResizeNearest(s, d, xFactor, yFactor);
    case kInterLinear: return ResizeLinear(s, d, xFactor, yFactor);
    case kInterCubic: return ResizeCubic(s, d, xFactor, yFactor);
    default: return ResizeArea(s, d, xFactor, yFactor);
  }
}

}  // namespace

KernelStatus Resize8uC1(const uint8_t* src, ROI srcSize, int32_t srcStep, Rect rect, uint8_t* dst,
                        int32_t dstStep, ROI roi, double xFactor, double yFactor, uint32_t code) {
  return Resize8u(1, src, srcSize, srcStep, rect, dst, dstStep, roi, xFactor, yFactor, code);
}

KernelStatus Resize8uC3(const uint8_t* src, ROI srcSize, int32_t srcStep, Rect rect, uint8_t* dst,
                        int32_t dstStep, ROI roi, double xFactor, double yFactor, uint32_t code) {
  return Resize8u(3, src, srcSize, srcStep, rect, dst, dstStep, roi, xFactor, yFactor, code);
}

// --- dispatch tables ------------------------------------------------------------------
// The linear and cubic passes and the whole-block area rows have their own
// versions on SSE2 (paths 1 to 4), AVX2 and AVX-512; only AVX-512 keeps a
// table of linear windows. Nearest rows pay only
// where AVX-512 takes them from a window of the row (about twice the generic
// speed on 8-bit images); the weighted area rows only from AVX2 on, where the
// compiler's vectors are wider than the generic path's.
constinit const KernelDispatchTable<ResizeAreaBlockRowFn> kResizeAreaBlockRow =
    Dispatch(generic::ResizeAreaBlockRow).Sse2(sse2::ResizeAreaBlockRow).Avx2(avx2::ResizeAreaBlockRow).Avx512(avx512::ResizeAreaBlockRow);
constinit const KernelDispatchTable<ResizeNearestRowFn> kResizeNearestRow =
    Dispatch(generic::ResizeNearestRow).Avx512(avx512::ResizeNearestRow);
constinit const KernelDispatchTable<ResizeAreaWeightedRowFn> kResizeAreaWeightedRow =
    Dispatch(generic::ResizeAreaWeightedRow).Avx2(avx2::ResizeAreaWeightedRow).Avx512(avx512::ResizeAreaWeightedRow);
constinit const KernelDispatchTable<ResizeLinearRowFn> kResizeLinearRow =
    Dispatch(generic::ResizeLinearRow).Sse2(sse2::ResizeLinearRow).Avx2(avx2::ResizeLinearRow).Avx512(avx512::ResizeLinearRow);
constinit const KernelDispatchTable<ResizeLinearColumnFn> kResizeLinearColumn =
    Dispatch(generic::ResizeLinearColumn).Sse2(sse2::ResizeLinearColumn).Avx2(avx2::ResizeLinearColumn).Avx512(avx512::ResizeLinearColumn);
constinit const KernelDispatchTable<ResizeLinearPairFn> kResizeLinearPair =
    Dispatch(generic::ResizeLinearPair).Sse2(sse2::ResizeLinearPair).Avx2(avx2::ResizeLinearPair).Avx512(avx512::ResizeLinearPair);
constinit const KernelDispatchTable<ResizeLinearWindowsFn> kResizeLinearWindows =
    Dispatch(generic::ResizeLinearWindows).Avx512(avx512::ResizeLinearWindows);
constinit const KernelDispatchTable<ResizeCubicRowFn> kResizeCubicRow =
    Dispatch(generic::ResizeCubicRow).Sse2(sse2::ResizeCubicRow).Avx2(avx2::ResizeCubicRow).Avx512(avx512::ResizeCubicRow);
constinit const KernelDispatchTable<ResizeCubicColumnFn> kResizeCubicColumn =
    Dispatch(generic::ResizeCubicColumn).Sse2(sse2::ResizeCubicColumn).Avx2(avx2::ResizeCubicColumn).Avx512(avx512::ResizeCubicColumn);

}  // namespace klem::kernels
