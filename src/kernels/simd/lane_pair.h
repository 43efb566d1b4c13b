// Two vectors used as one of twice the lanes: the warps keep their positions
// in doubles, half as many a register as the float lanes of their blends. The
// arithmetic operators act on both halves (a scalar operand on every lane,
// by the vector extension's own rule), as they do on one vector. Included
// only by the paths' files, compiled with their own flags.
#pragma once

#include <cstddef>
#include <cstdint>

// The intrinsic vector types lose their may-alias attribute as template
// arguments here; a pair's halves are only ever read as what they are.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wignored-attributes"

namespace klem::kernels {
namespace {

template <typename Half>
struct LanePair {
  Half lo, hi;
};

#define KLEM_LANE_PAIR_OPERATOR(op)                                                     \
  template <typename H>                                                                 \
  LanePair<H> operator op(LanePair<H> a, LanePair<H> b) {                               \
    return {a.lo op b.lo, a.hi op b.hi};                                                \
  }                                                                                     \
  template <typename H>                                                                 \
  LanePair<H> operator op(LanePair<H> a, double b) {                                    \
    return {a.lo op b, a.hi op b};                                                      \
  }                                                                                     \
  template <typename H>                                                                 \
  LanePair<H> operator op(double a, LanePair<H> b) {                                    \
    return {a op b.lo, a op b.hi};                                                      \
  }
KLEM_LANE_PAIR_OPERATOR(+)
KLEM_LANE_PAIR_OPERATOR(-)
KLEM_LANE_PAIR_OPERATOR(*)
KLEM_LANE_PAIR_OPERATOR(/)
#undef KLEM_LANE_PAIR_OPERATOR

// The warp's lanes at twice the width of Half: positions, masks and row
// offsets on two of Half's vectors each, with Half's operations on each half
// (the same operations, so the same bits); the 32-bit and float lanes on one
// vector of Wide's, which gives their operations and Join, JoinF, Low and
// High between one of its vectors and two of Half's.
template <typename Half, typename Wide>
struct PairedWarpLanes : Wide {
  static constexpr int32_t kLanes = 2 * Half::kLanes;
  using D = LanePair<typename Half::D>;
  using Q = LanePair<typename Half::Q>;
  using M = LanePair<typename Half::M>;
  using I = typename Wide::I;
  using F = typename Wide::F;

  static D Set(double v) { return {Half::Set(v), Half::Set(v)}; }
  static D Ramp(int32_t x) { return {Half::Ramp(x), Half::Ramp(x + Half::kLanes)}; }
  static D Min(D a, D b) { return {Half::Min(a.lo, b.lo), Half::Min(a.hi, b.hi)}; }
  static D Max(D a, D b) { return {Half::Max(a.lo, b.lo), Half::Max(a.hi, b.hi)}; }
  static D Trunc(D a) { return {Half::Trunc(a.lo), Half::Trunc(a.hi)}; }
  static M Less(D a, D b) { return {Half::Less(a.lo, b.lo), Half::Less(a.hi, b.hi)}; }
  static M AtLeast(D a, D b) { return {Half::AtLeast(a.lo, b.lo), Half::AtLeast(a.hi, b.hi)}; }
  static D Select(M m, D a, D b) { return {Half::Select(m.lo, a.lo, b.lo), Half::Select(m.hi, a.hi, b.hi)}; }
  static I ToInt(D a) { return Wide::Join(Half::ToInt(a.lo), Half::ToInt(a.hi)); }
  static F ToF(D a) { return Wide::JoinF(Half::ToF(a.lo), Half::ToF(a.hi)); }

  static Q RowOffsets(I rows, std::ptrdiff_t step) {
    return {Half::RowOffsets(Wide::Low(rows), step), Half::RowOffsets(Wide::High(rows), step)};
  }
  static Q AddQ(Q a, std::ptrdiff_t b) { return {Half::AddQ(a.lo, b), Half::AddQ(a.hi, b)}; }
  static I Gather(const uint8_t* base, Q rows, I column) {
    return Wide::Join(Half::Gather(base, rows.lo, Wide::Low(column)), Half::Gather(base, rows.hi, Wide::High(column)));
  }
  static Q Gather64(const uint8_t* base, Q rows, I column) {
    return {Half::Gather64(base, rows.lo, Wide::Low(column)), Half::Gather64(base, rows.hi, Wide::High(column))};
  }
  static Q Widen(I v) { return {Half::Widen(Wide::Low(v)), Half::Widen(Wide::High(v))}; }
  static Q ShiftRightLanes64(Q v, Q bits) {
    return {Half::ShiftRightLanes64(v.lo, bits.lo), Half::ShiftRightLanes64(v.hi, bits.hi)};
  }
  template <int kBits>
  static Q ShiftRight64(Q v) {
    return {Half::template ShiftRight64<kBits>(v.lo), Half::template ShiftRight64<kBits>(v.hi)};
  }
  static I Low32(Q v) { return Wide::Join(Half::Low32(v.lo), Half::Low32(v.hi)); }
};

}  // namespace
}  // namespace klem::kernels

#pragma GCC diagnostic pop
