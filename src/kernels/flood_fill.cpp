// Generic flood-fill kernels and the dispatch tables of the family.
//
// Both fills work by segments: runs of members in one row, kept on a stack
// (last in, first out) of six int32 values each: row, left and right end, the
// parent segment's left and right ends, and the direction (+1 or -1) from the
// segment's row to its parent's. A popped segment scans the row away from its
// parent over its own columns (one more on each side with 8-neighbour
// connectivity), clipped to the image, and the parent's row over the same
// columns outside the parent's span, which the parent itself has covered. The
// seed's segment has an empty parent span, so both its neighbour rows are
// scanned in full; its direction is +1, or -1 on the last row, so that its
// parent row lies inside the image (the other row is skipped when outside).
//
// Exact value s: a pixel is a member when it equals s. Segments are painted
// as they are found; a painted pixel no longer equals s, so no pixel is taken
// twice and every segment is a whole run of s in its row.
//
// Tolerance [lower, upper]: q joins beside a member p when
//   p - lower <= q <= p + upper,  i.e.  (unsigned)(q - p + lower) <= lower + upper.
// Along a row a run grows by testing against the pixel just joined; a new run
// in a row next to a segment starts at a pixel that passes against a segment
// pixel of its own column (4-neighbour) or of the columns x - 1 .. x + 1
// (8-neighbour), and grows to the right by either test. With 8-neighbour
// connectivity the test against a segment first looks at the segment's
// smallest and largest values, which settle most pixels (walls and flat
// areas) with one comparison instead of three. A visited mask with a
// one-pixel frame (set) keeps pixels from joining twice and stops runs at the
// image's edges. Nothing is painted until the last segment was scanned: one
// pass over the region's bounding rectangle then paints the visited pixels,
// so every comparison reads values from before the fill.
//
// Work buffer: the mask ((w + 2)(h + 2) bytes, tolerance fill only), then the
// stack, aligned to 8 bytes; sizes in 64 bits, one beyond INT64_MAX is
// kStsNoMemErr.
//   exact      Every segment is pushed once and is a whole run of s with
//              another value between two of them: at most ceil(w / 2) a row.
//              The stack takes h * ceil(w / 2) segments: 24 h ceil(w / 2) + 32
//              bytes (the 32 cover the alignment). A smaller stack can
//              overflow: a full row between two rows with s in every other
//              column pushes w segments at once, more than w h / 4 for h = 3.
//   tolerance  (w + 2)(h + 2) + 6 w h + 32 bytes: a stack of w h / 4 segments,
//              which is not always enough. A segment that finds the stack full
//              stays in the mask only, as pending pixels (2; joined ones and
//              the frame are 1); once the stack is empty, a sweep pushes every
//              run of pending pixels, with an empty parent span so that both
//              its neighbour rows are scanned, and marks it joined.
#include "kernels/flood_fill.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>

#include "kernels/kernel_support.h"

namespace klem::kernels {
namespace generic {
namespace {

struct Segment {
  int32_t row, left, right, parentLeft, parentRight, direction;
};
static_assert(sizeof(Segment) == 6 * sizeof(int32_t));

constexpr int64_t kAlignmentSlack = 32;

int64_t MaskBytes(ROI roi) { return (int64_t{roi.width} + 2) * (int64_t{roi.height} + 2); }

// Bytes of the stack's part of the buffer, or -1 when they leave 64 bits.
int64_t StackBytes(ROI roi, bool tolerance) {
  // Both counts stay below 2^62; only the byte size can leave 64 bits.
  const int64_t units = tolerance ? int64_t{roi.width} * roi.height
                                  : int64_t{roi.height} * ((int64_t{roi.width} + 1) / 2);
  const int64_t unitBytes = tolerance ? 6 : int64_t{sizeof(Segment)};
  int64_t bytes = 0;
  if (__builtin_mul_overflow(units, unitBytes, &bytes) ||
      __builtin_add_overflow(bytes, kAlignmentSlack, &bytes)) {
    return -1;
  }
  return bytes;
}

KernelStatus StoreBufferSize(ROI roi, int64_t* bufferBytes, bool tolerance) {
  const KernelStatus status = CheckArguments({bufferBytes}, roi, {});
  if (status != kStsNoErr) return status;
  int64_t bytes = StackBytes(roi, tolerance);
  if (bytes < 0 || __builtin_add_overflow(bytes, tolerance ? MaskBytes(roi) : 0, &bytes)) {
    return kStsNoMemErr;
  }
  *bufferBytes = bytes;
  return kStsNoErr;
}

class SegmentStack {
 public:
  // `bytes` from `at` on, of which up to 7 go to the alignment.
  SegmentStack(uint8_t* at, int64_t bytes)
      : base_(reinterpret_cast<Segment*>((reinterpret_cast<uintptr_t>(at) + 7) & ~uintptr_t{7})),
        capacity_((bytes - 7) / int64_t{sizeof(Segment)}) {}
  // False, and nothing pushed, when the stack is full.
  // The top entry stays out of memory until another one is pushed on it:
  // most pops take the entry just pushed, straight from registers.
  bool Push(const Segment& s) {
    if (size_ == capacity_) return false;
    if (topHeld_) base_[size_ - 1] = top_;
    top_ = s;
    topHeld_ = true;
    ++size_;
    return true;
  }
  Segment Pop() {
    --size_;
    if (topHeld_) {
      topHeld_ = false;
      return top_;
    }
    return base_[size_];
  }
  bool Empty() const { return size_ == 0; }

 private:
  Segment* base_;
  ptrdiff_t size_ = 0;
  ptrdiff_t capacity_;
  Segment top_{};
  bool topHeld_ = false;
};

class RegionBounds {
 public:
  void Add(int32_t row, int32_t left, int32_t right) {
    area_ += right - left + 1;
    region_.left = std::min(region_.left, left);
    region_.right = std::max(region_.right, right);
    region_.top = std::min(region_.top, row);
    region_.bottom = std::max(region_.bottom, row);
  }
  FloodFillRegion Result() const {
    if (area_ == 0) return {0, 0, 0, -1, -1};
    FloodFillRegion result = region_;
    result.area = area_;
    return result;
  }

 private:
  int64_t area_ = 0;
  FloodFillRegion region_{0, INT32_MAX, INT32_MAX, -1, -1};
};

// The fill kernels' checks in their order: null pointers (-8), the region
// (-6), a row step below the width (-14), a seed outside the image (-11).
KernelStatus CheckFill(const uint8_t* pixels, int32_t step, ROI roi, int32_t seedX, int32_t seedY,
                       const FloodFillRegion* region, const uint8_t* buffer) {
  const KernelStatus status = CheckArguments({pixels, region, buffer}, roi, {step}, roi.width);
  if (status != kStsNoErr) return status;
  if (seedX < 0 || seedX >= roi.width || seedY < 0 || seedY >= roi.height) return kStsOutOfRangeErr;
  return kStsNoErr;
}

void Store8(uint8_t* p, uint64_t v) { std::memcpy(p, &v, sizeof v); }
void Store4(uint8_t* p, uint32_t v) { std::memcpy(p, &v, sizeof v); }

// memset for the short runs that most segments are, without the call: the
// stores overlap inside [p, p + n) and never reach past it.
void FillBytes(uint8_t* p, uint8_t value, int32_t n) {
  if (n > 16) {
    std::memset(p, value, static_cast<size_t>(n));
  } else if (n >= 8) {
    Store8(p, 0x0101010101010101ull * value);
    Store8(p + n - 8, 0x0101010101010101ull * value);
  } else if (n >= 4) {
    Store4(p, 0x01010101u * value);
    Store4(p + n - 4, 0x01010101u * value);
  } else {
    p[0] = p[n / 2] = p[n - 1] = value;
  }
}

// The seed's segment, or a segment pushed again: both neighbour rows are
// scanned in full.
Segment SegmentWithoutParent(int32_t y, int32_t left, int32_t right, int32_t height) {
  return {y, left, right, 0, -1, y == height - 1 ? -1 : 1};
}

// The pixels and the bookkeeping that every fill shares.
struct FillState {
  // The size kernel of the same fill has sized the stack's part (at stackAt).
  FillState(uint8_t* pixels, int32_t step, ROI roi, uint8_t newValue, uint8_t* stackAt,
            bool tolerance)
      : pixels(pixels), step(step), roi(roi), newValue(newValue),
        stack(stackAt, StackBytes(roi, tolerance)) {}
  uint8_t* Row(int32_t y) const { return pixels + step * static_cast<ptrdiff_t>(y); }
  // False when the stack is full. A segment joins the bounds when popped.
  bool Take(int32_t y, int32_t left, int32_t right, const Segment& parent, int32_t direction) {
    return stack.Push({y, left, right, parent.left, parent.right, direction});
  }
  // The seed's run, on an empty stack: a single row has nothing to pop.
  void TakeSeed(int32_t y, int32_t left, int32_t right) {
    if (roi.height > 1) {
      stack.Push(SegmentWithoutParent(y, left, right, roi.height));
    } else {
      bounds.Add(y, left, right);
    }
  }
  void Paint(int32_t y, int32_t left, int32_t right) const {
    FillBytes(Row(y) + left, newValue, right - left + 1);
  }

  uint8_t* pixels;
  ptrdiff_t step;
  ROI roi;
  uint8_t newValue;
  SegmentStack stack;
  RegionBounds bounds;
};

// Pops segments until none is left. scanner(state, segment) gives the popped
// segment's scan(y, from, to, direction), which takes the new segments in
// columns [from, to] of row y into the state.
template <bool kEight, typename Scanner>
[[gnu::always_inline]] inline void DrainStack(FillState& fill, Scanner scanner) {
  // A copy that no pixel or mask store can alias, so that the stack's fields
  // need not be reloaded after each of them.
  FillState state = fill;
  // Every segment is popped once: its pixels join the bounds here, in a
  // local that the scans do not reach.
  RegionBounds bounds = fill.bounds;
  const ROI roi = fill.roi;
  while (!state.stack.Empty()) {
    const Segment s = state.stack.Pop();
    bounds.Add(s.row, s.left, s.right);
    const auto scan = scanner(state, s);
    const int32_t from = kEight ? std::max(s.left - 1, 0) : s.left;
    const int32_t to = kEight ? std::min(s.right + 1, roi.width - 1) : s.right;
    const int32_t ahead = s.row - s.direction;
    if (static_cast<uint32_t>(ahead) < static_cast<uint32_t>(roi.height)) {
      scan(ahead, from, to, s.direction);
    }
    const int32_t back = s.row + s.direction;  // the parent's row, always inside
    scan(back, from, std::min(to, s.parentLeft - 1), -s.direction);
    scan(back, std::max(from, s.parentRight + 1), to, -s.direction);
  }
  fill = state;
  fill.bounds = bounds;
}

// --- exact value: runs of s found eight pixels at a time ----------------------
// Each compares eight bytes of the row at once and reads nothing outside
// [from, end) (or [0, x)), so the scans never leave the row.
constexpr uint64_t kOnes = 0x0101010101010101ull;
constexpr uint64_t kHighs = 0x8080808080808080ull;

uint64_t Load8(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, sizeof v);
  return v;  // little-endian: the byte at p is the lowest
}

// The first x in [from, end) with row[x] != s, or end.
int32_t EndOfRun(const uint8_t* row, int32_t from, int32_t end, uint8_t s) {
  const uint64_t pattern = kOnes * s;
  int32_t x = from;
  for (; end - x >= 8; x += 8) {
    const uint64_t diff = Load8(row + x) ^ pattern;
    if (diff != 0) return x + std::countr_zero(diff) / 8;
  }
  while (x < end && row[x] == s) ++x;
  return x;
}

// The first column of the run of s that ends at x - 1 (x itself when row[x - 1] != s).
int32_t StartOfRun(const uint8_t* row, int32_t x, uint8_t s) {
  const uint64_t pattern = kOnes * s;
  for (; x >= 8; x -= 8) {
    const uint64_t diff = Load8(row + x - 8) ^ pattern;
    if (diff != 0) return x - std::countl_zero(diff) / 8;
  }
  while (x > 0 && row[x - 1] == s) --x;
  return x;
}

// The first x in [from, end) with row[x] == s, or end. The lowest flagged byte
// of the zero-byte test is always a true zero.
int32_t FindValue(const uint8_t* row, int32_t from, int32_t end, uint8_t s) {
  const uint64_t pattern = kOnes * s;
  int32_t x = from;
  for (; end - x >= 8; x += 8) {
    const uint64_t v = Load8(row + x) ^ pattern;
    const uint64_t zeros = (v - kOnes) & ~v & kHighs;
    if (zeros != 0) return x + std::countr_zero(zeros) / 8;
  }
  while (x < end && row[x] != s) ++x;
  return x;
}

template <bool kEight>
KernelStatus FillExact(uint8_t* pixels, int32_t step, ROI roi, int32_t seedX, int32_t seedY,
                       uint8_t newValue, FloodFillRegion* region, uint8_t* buffer) {
  const KernelStatus status = CheckFill(pixels, step, roi, seedX, seedY, region, buffer);
  if (status != kStsNoErr) return status;
  FillState fill(pixels, step, roi, newValue, buffer, false);
  uint8_t* seedRow = fill.Row(seedY);
  const uint8_t s = seedRow[seedX];
  if (s != newValue) {
    const int32_t left = StartOfRun(seedRow, seedX, s);
    const int32_t right = EndOfRun(seedRow, seedX + 1, roi.width, s) - 1;
    fill.Paint(seedY, left, right);
    fill.TakeSeed(seedY, left, right);
    const auto scanner = [s](FillState& fill, const Segment& parent) {
      return [&fill, s, &parent](int32_t y, int32_t from, int32_t to, int32_t direction) {
        const uint8_t* row = fill.Row(y);
        for (int32_t x = from; x <= to;) {
          x = FindValue(row, x, to + 1, s);
          if (x > to) break;
          const int32_t runLeft = StartOfRun(row, x, s);
          const int32_t runRight = EndOfRun(row, x + 1, fill.roi.width, s) - 1;
          fill.Paint(y, runLeft, runRight);
          fill.Take(y, runLeft, runRight, parent, direction);  // never full: see the bound above
          x = runRight + 2;  // runRight + 1 is not s
        }
      };
    };
    DrainStack<kEight>(fill, scanner);
  }
  *region = fill.bounds.Result();
  return kStsNoErr;
}

// --- tolerance --------------------------------------------------------------------
enum MaskValue : uint8_t { kUnvisited = 0, kJoined = 1, kPending = 2 };

class RangeTest {
 public:
  RangeTest(uint8_t lower, uint8_t upper) : lower_(lower), span_(uint32_t{lower} + upper) {}
  bool Passes(int32_t p, int32_t q) const { return static_cast<uint32_t>(q - p + lower_) <= span_; }

 private:
  int32_t lower_;
  uint32_t span_;
};

// Whether a pixel q at column x passes against a pixel of a popped segment
// that touches column x: the one of its own column (4-neighbour) or of the
// columns x - 1 .. x + 1 (8-neighbour). Most answers follow from the
// segment's smallest and largest values alone: q outside
// [smallest - lower, largest + upper] passes against none of its pixels, and
// q inside [largest - lower, smallest + upper] against all of them. Only the
// values between look at the pixels beside x.
template <bool kEight>
class SegmentTest {
 public:
  SegmentTest(const RangeTest& test, const uint8_t* segmentRow, int32_t left, int32_t right,
              uint8_t lower, uint8_t upper)
      : test_(test), row_(segmentRow), left_(left), right_(right) {
    if constexpr (!kEight) return;  // one test a column: nothing to save
    int32_t smallest = row_[left], largest = row_[left];
    for (int32_t i = left + 1; i <= right; ++i) {
      smallest = std::min<int32_t>(smallest, row_[i]);
      largest = std::max<int32_t>(largest, row_[i]);
    }
    noneBelow_ = smallest - lower;
    noneSpan_ = static_cast<uint32_t>(largest + upper - noneBelow_);
    // An empty interval when the segment's values lie too far apart:
    // q - allBelow_ is then never 0.
    const bool someApart = largest - lower > smallest + upper;
    allBelow_ = someApart ? -1024 : largest - lower;
    allSpan_ = someApart ? 0 : static_cast<uint32_t>(smallest + upper - allBelow_);
  }
  // Only for x >= left - 1 (8-neighbour) or x >= left (4-neighbour).
  bool Passes(int32_t x, int32_t q) const {
    // x stays inside the row: the frame stops runs before its edge.
    if constexpr (!kEight) return (x <= right_) & test_.Passes(row_[x], q);
    if (static_cast<uint32_t>(q - noneBelow_) > noneSpan_) return false;
    const bool touches = x <= right_ + 1;
    if (static_cast<uint32_t>(q - allBelow_) <= allSpan_) return touches;
    return touches && PassesNear(x, q);
  }

 private:
  bool PassesNear(int32_t x, int32_t q) const {
    const int32_t last = std::min(x + 1, right_);
    for (int32_t i = std::max(x - 1, left_); i <= last; ++i) {
      if (test_.Passes(row_[i], q)) return true;
    }
    return false;
  }

  RangeTest test_;
  const uint8_t* row_;
  int32_t left_, right_;
  int32_t noneBelow_ = 0, allBelow_ = 0;
  uint32_t noneSpan_ = 0, allSpan_ = 0;
};

template <bool kEight>
KernelStatus FillRange(uint8_t* pixels, int32_t step, ROI roi, int32_t seedX, int32_t seedY,
                       uint8_t newValue, uint8_t lower, uint8_t upper, FloodFillRegion* region,
                       uint8_t* buffer) {
  const KernelStatus status = CheckFill(pixels, step, roi, seedX, seedY, region, buffer);
  if (status != kStsNoErr) return status;
  const int64_t maskBytes = MaskBytes(roi);
  const ptrdiff_t maskStep = ptrdiff_t{roi.width} + 2;
  std::memset(buffer, kUnvisited, static_cast<size_t>(maskBytes));
  std::memset(buffer, kJoined, static_cast<size_t>(maskStep));
  std::memset(buffer + maskBytes - maskStep, kJoined, static_cast<size_t>(maskStep));
  for (int32_t y = 0; y < roi.height; ++y) {
    uint8_t* row = buffer + maskStep * (y + ptrdiff_t{1});
    row[0] = row[maskStep - 1] = kJoined;
  }
  // visited(y)[x] for x in -1 .. width.
  const auto visited = [buffer, maskStep](int32_t y) { return buffer + maskStep * (y + ptrdiff_t{1}) + 1; };

  FillState fill(pixels, step, roi, newValue, buffer + maskBytes, true);
  const RangeTest test(lower, upper);
  {
    const uint8_t* row = fill.Row(seedY);
    uint8_t* seen = visited(seedY);
    seen[seedX] = kJoined;
    int32_t left = seedX, right = seedX;
    while (!seen[left - 1] && test.Passes(row[left], row[left - 1])) seen[--left] = kJoined;
    while (!seen[right + 1] && test.Passes(row[right], row[right + 1])) seen[++right] = kJoined;
    fill.TakeSeed(seedY, left, right);
  }
  bool overflowed = false;  // a segment found the stack full
  const auto scanner = [&](FillState& fill, const Segment& parent) {
    // The scan reads the popped segment and the tests in place: local copies
    // of them compiled to more instructions, not fewer.
    return [&, segment = SegmentTest<kEight>(test, fill.Row(parent.row), parent.left, parent.right,
                                             lower, upper)](
               int32_t y, int32_t from, int32_t to, int32_t direction) __attribute__((always_inline)) {
      if (from > to) return;  // most scans of the parent's row
      const uint8_t* row = fill.Row(y);
      uint8_t* seen = visited(y);
      const auto beside = [&segment, row](int32_t x) { return segment.Passes(x, row[x]); };
      for (int32_t x = from; x <= to; ++x) {
        if ((seen[x] != kUnvisited) | !beside(x)) continue;
        seen[x] = kJoined;
        int32_t left = x, right = x;
        // The frame stops both runs before they could read outside the row.
        while (!seen[left - 1] && test.Passes(row[left], row[left - 1])) seen[--left] = kJoined;
        while (seen[right + 1] == kUnvisited &&
               (test.Passes(row[right], row[right + 1]) || beside(right + 1))) {
          seen[++right] = kJoined;
        }
        if (!fill.Take(y, left, right, parent, direction)) {
          overflowed = true;
          FillBytes(seen + left, kPending, right - left + 1);
        }
        x = right + 1;  // right + 1 failed both tests or was visited
      }
    };
  };
  DrainStack<kEight>(fill, scanner);
  while (overflowed) {
    overflowed = false;
    for (int32_t y = 0; y < roi.height && !overflowed; ++y) {
      uint8_t* seen = visited(y);
      for (int32_t x = 0; x < roi.width; ++x) {
        if (seen[x] != kPending) continue;
        int32_t right = x;
        while (seen[right + 1] == kPending) ++right;
        if (!fill.stack.Push(SegmentWithoutParent(y, x, right, roi.height))) {
          overflowed = true;
          break;
        }
        FillBytes(seen + x, kJoined, right - x + 1);
        x = right;
      }
    }
    DrainStack<kEight>(fill, scanner);
  }
  // A select over whole rows of the rectangle, which the compiler vectorises
  // (on locals: the byte stores could alias anything else); no pending pixel
  // is left, the sweep above ends without overflow.
  const FloodFillRegion painted = fill.bounds.Result();
  for (int32_t y = painted.top; y <= painted.bottom; ++y) {
    uint8_t* row = fill.Row(y);
    const uint8_t* seen = visited(y);
    for (int32_t x = painted.left; x <= painted.right; ++x) {
      row[x] = seen[x] != kUnvisited ? newValue : row[x];
    }
  }
  *region = painted;
  return kStsNoErr;
}

}  // namespace

KernelStatus FloodFillBufferSize8u(ROI roi, int64_t* bufferBytes) {
  return StoreBufferSize(roi, bufferBytes, false);
}
KernelStatus FloodFillRangeBufferSize8u(ROI roi, int64_t* bufferBytes) {
  return StoreBufferSize(roi, bufferBytes, true);
}

KernelStatus FloodFill8uC1(uint8_t* pixels, int32_t step, ROI roi, int32_t seedX, int32_t seedY,
                           uint8_t newValue, FloodFillRegion* region, uint8_t* buffer) {
  return FillExact<true>(pixels, step, roi, seedX, seedY, newValue, region, buffer);
}
KernelStatus FloodFill4Con8uC1(uint8_t* pixels, int32_t step, ROI roi, int32_t seedX, int32_t seedY,
                               uint8_t newValue, FloodFillRegion* region, uint8_t* buffer) {
  return FillExact<false>(pixels, step, roi, seedX, seedY, newValue, region, buffer);
}
KernelStatus FloodFillRange8uC1(uint8_t* pixels, int32_t step, ROI roi, int32_t seedX,
                                int32_t seedY, uint8_t newValue, uint8_t lower, uint8_t upper,
                                FloodFillRegion* region, uint8_t* buffer) {
  return FillRange<true>(pixels, step, roi, seedX, seedY, newValue, lower, upper, region, buffer);
}
KernelStatus FloodFillRange4Con8uC1(uint8_t* pixels, int32_t step, ROI roi, int32_t seedX,
                                    int32_t seedY, uint8_t newValue, uint8_t lower, uint8_t upper,
                                    FloodFillRegion* region, uint8_t* buffer) {
  return FillRange<false>(pixels, step, roi, seedX, seedY, newValue, lower, upper, region, buffer);
}

}  // namespace generic

// --- dispatch tables ----------------------------------------------------------
// One implementation on every entry (see flood_fill.h).
constinit const KernelDispatchTable<FloodFillBufferSize8uFn> kFloodFillBufferSize8u =
    Dispatch(generic::FloodFillBufferSize8u);
constinit const KernelDispatchTable<FloodFillBufferSize8uFn> kFloodFillRangeBufferSize8u =
    Dispatch(generic::FloodFillRangeBufferSize8u);
constinit const KernelDispatchTable<FloodFill8uFn> kFloodFill8uC1 = Dispatch(generic::FloodFill8uC1);
constinit const KernelDispatchTable<FloodFill8uFn> kFloodFill4Con8uC1 =
    Dispatch(generic::FloodFill4Con8uC1);
constinit const KernelDispatchTable<FloodFillRange8uFn> kFloodFillRange8uC1 =
    Dispatch(generic::FloodFillRange8uC1);
constinit const KernelDispatchTable<FloodFillRange8uFn> kFloodFillRange4Con8uC1 =
    Dispatch(generic::FloodFillRange4Con8uC1);

}  // namespace klem::kernels
