// The linear (sum-based) filters as data: each kernel is a sum of at most
// three separable terms ("kinds"), a column of vertical weights times a row of
// horizontal weights, and a final rule that turns the weighted sum into a
// byte. The generic path and every SIMD path walk the same descriptions:
// first the vertical weights over the window's rows into one column buffer
// per kind, then the horizontal weights over those columns, then the rule.
// The sums are integers, so the order of the additions changes nothing.
//
// Internal linkage throughout: the SIMD files include this with their flags.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>

#include "kernels/filter_types.h"
#include "kernels/kernel_support.h"

namespace klem::kernels {
namespace {

struct LinearKind {
  int32_t vertical[5];    // rows y - radius .. y + radius
  int32_t horizontal[5];  // columns x - radius .. x + radius
};

inline int32_t ClampByte(int32_t v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

// The multiplier and right shift of a box mean: taken from the reciprocal of
// the window's area held as a float, so (sum * multiplier) >> shift is the
// mean truncated.
struct BoxScale {
  int32_t multiplier;
  int32_t shift;
};

constexpr BoxScale BoxMeanScale(int32_t area) {
  const float r = 1.0f / static_cast<float>(area);
  if (r == 1.0f) return {256, 8};
  auto t = static_cast<uint32_t>(static_cast<double>(r) * 4294967295.0);
  int32_t k = 0;
  while ((t & 0x80000000u) == 0 && k < 24) t <<= 1, ++k;
  return {static_cast<int32_t>((t >> 20) + 1), k + 12};
}

// The three-channel form holds three more fraction bits: the same quotient
// for every sum, so both forms give the same bytes.
constexpr BoxScale BoxMeanScaleC3(int32_t area) {
  const BoxScale s = BoxMeanScale(area);
  return {s.multiplier * 8, s.shift + 3};
}

static_assert(BoxMeanScale(9).multiplier == 3641 && BoxMeanScale(9).shift == 15);
static_assert(BoxMeanScale(25).multiplier == 2622 && BoxMeanScale(25).shift == 16);
static_assert(BoxMeanScaleC3(9).multiplier == 29128 && BoxMeanScaleC3(9).shift == 18);

inline int32_t BoxMeanRule(int64_t sum, BoxScale s) { return static_cast<int32_t>((sum * s.multiplier) >> s.shift); }

// The vector forms of the rules, over a path's lanes (see
// simd/linear_filters.inc): 16-bit lanes holding the exact sum, except the
// 5x5 Gauss's 32-bit lanes. Results outside 0..255 are clamped by the
// narrowing to bytes.

// (sum * m) >> s for a non-negative sum below `bound`, from the high half of
// a 16-bit product: floor(floor(x / 2^16) / 2^k) = floor(x / 2^(16 + k)).
template <typename L>
typename L::V MulShiftVector(typename L::V v, BoxScale s) {
  const auto m = L::Set16(static_cast<uint16_t>(s.multiplier));
  if (s.shift >= 16) return L::ShiftRightBy(L::MulHiU16(v, m), s.shift - 16);
  return L::MulHiU16(L::ShiftLeftBy(v, 16 - s.shift), m);
}
constexpr bool FitsMulShift(int32_t bound, BoxScale s) {
  return s.multiplier < 65536 && (s.shift >= 16 || (bound << (16 - s.shift)) < 65536);
}

// The descriptions: a radius (1 or 2), the kinds, the scalar rule and its
// vector form. Every sum but the 5x5 Gauss's (kWide) lies within 16 signed
// bits: at most 26 * 255 for the 5x5 high pass, 38 * 255 for the 5x5 Laplace.

struct Box3x3Filter {
  static constexpr int32_t kRadius = 1;
  static constexpr LinearKind kKinds[] = {{{1, 1, 1}, {1, 1, 1}}};
  static constexpr BoxScale kScale = BoxMeanScale(9);
  static_assert(FitsMulShift(9 * 255 + 1, kScale));
  static int32_t Rule(int32_t sum) { return BoxMeanRule(sum, kScale); }
  template <typename L>
  static typename L::V Vector(typename L::V v) {
    return MulShiftVector<L>(v, kScale);
  }
};
struct Box5x5Filter {
  static constexpr int32_t kRadius = 2;
  static constexpr LinearKind kKinds[] = {{{1, 1, 1, 1, 1}, {1, 1, 1, 1, 1}}};
  static constexpr BoxScale kScale = BoxMeanScale(25);
  static_assert(FitsMulShift(25 * 255 + 1, kScale));
  static int32_t Rule(int32_t sum) { return BoxMeanRule(sum, kScale); }
  template <typename L>
  static typename L::V Vector(typename L::V v) {
    return MulShiftVector<L>(v, kScale);
  }
};

// 16 P - (the 8 neighbours) = 17 P - (the 9 samples); v / 8 with ties to even.
struct SharpenFilter {
  static constexpr int32_t kRadius = 1;
  static constexpr LinearKind kKinds[] = {{{1, 1, 1}, {-1, -1, -1, 0, 0}}, {{0, 1, 0}, {0, 17, 0}}};
  static int32_t Rule(int32_t v) {
    if (v <= 0) return 0;
    const int32_t q = (v + 3 + ((v >> 3) & 1)) >> 3;
    return q < 255 ? q : 255;
  }
  // v <= 0 gives q <= 0 here, which the narrowing makes 0 as the rule does.
  template <typename L>
  static typename L::V Vector(typename L::V v) {
    const auto odd = L::And(L::ShiftRightSignedBy(v, 3), L::Set16(1));
    return L::ShiftRightSignedBy(L::Add16(L::Add16(v, L::Set16(3)), odd), 3);
  }
};

// The filters whose result is their sum clamped to a byte: the vectors'
// final unsigned pack clamps it in the same way.
template <int32_t kWindowRadius>
struct ClampedSum {
  static constexpr int32_t kRadius = kWindowRadius;
  static int32_t Rule(int32_t v) { return ClampByte(v); }
  template <typename L>
  static typename L::V Vector(typename L::V v) {
    return v;
  }
};

struct PrewittDyFilter : ClampedSum<1> {
  static constexpr LinearKind kKinds[] = {{{-1, 0, 1}, {1, 1, 1}}};
};
struct PrewittDxFilter : ClampedSum<1> {
  static constexpr LinearKind kKinds[] = {{{1, 1, 1}, {1, 0, -1}}};
};
struct SobelDyFilter : ClampedSum<1> {
  static constexpr LinearKind kKinds[] = {{{-1, 0, 1}, {1, 2, 1}}};
};
struct SobelDxFilter : ClampedSum<1> {
  static constexpr LinearKind kKinds[] = {{{1, 2, 1}, {1, 0, -1}}};
};

// P(x, y) - P(x -+ 1, y - 1), negative differences 0.
struct DiagonalUpLeftFilter : ClampedSum<1> {
  static constexpr int32_t kUpNeighbour = -1;
  static constexpr LinearKind kKinds[] = {{{0, 1, 0}, {0, 1, 0}}, {{-1, 0, 0}, {1, 0, 0}}};
};
struct DiagonalUpRightFilter : ClampedSum<1> {
  static constexpr int32_t kUpNeighbour = 1;
  static constexpr LinearKind kKinds[] = {{{0, 1, 0}, {0, 1, 0}}, {{-1, 0, 0}, {0, 0, 1}}};
};

// 9 P - (the 9 samples); also the 3x3 high pass.
struct Laplace3x3Filter : ClampedSum<1> {
  static constexpr LinearKind kKinds[] = {{{1, 1, 1}, {-1, -1, -1, 0, 0}}, {{0, 1, 0}, {0, 9, 0}}};
};
// The 5x5 Laplace kernel by its columns: x -+ 2, x -+ 1, x.
struct Laplace5x5Filter : ClampedSum<2> {
  static constexpr LinearKind kKinds[] = {{{-1, -3, -4, -3, -1}, {1, 0, 0, 0, 1}},
                                          {{-3, 0, 6, 0, -3}, {0, 1, 0, 1, 0}},
                                          {{-4, 6, 20, 6, -4}, {0, 0, 1, 0, 0}}};
};

// (1 2 1)T (1 2 1); v / 16 with ties to even.
struct Gauss3x3Filter {
  static constexpr int32_t kRadius = 1;
  static constexpr LinearKind kKinds[] = {{{1, 2, 1}, {1, 2, 1}}};
  static int32_t Rule(int32_t v) { return (v + 7 + ((v >> 4) & 1)) >> 4; }
  template <typename L>
  static typename L::V Vector(typename L::V v) {
    const auto odd = L::And(L::ShiftRightBy(v, 4), L::Set16(1));
    return L::ShiftRightBy(L::Add16(L::Add16(v, L::Set16(7)), odd), 4);
  }
};
// The 5x5 Gauss kernel (weights summing to 571) by its columns. The sum
// reaches 145605 and the product below 4,286,569,362: both need more than
// 16 bits, the product unsigned 32 bits (the vector form splits it).
struct Gauss5x5Filter {
  static constexpr int32_t kRadius = 2;
  static constexpr bool kWide = true;
  static constexpr LinearKind kKinds[] = {{{2, 7, 12, 7, 2}, {1, 0, 0, 0, 1}},
                                          {{7, 31, 52, 31, 7}, {0, 1, 0, 1, 0}},
                                          {{12, 52, 127, 52, 12}, {0, 0, 1, 0, 0}}};
  static int32_t Rule(int32_t v) { return static_cast<int32_t>((static_cast<uint32_t>(v + 286) * 29382u) >> 24); }
  // t = s + 286 = high * 2^16 + low with high <= 2: (t * 29382) >> 24 is
  // (high * 29382 + ((low * 29382) >> 16)) >> 8, and as 29382 is even,
  // halving first keeps every step within 16 bits.
  template <typename L>
  static typename L::V Vector(typename L::V high, typename L::V low) {
    const auto t = L::Add16(low, L::Set16(286));
    high = L::Add16(L::Add16(high, L::Set16(1)), L::NoCarry16(t, low));
    const auto half = L::ShiftRightBy(L::MulHiU16(t, L::Set16(29382)), 1);
    return L::ShiftRightBy(L::Add16(L::Mul16(high, L::Set16(14691)), half), 7);
  }
};

// Truncating means by a fixed multiplier: ((sum + 5) * 455) >> 12 and
// (sum * 10485) >> 18.
struct LowPass3x3Filter {
  static constexpr int32_t kRadius = 1;
  static constexpr LinearKind kKinds[] = {{{1, 1, 1}, {1, 1, 1}}};
  static int32_t Rule(int32_t sum) { return ((sum + 5) * 455) >> 12; }
  static_assert(FitsMulShift(9 * 255 + 6, {455, 12}));
  template <typename L>
  static typename L::V Vector(typename L::V v) {
    return MulShiftVector<L>(L::Add16(v, L::Set16(5)), {455, 12});
  }
};
struct LowPass5x5Filter {
  static constexpr int32_t kRadius = 2;
  static constexpr LinearKind kKinds[] = {{{1, 1, 1, 1, 1}, {1, 1, 1, 1, 1}}};
  static int32_t Rule(int32_t sum) { return (sum * 10485) >> 18; }
  static_assert(FitsMulShift(25 * 255 + 1, {10485, 18}));
  template <typename L>
  static typename L::V Vector(typename L::V v) {
    return MulShiftVector<L>(v, {10485, 18});
  }
};

// 25 P - (the 25 samples).
struct HighPass5x5Filter : ClampedSum<2> {
  static constexpr LinearKind kKinds[] = {{{1, 1, 1, 1, 1}, {-1, -1, -1, -1, -1}}, {{0, 0, 1, 0, 0}, {0, 0, 25, 0, 0}}};
};

template <typename F>
constexpr int32_t KindCount() {
  return static_cast<int32_t>(sizeof(F::kKinds) / sizeof(F::kKinds[0]));
}

// Whether the sums need 32-bit lanes (the 5x5 Gauss only).
template <typename F>
constexpr bool IsWide() {
  if constexpr (requires { F::kWide; }) {
    return F::kWide;
  } else {
    return false;
  }
}

// Statuses in order: -8 null pointers, -6 empty region, -14 row steps below 1.
inline KernelStatus CheckFilterImages(const uint8_t* src, int32_t srcStep, const uint8_t* dst, int32_t dstStep,
                                      ROI roi) {
  return CheckArguments({src, dst}, roi, {srcStep, dstStep});
}

// The window family adds -33 for an empty window and -34 for an anchor
// outside it.
inline KernelStatus CheckWindowFilter(const uint8_t* src, int32_t srcStep, const uint8_t* dst, int32_t dstStep, ROI roi,
                                      ROI window, Anchor anchor) {
  if (KernelStatus status = CheckFilterImages(src, srcStep, dst, dstStep, roi)) return status;
  if (window.width < 1 || window.height < 1) return kStsMaskSizeErr;
  if (anchor.column < 0 || anchor.column >= window.width || anchor.row < 0 || anchor.row >= window.height) {
    return kStsAnchorErr;
  }
  return kStsNoErr;
}

// Working buffers of a kernel call: count entries of T, none when the size
// would overflow or the memory is not there.
template <typename T>
class WorkBuffer {
 public:
  explicit WorkBuffer(uint64_t count) {
    if (count != 0 && count <= (PTRDIFF_MAX / 2) / sizeof(T)) data_ = new (std::nothrow) T[count];
  }
  WorkBuffer(const WorkBuffer&) = delete;
  WorkBuffer& operator=(const WorkBuffer&) = delete;
  ~WorkBuffer() { delete[] data_; }
  T* get() const { return data_; }

 private:
  T* data_ = nullptr;
};

// Samples of one column buffer: the region's row plus the radius at each side.
inline uint64_t ColumnSamples(ROI roi, int32_t channels, int32_t radius) {
  return (static_cast<uint64_t>(roi.width) + 2u * static_cast<uint64_t>(radius)) * static_cast<uint64_t>(channels);
}

}  // namespace
}  // namespace klem::kernels
