// SSE4.1 channel kernels: the SSSE3 ones with the byte blend of SSE4.1, which
// picks bytes in one instruction instead of three.
#include "kernels/channels.h"

#include <smmintrin.h>

#include <array>
#include <cstddef>

#include "kernels/channel_rules.h"
#include "kernels/ssse3/channel_lanes.h"

namespace klem::kernels::sse41 {
namespace {

struct ChannelSimd : ssse3::ChannelLanes16 {
  static V Pick(V a, V b, V mask) { return _mm_blendv_epi8(a, b, mask); }
};

}  // namespace

#include "kernels/simd/channels.inc"
#include "kernels/simd/channel_permute.inc"

}  // namespace klem::kernels::sse41
