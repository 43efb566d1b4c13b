// Two vectors used as one of twice the lanes: the warps keep their positions
// in doubles, half as many a register as the float lanes of their blends. The
// arithmetic operators act on both halves (a scalar operand on every lane,
// by the vector extension's own rule), as they do on one vector. Included
// only by the paths' files, compiled with their own flags.
#pragma once

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

}  // namespace
}  // namespace klem::kernels
