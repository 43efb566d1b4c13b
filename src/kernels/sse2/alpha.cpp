// SSE2 alpha kernels: the shared vector bodies on 16-byte vectors.
#include "kernels/alpha.h"

#include "kernels/alpha_rules.h"
#include "kernels/sse2/alpha_lanes.h"

namespace klem::kernels::sse2 {
namespace {

using AlphaSimd = AlphaLanes16;

}  // namespace

#include "kernels/simd/alpha.inc"
}  // namespace klem::kernels::sse2
